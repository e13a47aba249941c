#pragma once
#include <cstdint>
#include <string>

// A point of a tuning curve.
struct CurvePoint {
    float x = 0.0f;
    float y = 0.0f;
};

// y0 + (y1 - y0) * (x - x0) / (x1 - x0), unclamped; x0 == x1 is the caller's to avoid.
float remapLinear(float x0, float x1, float x, float y0, float y1);
// remapLinear held at y0 below x0 and at y1 above x1 (strict tests: a NaN x goes through the formula).
float remapClamped(float x0, float x1, float x, float y0, float y1);

float evalCurve3(float x, const CurvePoint& p0, const CurvePoint& pm, const CurvePoint& p2);
float evalCurve3Clamped(float x, const CurvePoint& p0, const CurvePoint& pm, const CurvePoint& p2);
float evalCurve4(float x, const CurvePoint& p0, const CurvePoint& p1, const CurvePoint& p2,
                 const CurvePoint& p3);
// Above p3.x this gives p2.y, as the title animation expects.
float evalCurve4Clamped(float x, const CurvePoint& p0, const CurvePoint& p1, const CurvePoint& p2,
                        const CurvePoint& p3);

// Factor between lo (0 %) and hi (100 %), applied with a 0..100 strength (0 gives exactly 1).
float remapPercent(const float& lo, const float& hi, float percent, float strength);

// Truncated toward zero and held within [0, 4294967295]; NaN gives 0.
uint32_t saturatingU32(float value);

std::string stripQuotes(const std::string& s);
std::string stripAllQuotes(const std::string& s);

// Seconds as mm'ss.mmm.
std::string formatRaceTime(float seconds);

// A copy of the text with every ";" turned into a line break; the counter (when given) grows by
// the number of breaks. A one-character result gets a "0" appended, as the texts have always shown.
std::string formatWrappedText(std::string text, uint32_t* lineCounter);
