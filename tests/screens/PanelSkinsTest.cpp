// The shared container skins as drawn (needs an X display: run under Xvfb): "PanelSkin" draws
// nothing of its own, only its children; "RimPanel" is the dark panel with the tinted rim of the
// options and challenge screens; "BonusEff" is a soft strip, brightest along its middle.
#include "support/PanelTestBed.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

using testsupport::Rgb;

TEST(PanelSkins, PanelIsAnEmptyContainerAndRimPanelKeepsItsRim)
{
    testsupport::PanelTestBed bed(640, 480);
    MyGUI::Gui* gui = bed.gui();
    const Rgb backdrop = bed.screenshot().at(320, 240);

    auto* panel = gui->createWidget<MyGUI::Widget>("PanelSkin", 100, 100, 200, 200, MyGUI::Align::Default, "Main");
    panel->setAlpha(1.0f);
    panel->setColour(MyGUI::Colour::Red);
    auto* child = panel->createWidget<MyGUI::Widget>("WhiteSkin", 50, 50, 20, 20, MyGUI::Align::Default);
    child->setColour(MyGUI::Colour::Blue);
    auto* rim = gui->createWidget<MyGUI::Widget>("RimPanel", 350, 100, 200, 200, MyGUI::Align::Default, "Main");
    rim->setAlpha(1.0f);
    rim->setColour(MyGUI::Colour(1.0f, 0.5f, 0.0f));

    const testsupport::Screenshot shot = bed.screenshot();
    // Nothing of the panel itself, neither its edge nor its inside; its child shows.
    EXPECT_EQ(shot.countNear(backdrop, 100, 100, 200, 200, 4), 200 * 200 - 20 * 20);
    EXPECT_TRUE(shot.at(160, 160).near(Rgb{0, 0, 255}, 8)) << shot.at(160, 160);
    // The rimmed panel: its tint on the rim, a dark fill inside.
    EXPECT_TRUE(shot.at(450, 100).near(Rgb{255, 128, 0}, 16)) << shot.at(450, 100);
    const Rgb fill = shot.at(450, 200);
    EXPECT_FALSE(fill.near(backdrop, 12)) << fill;
    EXPECT_LT(fill.r + fill.g + fill.b, 200) << fill;

    gui->destroyWidget(panel);
    gui->destroyWidget(rim);
}

TEST(PanelSkins, BonusStripGlowsAlongItsMiddle)
{
    testsupport::PanelTestBed bed(800, 600);
    MyGUI::Gui* gui = bed.gui();
    auto* veil = gui->createWidget<MyGUI::Widget>("WhiteSkin", 0, 0, 800, 600, MyGUI::Align::Default, "Main");
    veil->setColour(MyGUI::Colour::Black);
    auto* strip = gui->createWidget<MyGUI::Widget>("BonusEff", 80, 255, 640, 90, MyGUI::Align::Default, "Main");
    strip->setAlpha(1.0f);
    const testsupport::Screenshot shot = bed.screenshot();
    auto brightness = [&](int x, int y) {
        const Rgb c = shot.at(x, y);
        return c.r + c.g + c.b;
    };
    // Light in the middle, fading towards the top and bottom edges.
    EXPECT_GT(brightness(400, 300), 150);
    EXPECT_GT(brightness(400, 300), brightness(400, 258) + 60);
    EXPECT_GT(brightness(400, 300), brightness(400, 342) + 60);
    gui->destroyWidget(strip);
    gui->destroyWidget(veil);
}
