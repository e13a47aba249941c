// The player base and the move controllers (needs an X display: run under Xvfb).
#include "CutsceneTestEngine.h"

#include "cutscenes/BasicCutScene.h"
#include "cutscenes/NovelCutScene.h"
#include "cutscenes/VideoCutScene.h"

#include <MyGUI.h>
#include <OgreConfigFile.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using playertest::CutsceneEngine;

namespace {
template <class Player>
std::unique_ptr<BasicCutScene> makePlayer(CutsceneEngine& engine, uint32_t index, const std::string& file = "")
{
    return std::make_unique<Player>(nullptr, nullptr, nullptr, engine.gui(), nullptr, file, false, index, nullptr);
}
}  // namespace

TEST(BasicCutScene, FinishesOnItsFirstUpdateAfterPlayWhateverTheInput)
{
    CutsceneEngine engine;
    engine.writeSequence("Seq", "[Sequence]\nnum_Cutscenes = 1\n[CutScene_1]\nCutScene_Type = 7\n");
    auto player = makePlayer<BasicCutScene>(engine, 0);
    player->setSequenceName("Seq");
    EXPECT_EQ(player->state, CUTSCENE_CREATED);
    player->loadFile();
    EXPECT_TRUE(player->loaded);
    EXPECT_FALSE(player->hasFailed());
    player->play();
    EXPECT_EQ(player->state, CUTSCENE_PLAYING);
    engine.keyboard.press(OIS::KC_ESCAPE);
    engine.capture();
    player->update(0.016f, &engine.keyboard, nullptr, &engine.mouse);
    EXPECT_EQ(player->state, CUTSCENE_FINISHED);
}

TEST(BasicCutScene, LoadersAndSetupDoNothingOnceLoaded)
{
    CutsceneEngine engine;
    engine.writeSequence("Seq", "[CutScene_1]\n");
    const std::vector<std::pair<const char*, std::function<void(BasicCutScene&)>>> again = {
        {"loadFile", [](BasicCutScene& p) { p.loadFile(); }},
        {"loadFromSequence", [](BasicCutScene& p) { p.loadFromSequence(); }},
        {"setup", [](BasicCutScene& p) {
             Ogre::ConfigFile empty;
             p.setup(empty);
         }},
    };
    for (const auto& [name, call] : again) {
        auto player = makePlayer<BasicCutScene>(engine, 0);
        player->setSequenceName("Seq");
        player->loadFromSequence();
        player->play();
        ASSERT_EQ(player->state, CUTSCENE_PLAYING) << name;
        call(*player);
        // A fresh set-up would have marked it finished again.
        EXPECT_EQ(player->state, CUTSCENE_PLAYING) << name;
    }
}

TEST(BasicCutScene, IndexPicksTheSectionNumberedOneHigher)
{
    CutsceneEngine engine;
    engine.writeSequence("Seq", "[CutScene_1]\nnum_Pages = 1\n[CutScene_2]\nnum_Pages = 3\n");
    for (auto [index, pages] : {std::pair<uint32_t, uint32_t>{0, 1}, {1, 3}, {2, 0}}) {
        auto player = makePlayer<NovelCutScene>(engine, index);
        player->setSequenceName("Seq");
        player->loadFile();
        EXPECT_EQ(static_cast<NovelCutScene&>(*player).pageCount, pages) << "index " << index;
    }
}

TEST(BasicCutScene, AConfigurationThatCannotBeReadEndsOnlyThatEntry)
{
    CutsceneEngine engine;
    struct Case {
        const char* what;
        std::function<std::unique_ptr<BasicCutScene>()> make;
    };
    const Case cases[] = {
        {"basic, no sequence file", [&] { return makePlayer<BasicCutScene>(engine, 0); }},
        {"video, no sequence file", [&] { return makePlayer<VideoCutScene>(engine, 0); }},
        {"novel, no sequence file", [&] { return makePlayer<NovelCutScene>(engine, 0); }},
        {"video, named file missing", [&] { return makePlayer<VideoCutScene>(engine, 0, "missing.ini"); }},
        {"novel, named file missing", [&] { return makePlayer<NovelCutScene>(engine, 0, "missing.ini"); }},
    };
    for (const Case& c : cases) {
        auto player = c.make();
        player->setSequenceName("NoSuchSequence");
        player->loadFile();
        EXPECT_TRUE(player->hasFailed()) << c.what;
        EXPECT_FALSE(player->loaded) << c.what;
        player->play();
        player->update(0.016f, nullptr, nullptr, nullptr);
        EXPECT_EQ(player->state, CUTSCENE_FINISHED) << c.what;
    }
    EXPECT_TRUE(engine.logged("cannot read '../../Data/Cutscene/NoSuchSequence.ini'"));
    EXPECT_TRUE(engine.logged("cannot read '../../Video/missing.ini'"));
}

TEST(MoveController, CurvesGiveTheirFractionOfTheWay)
{
    CutsceneEngine engine;
    MyGUI::Widget* widget =
        engine.gui()->createWidget<MyGUI::Widget>("FaderSkin", 0, 0, 10, 10, MyGUI::Align::Default, "Main");
    auto inertial = [](float t) {
        MyGUI::IntCoord out;
        MyGUI::action::inertionalMoveFunction(MyGUI::IntCoord(0, 0, 10, 10), MyGUI::IntCoord(10000, 0, 10, 10), out, t);
        return out.left / 10000.0f;
    };
    struct Row {
        int function;
        float k[4];  // at t = 0.5, 0.6, 0.7, 1
    };
    const Row rows[] = {
        {1, {inertial(0.5f), inertial(0.6f), inertial(0.7f), 1.0f}},
        {2, {0.757858f, 0.815193f, 0.867040f, 1.0f}},
        {3, {0.125f, 0.216f, 0.343f, 1.0f}},
        {4, {1.125f, 1.2f, 1.225f, 1.0f}},
        {5, {1.75f, 1.8f, 1.75f, 1.0f}},
        {0, {0.5f, 0.6f, 0.7f, 1.0f}},
        {9, {0.5f, 0.6f, 0.7f, 1.0f}},
    };
    for (const Row& row : rows) {
        widget->setPosition(0, 0);
        std::unique_ptr<MyGUI::ControllerPosition> controller(
            createMoveController(MyGUI::IntPoint(10000, 0), 2.0f, row.function));
        ASSERT_NE(controller, nullptr);
        controller->prepareItem(widget);
        // The controller's time is 2 s: t = elapsed / 2.
        const float steps[4] = {1.0f, 0.2f, 0.2f, 0.6f};
        for (int i = 0; i < 4; ++i) {
            controller->addTime(widget, steps[i]);
            EXPECT_NEAR(widget->getLeft() / 10000.0f, row.k[i], 2e-4f) << "function " << row.function << " step " << i;
        }
    }
    // The inertial curve is not the straight one.
    EXPECT_GT(std::abs(inertial(0.3f) - 0.3f), 0.01f);
}
