// The pause panel on real widgets with scripted devices (run under Xvfb).
#include "play/Priget_PlayPause.h"

#include "audio/Sound.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/GlobalSounds.h"
#include "support/PanelTestBed.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

class PlayPauseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(bed.sounds()->warningClick(), nullptr);
        panel.reset(false);
        panel.show(true);
        frame(1.0f);  // fully faded in
    }

    void frame(float dt = 1.0f / 60.0f)
    {
        bed.capture();
        panel.handleInput(dt, &bed.keyboard(), &bed.joystick(), &bed.mouse());
    }

    uint32_t index() const { return bed.session()->selectedIndex; }

    testsupport::PanelTestBed bed;
    Priget_PlayPause panel{bed.session(), bed.gui(), bed.sounds()};
};

TEST_F(PlayPauseTest, FadeInSlidesTheColumnDownAndDimsTheScreen)
{
    panel.show(true);
    EXPECT_EQ(panel.menuPanel->getTop(), 20);
    EXPECT_EQ(panel.menuPanel->getLeft(), 48);
    EXPECT_FLOAT_EQ(panel.background->getAlpha(), 0.0f);
    EXPECT_TRUE(panel.background->getVisible());

    const struct {
        float dt;
        float fadeTime;
        int top;
        float dim, spinCog, selectCog;
    } steps[] = {
        {0.2f, 0.8f, 42, 0.0f, 0.25f, 0.0f},
        {0.3f, 0.5f, 48, 0.25f * (1.0f - 0.5f / 0.75f), 0.5f, 0.5f},
        {0.5f, 0.0f, 48, 0.25f, 0.5f, 0.5f},
        {0.5f, 0.0f, 48, 0.25f, 0.5f, 0.5f},  // stays at its end
    };
    for (const auto& s : steps) {
        frame(s.dt);
        SCOPED_TRACE(testing::Message() << "fadeTime " << s.fadeTime);
        EXPECT_NEAR(panel.fadeTime, s.fadeTime, 1e-6f);
        EXPECT_EQ(panel.menuPanel->getTop(), s.top);
        EXPECT_NEAR(panel.background->getAlpha(), s.dim, 1e-5f);
        EXPECT_NEAR(panel.spinCogImage->getAlpha(), s.spinCog, 1e-5f);
        EXPECT_NEAR(panel.selectCogImage->getAlpha(), s.selectCog, 1e-5f);
    }
}

TEST_F(PlayPauseTest, FadeOutHidesTheButtonsInOrderThenTheColumn)
{
    panel.show(false);
    EXPECT_FALSE(panel.background->getVisible()) << "the dimmer goes at once";
    EXPECT_EQ(bed.session()->selectedIndex, 0u);
    MyGUI::Widget* const widgets[] = {panel.resumeButton(), panel.retryButton(), panel.quitButton(), panel.menuPanel};
    const float hiddenBelow[] = {0.8f, 0.7f, 0.6f, 0.2f};
    // Steps that never land on a threshold.
    for (int tick = 1; tick <= 23; ++tick) {
        panel.animate(0.045f);
        const float t = panel.closeTime;
        for (int w = 0; w < 4; ++w)
            EXPECT_EQ(widgets[w]->getVisible(), t > hiddenBelow[w]) << "widget " << w << " at " << t;
        EXPECT_NEAR(panel.menuPanel->getAlpha(), t <= 0.3f ? 0.0f : t >= 0.7f ? 0.5f : (t - 0.3f) / 0.4f * 0.5f, 1e-4f);
        EXPECT_EQ(panel.spinCogImage->getVisible(), t > 0.0f);
    }
    EXPECT_EQ(panel.closeTime, 0.0f);
    EXPECT_FALSE(panel.selectCogImage->getVisible());
}

TEST_F(PlayPauseTest, ShowingDuringTheFadeOutStopsIt)
{
    panel.show(false);
    panel.animate(0.5f);
    EXPECT_FALSE(panel.resumeButton()->getVisible());
    panel.show(true);
    EXPECT_EQ(panel.closeTime, 0.0f);
    EXPECT_EQ(panel.fadeTime, 1.0f);
    panel.animate(0.5f);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(panel.button(i)->getVisible()) << i;
    EXPECT_TRUE(panel.menuPanel->getVisible());
    EXPECT_FLOAT_EQ(panel.menuPanel->getAlpha(), 0.5f);
}

TEST_F(PlayPauseTest, HeldDownStepsOnceAndAReleaseRearms)
{
    frame();  // nothing held: the latch from construction is cleared
    bed.keyboard().press(OIS::KC_DOWN);
    for (int i = 0; i < 10; ++i)
        frame();
    EXPECT_EQ(index(), 1u);
    bed.keyboard().release(OIS::KC_DOWN);
    frame();
    EXPECT_EQ(panel.navLatch, 0);
    bed.keyboard().press(OIS::KC_DOWN);
    frame();
    EXPECT_EQ(index(), 2u);
    // The looks follow: Quit shows the lighter face, Resume and Retry the darker one (read
    // right of the cogs, under the dimmer).
    const testsupport::Screenshot shot = bed.screenshot();
    auto face = [&shot](int button) {
        const testsupport::Rgb c = shot.at(190, 48 + 8 + 40 * button + 6);
        return c.r + c.g + c.b;
    };
    EXPECT_GT(face(2), face(0) + 60);
    EXPECT_EQ(face(0), face(1));
}

TEST_F(PlayPauseTest, EveryNavigationInputStepsOnlyWhereItShould)
{
    using testsupport::PanelTestBed;
    struct Case {
        const char* name;
        bool pad;
        std::function<void(PanelTestBed&)> set;
        uint32_t expected;  // from 0: previous gives 2, next gives 1
    };
    const Case cases[] = {
        {"Up", false, [](PanelTestBed& b) { b.keyboard().press(OIS::KC_UP); }, 2},
        {"W", false, [](PanelTestBed& b) { b.keyboard().press(OIS::KC_W); }, 2},
        {"wheel up", false, [](PanelTestBed& b) { b.mouse().scroll(120); }, 2},
        {"Down", false, [](PanelTestBed& b) { b.keyboard().press(OIS::KC_DOWN); }, 1},
        {"S", false, [](PanelTestBed& b) { b.keyboard().press(OIS::KC_S); }, 1},
        {"wheel down", false, [](PanelTestBed& b) { b.mouse().scroll(-120); }, 1},
        {"hat north-west", true, [](PanelTestBed& b) { b.joystick().setPov(OIS::Pov::NorthWest); }, 2},
        {"hat north-east", true, [](PanelTestBed& b) { b.joystick().setPov(OIS::Pov::NorthEast); }, 2},
        {"hat south", true, [](PanelTestBed& b) { b.joystick().setPov(OIS::Pov::South); }, 1},
        {"axis 0 up", true, [](PanelTestBed& b) { b.joystick().setAxis(0, -16385); }, 2},
        {"axis 0 down", true, [](PanelTestBed& b) { b.joystick().setAxis(0, 16384); }, 1},
        {"axis 0 at the low threshold", true, [](PanelTestBed& b) { b.joystick().setAxis(0, -16384); }, 0},
        {"axis 0 at the high threshold", true, [](PanelTestBed& b) { b.joystick().setAxis(0, 16383); }, 0},
        {"hat east", true, [](PanelTestBed& b) { b.joystick().setPov(OIS::Pov::East); }, 0},
        {"axis 1", true, [](PanelTestBed& b) { b.joystick().setAxis(1, 30000); }, 0},
        {"hat with the pad disabled", false, [](PanelTestBed& b) { b.joystick().setPov(OIS::Pov::North); }, 0},
        {"axis with the pad disabled", false, [](PanelTestBed& b) { b.joystick().setAxis(0, 30000); }, 0},
    };
    for (const Case& c : cases) {
        bed.keyboard().releaseAll();
        bed.joystick().setPov(OIS::Pov::Centered);
        bed.joystick().setAxis(0, 0);
        bed.joystick().setAxis(1, 0);
        bed.session()->gamepadEnabled = c.pad;
        frame();  // re-arm; the wheel's motion of that frame is spent
        bed.session()->selectedIndex = 0;
        c.set(bed);
        frame();
        EXPECT_EQ(index(), c.expected) << c.name;
    }
    // Without a joystick at all the pad is not read.
    bed.session()->gamepadEnabled = 0;
    bed.keyboard().releaseAll();
    frame();
    bed.session()->gamepadEnabled = 1;
    bed.capture();
    panel.handleInput(0.016f, &bed.keyboard(), nullptr, &bed.mouse());
    EXPECT_EQ(index(), 0u);
}

TEST_F(PlayPauseTest, WithTheMouseOnAButtonDownWarnsWhileUpStillMoves)
{
    audio::Sound* warning = bed.sounds()->warningClick();
    bed.mouse().moveTo(100, 110);  // on Retry: (56, 96) to (208, 128)
    frame();
    EXPECT_EQ(index(), 1u);
    EXPECT_EQ(bed.session()->mouseOverButton, 1);
    warning->stop();
    bed.keyboard().press(OIS::KC_DOWN);
    frame();
    EXPECT_EQ(index(), 1u);
    EXPECT_TRUE(warning->isPlaying());
    bed.keyboard().release(OIS::KC_DOWN);
    frame();
    warning->stop();
    bed.keyboard().press(OIS::KC_UP);
    frame();
    EXPECT_EQ(index(), 0u);
    EXPECT_FALSE(warning->isPlaying());
}

TEST_F(PlayPauseTest, RightClickSelectsQuitOutsideAndWarnsOnAButton)
{
    audio::Sound* warning = bed.sounds()->warningClick();
    frame();
    bed.mouse().moveTo(600, 400);
    bed.mouse().press(OIS::MB_Right);
    warning->stop();
    frame();
    EXPECT_EQ(index(), 2u);
    EXPECT_FALSE(warning->isPlaying());
    bed.mouse().release(OIS::MB_Right);
    frame();

    bed.mouse().moveTo(60, 60);  // Resume's top-left corner
    frame();
    EXPECT_EQ(index(), 0u);
    bed.mouse().press(OIS::MB_Right);
    frame();
    EXPECT_EQ(index(), 0u);
    EXPECT_TRUE(warning->isPlaying());
}

TEST_F(PlayPauseTest, NothingHappensOnceDestroyedAndTheLayoutIsNamed)
{
    EXPECT_EQ(bed.gui()->findWidgetT("pM_mMenu"), panel.menuPanel);
    EXPECT_EQ(bed.gui()->findWidgetT("pm_bQui"), panel.quitButton());
    EXPECT_EQ(panel.quitButton()->getCaption().asUTF8(), "Quit");
    EXPECT_EQ(panel.background->getWidth(), 1024);
    panel.destroy();
    frame();
    bed.keyboard().press(OIS::KC_DOWN);
    frame();
    EXPECT_EQ(index(), 0u);
}

}  // namespace

// The buttons read the profile's texts in the settings' language; without a profile the built-in
// English captions stay.
TEST(PlayPauseTexts, ButtonsComeFromTheProfileInItsLanguage)
{
    testsupport::PanelTestBed bed;
    GameSession* s = bed.session();
    {
        Priget_PlayPause bare(s, bed.gui(), bed.sounds());
        EXPECT_EQ(bare.resumeButton()->getCaption().asUTF8(), "Resume");
    }
    s->setProfileName("Tester");
    s->recreateProfile();
    const struct {
        uint32_t language, repaired;
        const char *resume, *retry, *quit;
    } cases[] = {
        {0, 0, "Resume", "Retry", "Quit"},
        {1, 1, "Continuar", "Reintentar", "Salir"},
        {9, 0, "Resume", "Retry", "Quit"},
    };
    for (const auto& c : cases) {
        bed.settings()->Language = c.language;
        Priget_PlayPause panel(s, bed.gui(), bed.sounds());
        EXPECT_EQ(bed.settings()->Language, c.repaired);
        EXPECT_EQ(panel.resumeButton()->getCaption().asUTF8(), c.resume);
        EXPECT_EQ(panel.retryButton()->getCaption().asUTF8(), c.retry);
        EXPECT_EQ(panel.quitButton()->getCaption().asUTF8(), c.quit);
    }
}
