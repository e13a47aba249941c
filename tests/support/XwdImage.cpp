#include "support/XwdImage.h"

#include "support/ProcessRunner.h"

namespace testsupport {

namespace {
uint32_t readBigEndian(const std::vector<uint8_t>& d, size_t at)
{
    return (uint32_t(d[at]) << 24) | (uint32_t(d[at + 1]) << 16) | (uint32_t(d[at + 2]) << 8) | d[at + 3];
}

int shiftOf(uint32_t mask)
{
    int s = 0;
    while (mask && !(mask & 1u)) {
        mask >>= 1;
        ++s;
    }
    return s;
}
}  // namespace

double RgbImage::fractionBrighterThan(int threshold) const
{
    if (width == 0 || height == 0)
        return 0.0;
    size_t count = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        if (rgb[i] > threshold || rgb[i + 1] > threshold || rgb[i + 2] > threshold)
            ++count;
    return double(count) / (double(width) * height);
}

bool parseXwd(const std::vector<uint8_t>& d, RgbImage& out)
{
    if (d.size() < 100)
        return false;
    auto field = [&](int i) { return readBigEndian(d, static_cast<size_t>(i) * 4); };
    const uint32_t headerSize = field(0), format = field(2), width = field(4), height = field(5);
    const uint32_t byteOrder = field(7), bitsPerPixel = field(11), bytesPerLine = field(12);
    const uint32_t redMask = field(14), greenMask = field(15), blueMask = field(16), ncolors = field(19);
    if (format != 2 || (bitsPerPixel != 32 && bitsPerPixel != 24) || width == 0 || height == 0 ||
        width > 8192 || height > 8192)
        return false;
    const size_t offset = size_t(headerSize) + size_t(ncolors) * 12;
    if (d.size() < offset + size_t(bytesPerLine) * height)
        return false;
    const size_t bytesPerPixel = bitsPerPixel / 8;
    out.width = int(width);
    out.height = int(height);
    out.rgb.assign(size_t(width) * height * 3, 0);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* p = &d[offset + size_t(y) * bytesPerLine + x * bytesPerPixel];
            uint32_t v = 0;
            for (size_t b = 0; b < bytesPerPixel; ++b)
                v |= uint32_t(p[b]) << (byteOrder == 0 ? 8 * b : 8 * (bytesPerPixel - 1 - b));
            uint8_t* o = &out.rgb[(size_t(y) * width + x) * 3];
            o[0] = uint8_t((v & redMask) >> shiftOf(redMask));
            o[1] = uint8_t((v & greenMask) >> shiftOf(greenMask));
            o[2] = uint8_t((v & blueMask) >> shiftOf(blueMask));
        }
    }
    return true;
}

bool captureWindow(const std::string& windowId, RgbImage& out)
{
    const CommandResult r = runCommand({"xwd", "-silent", "-id", windowId}, "", false);
    if (r.exitCode != 0)
        return false;
    return parseXwd(std::vector<uint8_t>(r.output.begin(), r.output.end()), out);
}

}  // namespace testsupport
