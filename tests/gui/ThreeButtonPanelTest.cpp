// The shared three-button operations on real widgets (needs an X display: run under Xvfb).
#include "gui/ThreeButtonPanel.h"

#include "audio/Sound.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "support/PanelTestBed.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <bitset>

namespace {

// Three buttons in a column inside a panel that is itself offset, so the hit-test has to use
// absolute coordinates: button i spans (108, 208 + 40 i) to (260, 240 + 40 i).
class ColumnPanel : public ThreeButtonPanel {
public:
    ColumnPanel(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds)
        : ThreeButtonPanel(session, gui, sounds)
    {
        create(true);
    }
    ~ColumnPanel() override { gui->destroyWidget(column); }

    void create(bool show) override
    {
        if (created)
            return;
        Priget::create(show);
        column = gui->createWidget<MyGUI::Widget>("WhiteSkin", 100, 200, 168, 128, MyGUI::Align::Default, "Main");
        for (int i = 0; i < 3; ++i) {
            buttons[i] = column->createWidget<MyGUI::Button>("SelectedButton", 8, 8 + 40 * i, 152, 32,
                                                             MyGUI::Align::Default);
            bindMoveSound(buttons[i]);
        }
        setButtonStates();
    }

    MyGUI::Widget* column = nullptr;
};

class ThreeButtonPanelTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(bed.sounds()->moveClick(), nullptr) << "the tree has no move click"; }

    // Which buttons show the selected look on screen ("normal": the lighter face of the button
    // image; "normal_NotSel" the darker one).
    std::bitset<3> selectedLooks()
    {
        const testsupport::Screenshot shot = bed.screenshot();
        std::bitset<3> looks;
        for (int i = 0; i < 3; ++i) {
            const testsupport::Rgb face = shot.at(120, 214 + 40 * i);
            EXPECT_TRUE(face.near(selectedFace, 12) || face.near(otherFace, 12) || !panel.button(i)->getVisible())
                << "button " << i << " shows " << face;
            looks[i] = face.near(selectedFace, 12);
        }
        return looks;
    }

    testsupport::PanelTestBed bed;
    ColumnPanel panel{bed.session(), bed.gui(), bed.sounds()};
    const testsupport::Rgb selectedFace{70, 110, 160};
    const testsupport::Rgb otherFace{40, 64, 96};
};

TEST_F(ThreeButtonPanelTest, NextAndPreviousSkipDisabledButtonsAndClickEveryTime)
{
    struct Case {
        uint32_t from;
        const char* enabled;  // buttons 0, 1, 2
        uint32_t next;
        uint32_t previous;
    };
    const Case cases[] = {
        {0, "111", 1, 2}, {1, "111", 2, 0}, {2, "111", 0, 1}, {7, "111", 1, 2},
        {0, "101", 2, 2}, {0, "110", 1, 1}, {1, "110", 0, 0}, {1, "011", 2, 2},
        {2, "011", 1, 1}, {2, "101", 0, 0}, {7, "101", 2, 2}, {7, "110", 1, 1},
        {0, "100", 0, 0}, {1, "010", 1, 1}, {2, "100", 0, 0}, {7, "100", 0, 0},
        {7, "000", 0, 0}, {1, "000", 1, 1}, {2, "001", 2, 2},
    };
    audio::Sound* click = bed.sounds()->moveClick();
    for (const Case& c : cases) {
        for (int i = 0; i < 3; ++i)
            panel.button(i)->setEnabled(c.enabled[i] == '1');
        for (bool forward : {true, false}) {
            bed.session()->selectedIndex = c.from;
            click->stop();
            if (forward)
                panel.playMenuSelectSound();
            else
                panel.selectPreviousButton();
            EXPECT_EQ(bed.session()->selectedIndex, forward ? c.next : c.previous)
                << (forward ? "next" : "previous") << " from " << c.from << " with " << c.enabled;
            EXPECT_TRUE(click->isPlaying()) << "no move click from " << c.from << " with " << c.enabled;
        }
    }
}

TEST_F(ThreeButtonPanelTest, ButtonStatesFollowTheIndexWithOtherValuesAsZero)
{
    const struct {
        uint32_t index;
        const char* looks;  // bitset text: button 2, 1, 0
    } cases[] = {{1, "010"}, {2, "100"}, {9, "001"}, {0, "001"}};
    for (const auto& c : cases) {
        bed.session()->selectedIndex = c.index;
        panel.setButtonStates();
        EXPECT_EQ(selectedLooks().to_string(), c.looks) << "index " << c.index;
        EXPECT_EQ(bed.session()->selectedIndex, c.index) << "looks must not change the index";
    }
}

TEST_F(ThreeButtonPanelTest, HitTestCountsEdgesAndIgnoresEnabledAndVisibleFlags)
{
    // Hidden and disabled buttons are still hit.
    panel.button(1)->setEnabled(false);
    panel.button(2)->setVisible(false);
    const struct {
        int x, y;
        int hit;  // -1 none
    } cases[] = {
        {108, 208, 0},  {260, 240, 0},   // top-left and bottom-right corners of button 0
        {261, 216, -1}, {150, 241, -1},  // one pixel right of, and below, button 0
        {107, 224, -1},                  // one pixel left
        {200, 260, 1},  {260, 320, 2},
    };
    for (const auto& c : cases) {
        bed.session()->selectedIndex = 1;
        panel.setButtonStates();
        bed.session()->mouseOverButton = 7;
        panel.hitTestButtons(c.x, c.y);
        if (c.hit < 0) {
            EXPECT_EQ(bed.session()->mouseOverButton, 0) << c.x << "," << c.y;
            EXPECT_EQ(bed.session()->selectedIndex, 1u) << c.x << "," << c.y;
            EXPECT_EQ(selectedLooks().to_string(), "010") << c.x << "," << c.y;
        } else {
            EXPECT_EQ(bed.session()->mouseOverButton, 1) << c.x << "," << c.y;
            EXPECT_EQ(bed.session()->selectedIndex, static_cast<uint32_t>(c.hit)) << c.x << "," << c.y;
            // Button 2 is hidden: only the visible two can show their looks.
            EXPECT_EQ((selectedLooks() & std::bitset<3>(3)).to_string(),
                      (std::bitset<3>(1u << c.hit) & std::bitset<3>(3)).to_string())
                << c.x << "," << c.y;
        }
    }
}

TEST_F(ThreeButtonPanelTest, HitTestReadsTheMouseDevice)
{
    bed.mouse().moveTo(260, 280);
    bed.capture();
    panel.hitTestButtons(&bed.mouse());
    EXPECT_EQ(bed.session()->selectedIndex, 1u);
    panel.hitTestButtons(static_cast<const OIS::Mouse*>(nullptr));  // no mouse: nothing changes
    EXPECT_EQ(bed.session()->selectedIndex, 1u);
    EXPECT_EQ(bed.session()->mouseOverButton, 1);
}

TEST_F(ThreeButtonPanelTest, MouseEnteringAButtonClicksAndLeavingClearsTheOverFlag)
{
    audio::Sound* click = bed.sounds()->moveClick();
    auto& input = MyGUI::InputManager::getInstance();
    input.injectMouseMove(10, 10, 0);
    bed.session()->mouseOverButton = 1;
    click->stop();
    input.injectMouseMove(180, 264, 0);  // onto button 1
    EXPECT_EQ(bed.session()->mouseOverButton, 1);
    EXPECT_TRUE(click->isPlaying());
    click->stop();
    input.injectMouseMove(500, 500, 0);
    EXPECT_EQ(bed.session()->mouseOverButton, 0);
    EXPECT_FALSE(click->isPlaying()) << "leaving a button must not click";
    // The focus handler itself does not move the highlight.
    EXPECT_EQ(bed.session()->selectedIndex, 0u);
}

TEST_F(ThreeButtonPanelTest, DestroyClearsCreatedAndKeepsTheWidgets)
{
    panel.destroy();
    EXPECT_EQ(panel.created, 0);
    EXPECT_EQ(panel.column->getChildCount(), 3u);
    EXPECT_EQ(MyGUI::LayerManager::getInstance().getWidgetFromPoint(180, 224), panel.button(0));
}

}  // namespace
