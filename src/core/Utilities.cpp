#include "core/Utilities.h"

#include <algorithm>

float remapLinear(float x0, float x1, float x, float y0, float y1)
{
    const long double lx0 = x0, lx1 = x1, lx = x, ly0 = y0, ly1 = y1;
    return static_cast<float>(ly0 + (ly1 - ly0) * (lx - lx0) / (lx1 - lx0));
}

uint32_t saturatingU32(float value)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 4294967296.0f)
        return UINT32_MAX;
    return static_cast<uint32_t>(value);
}

float remapClamped(float x0, float x1, float x, float y0, float y1)
{
    if (x < x0)
        return y0;
    if (x > x1)
        return y1;
    return remapLinear(x0, x1, x, y0, y1);
}

float evalCurve3(float x, const CurvePoint& p0, const CurvePoint& pm, const CurvePoint& p2)
{
    if (x < pm.x)
        return remapLinear(p0.x, pm.x, x, p0.y, pm.y);
    return remapLinear(pm.x, p2.x, x, pm.y, p2.y);
}

float evalCurve3Clamped(float x, const CurvePoint& p0, const CurvePoint& pm, const CurvePoint& p2)
{
    if (x < p0.x)
        return p0.y;
    if (x > p2.x)
        return p2.y;
    return evalCurve3(x, p0, pm, p2);
}

float evalCurve4(float x, const CurvePoint& p0, const CurvePoint& p1, const CurvePoint& p2,
                 const CurvePoint& p3)
{
    if (x < p1.x)
        return remapLinear(p0.x, p1.x, x, p0.y, p1.y);
    if (x < p2.x)
        return remapLinear(p1.x, p2.x, x, p1.y, p2.y);
    return remapLinear(p2.x, p3.x, x, p2.y, p3.y);
}

float evalCurve4Clamped(float x, const CurvePoint& p0, const CurvePoint& p1, const CurvePoint& p2,
                        const CurvePoint& p3)
{
    if (x < p0.x)
        return p0.y;
    if (x > p3.x)
        return p2.y;
    return evalCurve4(x, p0, p1, p2, p3);
}

float remapPercent(const float& lo, const float& hi, float percent, float strength)
{
    const float factor = remapLinear(0.0f, 100.0f, percent, lo, hi);
    return remapClamped(0.0f, 100.0f, strength, 1.0f, factor);
}

std::string stripQuotes(const std::string& s)
{
    std::string out;
    std::copy_if(s.begin(), s.end(), std::back_inserter(out), [](char c) { return c != '"'; });
    return out;
}

std::string stripAllQuotes(const std::string& s)
{
    std::string out;
    std::copy_if(s.begin(), s.end(), std::back_inserter(out),
                 [](char c) { return c != '"' && c != '\''; });
    return out;
}

std::string formatRaceTime(float seconds)
{
    // Extended precision, as the times have always been shown: 0.005f (held slightly below)
    // shows 4 ms, not the 5 a float product would round to.
    const long double t = seconds;
    const int m = static_cast<int>(t * static_cast<long double>(0.016666668f));
    const int s = static_cast<int>(t - m * 60.0L);
    const int ms = static_cast<int>((t - m * 60.0L - s) * 1000.0L);

    std::string text;
    if (m < 10)
        text += "0";
    text += std::to_string(m);
    text += (s < 10) ? "'0" : "'";
    text += std::to_string(s);
    if (ms < 10)
        text += ".00";
    else if (ms < 100)
        text += ".0";
    else
        text += ".";
    text += std::to_string(ms);
    return text;
}

std::string formatWrappedText(std::string text, uint32_t* lineCounter)
{
    std::string result;
    result.reserve(text.size() + 1);
    for (char c : text) {
        if (c == ';') {
            if (lineCounter)
                ++*lineCounter;
            result += '\n';
        } else {
            result += c;
        }
    }
    if (result.size() == 1)
        result += '0';
    return result;
}
