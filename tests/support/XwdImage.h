#pragma once
// Reads the window dumps of the X tool `xwd` (true-colour visuals), so tests can look at the
// pixels of a real window.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3

    const uint8_t* pixel(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    // Share of pixels whose brightest channel exceeds the threshold.
    double fractionBrighterThan(int threshold) const;
};

// False when the data is not a true-colour XWD dump this reader understands.
bool parseXwd(const std::vector<uint8_t>& data, RgbImage& out);
// Dumps an X window (by id) with xwd and parses it.
bool captureWindow(const std::string& windowId, RgbImage& out);

}  // namespace testsupport
