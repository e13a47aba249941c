#include "support/LayoutCheck.h"

#include <MyGUI.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace testsupport {

namespace {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    // Shared area at least `margin` pixels deep both ways (a pixel of rounding is no overlap).
    bool overlaps(const Box& o, int margin = 1) const
    {
        return std::min(right, o.right) - std::max(left, o.left) > margin &&
               std::min(bottom, o.bottom) - std::max(top, o.top) > margin;
    }
    bool inside(const Box& o) const
    {
        return left >= o.left && top >= o.top && right <= o.right && bottom <= o.bottom;
    }
    Box clippedTo(const Box& o) const
    {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
};

Box grown(const Box& b, int by) { return {b.left - by, b.top - by, b.right + by, b.bottom + by}; }

Box boxOf(const MyGUI::IntCoord& c) { return {c.left, c.top, c.left + c.width, c.top + c.height}; }

std::ostream& operator<<(std::ostream& out, const Box& b)
{
    return out << "(" << b.left << "," << b.top << " " << b.width() << "x" << b.height() << ")";
}

// The widget's text and the widget that holds it (an edit box keeps its text on its client).
MyGUI::ISubWidgetText* textOf(const MyGUI::Widget* w, const MyGUI::Widget** holder = nullptr)
{
    if (holder)
        *holder = w;
    if (MyGUI::ISubWidgetText* t = w->getSubWidgetText())
        return t;
    const MyGUI::Widget* client = w->getClientWidget();
    if (holder)
        *holder = client;
    return client && client != w ? client->getSubWidgetText() : nullptr;
}

// A skin part in view pixels: its place is kept relative to the widget that holds it.
Box partBox(const MyGUI::Widget* holder, const MyGUI::ICroppedRectangle* part)
{
    const MyGUI::IntPoint at = holder->getAbsolutePosition();
    return {at.left + part->getLeft(), at.top + part->getTop(), at.left + part->getLeft() + part->getWidth(),
            at.top + part->getTop() + part->getHeight()};
}

bool blank(const MyGUI::UString& s)
{
    return s.asUTF8().find_first_not_of(" \t\r\n") == std::string::npos;
}

float shownAlpha(const MyGUI::Widget* w)
{
    float a = w->getAlpha();
    for (const MyGUI::Widget* p = w; p->getInheritsAlpha() && p->getParent(); p = p->getParent())
        a *= p->getParent()->getAlpha();
    return a;
}

bool isAncestor(const MyGUI::Widget* ancestor, const MyGUI::Widget* w)
{
    for (const MyGUI::Widget* p = w->getParent(); p; p = p->getParent())
        if (p == ancestor)
            return true;
    return false;
}

struct Entry {
    MyGUI::Widget* widget = nullptr;
    int layer = 0, node = 0, index = 0;  // draw order: back to front
    bool operator<(const Entry& o) const
    {
        if (layer != o.layer)
            return layer < o.layer;
        if (node != o.node)
            return node < o.node;
        return index < o.index;
    }
};

void collect(MyGUI::Widget* w, Entry base, std::vector<Entry>& out)
{
    base.widget = w;
    base.index = static_cast<int>(out.size());
    out.push_back(base);
    auto children = w->getEnumerator();
    while (children.next())
        collect(children.current(), base, out);
    // Children made on a widget with a client (scroll views, windows) live on the client.
    MyGUI::Widget* client = w->getClientWidget();
    if (client && client != w) {
        auto inner = client->getEnumerator();
        while (inner.next())
            collect(inner.current(), base, out);
    }
}

std::vector<Entry> widgetsInDrawOrder()
{
    std::vector<MyGUI::ILayer*> layers;
    auto layerIt = MyGUI::LayerManager::getInstance().getEnumerator();
    while (layerIt.next())
        layers.push_back(layerIt.current());

    std::vector<Entry> out;
    auto roots = MyGUI::Gui::getInstance().getEnumerator();
    while (roots.next()) {
        MyGUI::Widget* root = roots.current();
        Entry e;
        e.layer = -1;
        for (size_t i = 0; i < layers.size(); ++i)
            if (layers[i] == root->getLayer())
                e.layer = static_cast<int>(i);
        if (e.layer < 0 || root->getLayer()->getName() == "Pointer")
            continue;  // not drawn, or the pointer, which goes where the mouse goes
        auto nodes = layers[static_cast<size_t>(e.layer)]->getEnumerator();
        for (int n = 0; nodes.next(); ++n)
            if (nodes.current() == root->getLayerNode())
                e.node = n;
        collect(root, e, out);
    }
    std::stable_sort(out.begin(), out.end());
    return out;
}

bool shown(const MyGUI::Widget* w) { return w->getInheritedVisible() && shownAlpha(w) > 0.02f; }

// The part of the view a widget's ancestors leave visible, and whether one of them scrolls.
Box visibleArea(const MyGUI::Widget* w, bool& scrolls)
{
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    Box area{0, 0, view.width, view.height};
    scrolls = false;
    for (const MyGUI::Widget* p = w->getParent(); p; p = p->getParent()) {
        area = area.clippedTo(boxOf(p->getAbsoluteCoord()));
        if (p->isType<MyGUI::ScrollView>() || p->isType<MyGUI::ListBox>())
            scrolls = true;
    }
    return area;
}

Box textBox(const MyGUI::Widget* w, Box* region = nullptr)
{
    const MyGUI::Widget* holder = nullptr;
    MyGUI::ISubWidgetText* t = textOf(w, &holder);
    if (!t || blank(t->getCaption()))
        return {};
    const Box r = partBox(holder, t);
    if (region)
        *region = r;
    const MyGUI::IntSize size = t->getTextSize();
    const MyGUI::Align align = t->getTextAlign();
    int x = r.left, y = r.top;
    if (align.isHCenter())
        x = r.left + (r.width() - size.width) / 2;
    else if (align.isRight())
        x = r.right - size.width;
    if (align.isVCenter())
        y = r.top + (r.height() - size.height) / 2;
    else if (align.isBottom())
        y = r.bottom - size.height;
    // A single line: the rows its glyphs ink, by the font's own glyph metrics (the line's
    // leading above the capitals and below the baseline is empty where no glyph reaches).
    const MyGUI::UString& caption = t->getCaption();
    const MyGUI::IFont* font = MyGUI::FontManager::getInstance().getByName(t->getFontName());
    if (font && caption.find('\n') == MyGUI::UString::npos) {
        float inkTop = 1e9f, inkBottom = -1e9f;
        for (MyGUI::Char c : caption.asUTF32()) {
            const MyGUI::GlyphInfo* g = c == ' ' ? nullptr : font->getGlyphInfo(c);
            if (!g || g->height <= 0.0f)
                continue;
            inkTop = std::min(inkTop, g->bearingY);
            inkBottom = std::max(inkBottom, g->bearingY + g->height);
        }
        if (inkBottom > inkTop)
            return {x, y + static_cast<int>(std::floor(inkTop)), x + size.width,
                    y + static_cast<int>(std::ceil(inkBottom))};
    }
    return {x, y, x + size.width, y + size.height};
}

std::string describe(const MyGUI::Widget* w)
{
    std::ostringstream s;
    MyGUI::ISubWidgetText* t = textOf(w);
    s << w->getTypeName();
    if (!w->getName().empty())
        s << " '" << w->getName() << "'";
    if (t)
        s << " \"" << t->getCaption().asUTF8() << "\"";
    s << " at " << boxOf(w->getAbsoluteCoord());
    return s.str();
}

bool fullView(const Box& b)
{
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    return b.width() * b.height() >= view.width * view.height * 4 / 5;
}

// What a widget draws besides its text: its main skin, where it has one with something to show.
bool drawnSkin(const MyGUI::Widget* w, Box& out, bool keepFullView = false)
{
    auto* main = const_cast<MyGUI::Widget*>(w)->getSubWidgetMain();
    if (!main)
        return false;
    // A picture (a logo, a cog, a character) is drawn in its own shape, not its rectangle.
    if (const_cast<MyGUI::Widget*>(w)->castType<MyGUI::ImageBox>(false))
        return false;
    out = partBox(w, main);
    // A backdrop or a veil over the whole view is meant to lie behind or over everything.
    if (fullView(out) && !keepFullView)
        return false;
    return !out.empty();
}

}  // namespace

TextRect drawnText(const MyGUI::Widget* widget)
{
    const Box b = textBox(widget);
    return {b.left, b.top, b.width(), b.height()};
}

std::vector<std::string> layoutFaults()
{
    const std::vector<Entry> all = widgetsInDrawOrder();
    // A modal veil (a skin over the whole view that takes the pointer) puts everything behind
    // it out of play: a message over a page is read, not the page.
    const Entry* modal = nullptr;
    for (const Entry& e : all) {
        Box drawn;
        if (!e.widget->getParent() && shown(e.widget) && e.widget->getNeedMouseFocus() &&
            drawnSkin(e.widget, drawn, true) && fullView(drawn) && (!modal || *modal < e))
            modal = &e;
    }
    const auto behindModal = [&](const Entry& e) {
        return modal && (e.layer < modal->layer || (e.layer == modal->layer && e.node < modal->node));
    };
    struct Text {
        size_t order;
        MyGUI::Widget* widget;
        Box box;
    };
    std::vector<Text> texts;
    std::vector<std::string> faults;
    for (size_t i = 0; i < all.size(); ++i) {
        MyGUI::Widget* w = all[i].widget;
        if (!shown(w))
            continue;
        if (behindModal(all[i]))
            continue;
        MyGUI::ISubWidgetText* sub = textOf(w);
        if (!sub || sub->getTextColour().alpha < 0.02f)
            continue;
        Box region;
        const Box box = textBox(w, &region);
        if (box.empty())
            continue;
        bool scrolls = false;
        const Box area = visibleArea(w, scrolls);
        if (!box.overlaps(area, 0))
            continue;  // scrolled or moved out of sight
        std::ostringstream fault;
        const MyGUI::IntSize size = sub->getTextSize();
        if (size.width > region.width() || size.height > region.height())
            fault << describe(w) << ": text " << size.width << "x" << size.height << " does not fit its area "
                  << region;
        else if (!box.inside(grown(area, 1)) && !scrolls)  // a shadow's extra pixel may go
            fault << describe(w) << ": text " << box << " is cut by its parent or the view " << area;
        if (!fault.str().empty())
            faults.push_back(fault.str());
        texts.push_back({i, w, box});
    }

    for (size_t a = 0; a < texts.size(); ++a)
        for (size_t b = a + 1; b < texts.size(); ++b) {
            const Text& x = texts[a];
            const Text& y = texts[b];
            if (!x.box.overlaps(y.box))
                continue;
            const bool shadowPair = textOf(x.widget)->getCaption() == textOf(y.widget)->getCaption() &&
                                    std::abs(x.box.left - y.box.left) <= 2 && std::abs(x.box.top - y.box.top) <= 2;
            if (shadowPair)
                continue;
            faults.push_back(describe(x.widget) + " text " + [&] {
                std::ostringstream s;
                s << x.box << " overlaps " << describe(y.widget) << " text " << y.box;
                return s.str();
            }());
        }

    // Drawn widgets and captions: a caption straddling the edge of a panel, an image or a badge
    // is covered in part, or lies half on it; a caption wholly on a widget is covered only when
    // that widget is drawn in front (a later layer or a later window of the same layer: within
    // one window the GUI draws every text over every skin).
    for (const Text& t : texts)
        for (size_t i = 0; i < all.size(); ++i) {
            MyGUI::Widget* d = all[i].widget;
            Box drawn;
            if (d == t.widget || isAncestor(d, t.widget) || isAncestor(t.widget, d) || !shown(d) ||
                behindModal(all[i]) || !drawnSkin(d, drawn))
                continue;
            bool scrolls = false;
            drawn = drawn.clippedTo(visibleArea(d, scrolls));
            if (!drawn.overlaps(t.box))
                continue;
            const Entry& te = all[t.order];
            const bool inFront = all[i].layer > te.layer || (all[i].layer == te.layer && all[i].node > te.node);
            const bool straddles = !t.box.inside(drawn);
            // In front: covered, unless by a see-through veil. Behind (the GUI draws a window's
            // texts over its skins): a caption lying half on a small thing (a badge, a cup, an
            // icon) collides with it; one on the edge of a panel much larger than itself is the
            // panel's own label or read-out.
            const bool small = drawn.width() * drawn.height() < 3 * t.box.width() * t.box.height();
            if (inFront ? shownAlpha(d) <= 0.6f : !(straddles && small))
                continue;
            std::ostringstream s;
            s << describe(d) << " drawn " << drawn << (straddles ? " cuts across " : " covers ") << describe(t.widget)
              << " text " << t.box;
            faults.push_back(s.str());
        }
    return faults;
}

}  // namespace testsupport
