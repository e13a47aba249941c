#pragma once
// Text layout of the GUI as it stands, measured with the GUI's own text metrics (the font's
// advances and line height, the skin's text area and alignment):
// - a caption wider or taller than its widget's text area (the GUI clips it);
// - a caption cut by a parent or the edge of the view;
// - two visible captions whose drawn rectangles overlap (a shadow copy under its own text,
//   the same caption one or two pixels off, is no fault);
// - a caption that straddles the edge of a widget that draws a skin (a panel, a box, a badge),
//   or that such a widget in front covers with more than a see-through veil. Pictures (image
//   boxes) are drawn in their own shapes and backdrops or veils over the whole view lie behind
//   or over everything by design: neither counts.
// Only what a player sees counts: visible widgets with some alpha and a non-blank caption.
#include <string>
#include <vector>

namespace MyGUI {
class Widget;
}

namespace testsupport {

// One line per fault, naming the widgets, their captions and rectangles.
std::vector<std::string> layoutFaults();

// The drawn rectangle of a widget's caption in view pixels (left, top, width, height), as the
// fault lines give it; empty when the widget shows no text.
struct TextRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};
TextRect drawnText(const MyGUI::Widget* widget);

}  // namespace testsupport
