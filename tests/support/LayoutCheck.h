#pragma once
// Text layout of the GUI as it stands, measured with the GUI's own text metrics (the font's
// advances and line height, the skin's text area and alignment):
// - a caption wider or taller than its widget's text area (the GUI clips it);
// - a caption cut by a parent or the edge of the view;
// - two visible captions whose drawn rectangles overlap (a shadow copy under its own text,
//   the same caption one or two pixels off, is no fault);
// - a widget drawn in front of a caption that covers it (a see-through veil does not count);
// - a caption lying half on a small thing drawn behind it (a badge, a cup, an icon); a label
//   on the edge of a panel much larger than itself is that panel's own.
// Texts are measured by the ink of their glyphs (the font's glyph metrics) within the line
// the GUI lays out. Pictures (image boxes) are drawn in their own shapes, backdrops and veils
// over the whole view lie behind or over everything by design, and a modal veil puts what lies
// behind it out of play: none of these count.
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
