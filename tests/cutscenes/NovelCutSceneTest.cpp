// The paged-text player (needs an X display: run under Xvfb).
#include "CutsceneTestEngine.h"

#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "cutscenes/NovelCutScene.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using playertest::CutsceneEngine;
using testsupport::Rgb;

namespace {
std::unique_ptr<NovelCutScene> startNovel(CutsceneEngine& engine, const std::string& section, bool play = true,
                                          GameSession* session = nullptr)
{
    engine.writeSequence("Nov", "[Sequence]\nnum_Cutscenes = 1\n[CutScene_1]\nCutScene_Type = 2\n" + section);
    auto player = std::make_unique<NovelCutScene>(nullptr, nullptr, nullptr, engine.gui(), nullptr, "", false, 0, session);
    player->setSequenceName("Nov");
    player->loadFile();
    if (play)
        player->play();
    return player;
}

// Pages with one paragraph each; the first ones get the timers given.
std::string pages(int count, const std::vector<const char*>& timers = {})
{
    std::string text = "num_Pages = " + std::to_string(count) + "\n";
    for (int p = 1; p <= count; ++p) {
        const std::string key = "Page_" + std::to_string(p);
        if (p <= static_cast<int>(timers.size()))
            text += key + "_Timer = " + timers[p - 1] + "\n";
        text += key + "_NumParagafs = 1\n" + key + "_Paragaf_1_text = \"Page " + std::to_string(p) + "\"\n";
    }
    return text;
}

// The text as the edit box draws it (its own getters read the box, not its text field).
const MyGUI::ISubWidgetText& shownText(MyGUI::EditBox* edit)
{
    return *edit->getClientWidget()->getSubWidgetText();
}

const std::string kCounter =
    "CanControlPages = true\nShowPageCout = true\nShowPageCout_Prefix = Page\nShowPageCout_TAlpha = 1\n";

MyGUI::EditBox* paragraph(CutsceneEngine& engine, const std::string& name)
{
    return engine.gui()->findWidget<MyGUI::EditBox>(name, false);
}

// Up for one frame (a key held from before is never a press), then down for one.
void pressReturn(CutsceneEngine& engine, NovelCutScene& player)
{
    engine.keyboard.release(OIS::KC_RETURN);
    engine.capture();
    player.update(0.0f, &engine.keyboard, nullptr, &engine.mouse);
    engine.keyboard.press(OIS::KC_RETURN);
    engine.capture();
    player.update(0.016f, &engine.keyboard, nullptr, &engine.mouse);
    engine.keyboard.release(OIS::KC_RETURN);
    engine.capture();
}
}  // namespace

TEST(NovelCutScene, PageCounterShowsOnlyWhenThePagesAreControlled)
{
    CutsceneEngine engine;
    struct Case {
        const char* keys;
        bool shown;
    };
    const Case cases[] = {
        {"CanControlPages = false\nShowPageCout = true\n", false},
        {"CanControlPages = true\nShowPageCout = false\n", false},
        {"ShowPageCout = true\n", false},
        {"CanControlPages = true\nShowPageCout = true\n", true},
    };
    for (const Case& c : cases) {
        auto player = startNovel(engine, std::string(c.keys) + pages(1));
        EXPECT_EQ(player->pageCounter->getVisible(), c.shown) << c.keys;
        EXPECT_EQ(player->showPageCount, c.shown) << c.keys;
    }
}

TEST(NovelCutScene, CounterReadsPrefixPageAndCount)
{
    CutsceneEngine engine;
    auto player = startNovel(engine, kCounter + pages(5));
    EXPECT_EQ(player->pageCounter->getCaption().asUTF8(), "Page 1/5");
    pressReturn(engine, *player);
    EXPECT_EQ(player->currentPage, 1u);
    EXPECT_EQ(player->pageCounter->getCaption().asUTF8(), "Page 2/5");
    ASSERT_NE(paragraph(engine, "NovelCUTS_p1p0"), nullptr);
    EXPECT_EQ(paragraph(engine, "NovelCUTS_p1p0")->getCaption().asUTF8(), "Page 2");
    // The first page's paragraphs went with it.
    EXPECT_EQ(paragraph(engine, "NovelCUTS_p0p0"), nullptr);
}

// "<key>_2" holds a text in the second language of the tables; a language without a line of its
// own, or no settings at all, reads the plain key.
TEST(NovelCutScene, TextsFollowTheSettingsLanguage)
{
    CutsceneEngine engine;
    const std::string section = kCounter +
                                "ShowPageCout_Prefix_2 = P\xE1gina\nnum_Pages = 1\nPage_1_NumParagafs = 2\n"
                                "Page_1_Paragaf_1_text = \"Report\"\nPage_1_Paragaf_1_text_2 = \"Informe\"\n"
                                "Page_1_Paragaf_2_text = \"Only one\"\n";
    GameSettings settings;
    GameSession session(nullptr, &settings);
    const struct {
        GameSession* session;
        uint32_t language;
        const char *counter, *first, *second;
    } cases[] = {
        {nullptr, 0, "Page 1/1", "Report", "Only one"},
        {&session, 0, "Page 1/1", "Report", "Only one"},
        {&session, 1, "P\xC3\xA1gina 1/1", "Informe", "Only one"},
        {&session, 4, "Page 1/1", "Report", "Only one"},
    };
    for (const auto& c : cases) {
        settings.Language = c.language;
        auto player = startNovel(engine, section, true, c.session);
        SCOPED_TRACE(c.counter);
        EXPECT_EQ(player->pageCounter->getCaption().asUTF8(), c.counter);
        ASSERT_NE(paragraph(engine, "NovelCUTS_p0p1"), nullptr);
        EXPECT_EQ(paragraph(engine, "NovelCUTS_p0p0")->getCaption().asUTF8(), c.first);
        EXPECT_EQ(paragraph(engine, "NovelCUTS_p0p1")->getCaption().asUTF8(), c.second);
    }
}

TEST(NovelCutScene, ParagraphsTakeTheirKeys)
{
    CutsceneEngine engine;
    auto player = startNovel(engine,
                             "num_Pages = 1\nPage_1_NumParagafs = 4\n"
                             "Page_1_Paragaf_1_TAlpha = 0\nPage_1_Paragaf_1_TAlign = 0\n"
                             "Page_1_Paragaf_2_TAlpha = 0.5\nPage_1_Paragaf_2_TAlign = 10\n"
                             "Page_1_Paragaf_2_Offset = \"10.9 -5.5\"\nPage_1_Paragaf_2_TColour = \"1 0.5 0 0.2\"\n"
                             "Page_1_Paragaf_3_TAlign = 5\nPage_1_Paragaf_3_TFont = ArialBold.20\n"
                             "Page_1_Paragaf_4_TAlign = 9\nPage_1_Paragaf_4_text = \"Caf\xE9\"\n");
    struct Expected {
        float alpha;
        MyGUI::Align align;
    };
    const Expected expected[] = {
        {1.0f, MyGUI::Align::Left | MyGUI::Align::Top},   // alpha 0 draws opaque
        {0.5f, MyGUI::Align::Left | MyGUI::Align::Top},
        {1.0f, MyGUI::Align::Center},                     // missing alpha draws opaque
        {1.0f, MyGUI::Align::Right | MyGUI::Align::Bottom},
    };
    for (int k = 0; k < 4; ++k) {
        MyGUI::EditBox* edit = paragraph(engine, "NovelCUTS_p0p" + std::to_string(k));
        ASSERT_NE(edit, nullptr) << k;
        EXPECT_FLOAT_EQ(edit->getAlpha(), expected[k].alpha) << k;
        EXPECT_EQ(shownText(edit).getTextAlign(), expected[k].align) << k;
        EXPECT_FALSE(edit->getInheritsAlpha()) << k;
        EXPECT_EQ(edit->getParent(), player->textHolder) << k;
    }
    MyGUI::EditBox* second = paragraph(engine, "NovelCUTS_p0p1");
    EXPECT_EQ(second->getCoord(), MyGUI::IntCoord(40, 24, 740, 540));
    EXPECT_EQ(shownText(second).getTextColour(), MyGUI::Colour(1.0f, 0.5f, 0.0f, 1.0f));
    EXPECT_EQ(shownText(paragraph(engine, "NovelCUTS_p0p2")).getFontName(), "ArialBold.20");
    // 8-bit text of the .ini reaches the GUI as the character it stands for.
    EXPECT_EQ(paragraph(engine, "NovelCUTS_p0p3")->getCaption().asUTF8(), "Caf\xC3\xA9");
}

TEST(NovelCutScene, CounterAlignmentDefaultsToRightTop)
{
    CutsceneEngine engine;
    for (auto [align, expected] : {std::pair<int, MyGUI::Align>{0, MyGUI::Align::Right | MyGUI::Align::Top},
                                   {10, MyGUI::Align::Right | MyGUI::Align::Top},
                                   {1, MyGUI::Align::Left | MyGUI::Align::Top},
                                   {8, MyGUI::Align::Bottom}}) {
        auto player = startNovel(engine, kCounter + "ShowPageCout_TAlign = " + std::to_string(align) +
                                             "\nShowPageCout_Offset = \"5.7 -3.2\"\n" + pages(1));
        EXPECT_EQ(player->pageCounter->getTextAlign(), expected) << align;
        EXPECT_EQ(player->pageCounter->getPosition(), MyGUI::IntPoint(35, 16)) << align;
    }
}

TEST(NovelCutScene, ImagesAreSizedPlacedAndTinted)
{
    CutsceneEngine engine;
    auto player = startNovel(engine,
                             "num_Pages = 1\nNum_Images = 5\n"
                             // relative size and position, truncated; alignment 1 anchors at (0, 0)
                             "Image_1_File = vt_novel_badge.png\nImage_1_RelativeSize = true\nImage_1_RelativePos = true\n"
                             "Image_1_Size = \"0.3333 0.2499\"\nImage_1_Offset = \"0.1001 0.0505\"\nImage_1_TAlign = 1\n"
                             "Image_1_TAlpha = 0.75\nImage_1_Colour = \"1 0.5 0.25 0.1\"\nImage_1_Show = true\n"
                             // absolute, centred
                             "Image_2_Size = \"100.9 50.9\"\nImage_2_Offset = \"-10.5 3.7\"\nImage_2_TAlign = 5\n"
                             // right-bottom
                             "Image_3_Size = \"100 50\"\nImage_3_TAlign = 9\n"
                             // top centre with an odd remainder
                             "Image_4_Size = \"101 50\"\nImage_4_TAlign = 2\n"
                             // nothing but a size
                             "Image_5_Size = \"10 10\"\nImage_5_TAlign = 12\n");
    ASSERT_EQ(player->imageCount, 5u);
    struct Expected {
        MyGUI::IntCoord coord;
        Ogre::Vector2 anchor;
    };
    const Expected expected[] = {
        {{80, 30, 266, 149}, {0, 0}},
        {{339, 278, 100, 50}, {350, 275}},
        {{700, 550, 100, 50}, {700, 550}},
        {{349, 0, 101, 50}, {349, 0}},
        {{0, 0, 10, 10}, {0, 0}},
    };
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(player->images[i].widget->getCoord(), expected[i].coord) << "image " << i + 1;
        EXPECT_EQ(player->images[i].anchor, expected[i].anchor) << "image " << i + 1;
        EXPECT_EQ(player->images[i].widget->getLayer()->getName(), "Modal") << "image " << i + 1;
    }
    const MyGUI::ImageBox* first = player->images[0].widget;
    EXPECT_FLOAT_EQ(first->getAlpha(), 0.75f);
    EXPECT_TRUE(first->getVisible());
    // Without "_TAlpha" an image is transparent, without "_Show" hidden.
    const MyGUI::ImageBox* bare = player->images[4].widget;
    EXPECT_FLOAT_EQ(bare->getAlpha(), 0.0f);
    EXPECT_FALSE(bare->getVisible());
}

TEST(NovelCutScene, ImagesAreTintedOpaqueAndBlackWithoutAColour)
{
    CutsceneEngine engine;
    auto player = startNovel(engine,
                             "num_Pages = 1\nNum_Images = 2\n"
                             "Image_1_File = vt_white.png\nImage_1_Size = \"100 100\"\nImage_1_TAlpha = 1\n"
                             "Image_1_Colour = \"1 0.5 0.25 0.1\"\nImage_1_Show = true\n"
                             "Image_2_File = vt_white.png\nImage_2_Size = \"100 100\"\nImage_2_Offset = \"200 0\"\n"
                             "Image_2_TAlpha = 1\nImage_2_Show = true\n");
    engine.render();
    const testsupport::Screenshot shot = engine.screenshot();
    EXPECT_TRUE(shot.at(50, 50).near(Rgb{255, 128, 64}, 2)) << shot.at(50, 50);
    EXPECT_TRUE(shot.at(250, 50).near(Rgb{0, 0, 0}, 2)) << shot.at(250, 50);
    EXPECT_EQ(player->images[1].colour, Ogre::ColourValue::Black);
}

TEST(NovelCutScene, PagesHideThenShowTheirImages)
{
    CutsceneEngine engine;
    auto player = startNovel(engine,
                             "num_Pages = 2\nNum_Images = 2\nImage_1_Show = true\n"
                             "Page_1_NumHideImg = 1\nPage_1_HideImg_1 = 2\n"
                             "Page_1_NumShowImg = 4\nPage_1_ShowImg_1 = 2\nPage_1_ShowImg_2 = 0\n"
                             "Page_1_ShowImg_3 = 3\nPage_1_ShowImg_4 = 99\n"
                             "Page_2_NumHideImg = 3\nPage_2_HideImg_1 = 1\nPage_2_HideImg_2 = 3\nPage_2_HideImg_3 = 4294967295\n");
    EXPECT_TRUE(player->images[0].widget->getVisible());
    EXPECT_TRUE(player->images[1].widget->getVisible());  // hidden, then shown again
    player->images[0].timer = 2.0f;
    pressReturn(engine, *player);
    ASSERT_EQ(player->currentPage, 1u);
    EXPECT_FALSE(player->images[0].widget->getVisible());
    EXPECT_EQ(player->images[0].timer, 0.0f);
    EXPECT_TRUE(player->images[1].widget->getVisible());
}

TEST(NovelCutScene, PlayOnAPausedPlayerRebuildsTheCurrentPage)
{
    CutsceneEngine engine;
    auto player = startNovel(engine, pages(3));
    ASSERT_NE(paragraph(engine, "NovelCUTS_p0p0"), nullptr);
    player->pause();
    EXPECT_EQ(player->state, CUTSCENE_PAUSED);
    // Paused: no page turns.
    pressReturn(engine, *player);
    EXPECT_EQ(player->currentPage, 0u);
    player->currentPage = 2;
    player->play();
    EXPECT_EQ(player->state, CUTSCENE_PLAYING);
    EXPECT_EQ(paragraph(engine, "NovelCUTS_p0p0"), nullptr);
    ASSERT_NE(paragraph(engine, "NovelCUTS_p2p0"), nullptr);
    EXPECT_EQ(paragraph(engine, "NovelCUTS_p2p0")->getCaption().asUTF8(), "Page 3");
    // restart goes back to the first page.
    player->restart();
    EXPECT_EQ(player->currentPage, 0u);
    EXPECT_NE(paragraph(engine, "NovelCUTS_p0p0"), nullptr);
}

TEST(NovelCutScene, PagesTurnOnTheirTimerOrOnAPressAndTheLastOneFinishes)
{
    CutsceneEngine engine;
    // Page 1 timed; page 2 timed but needs a press; page 3 without a timer.
    auto player = startNovel(engine, pages(3, {"1", "1", "0"}) + "Page_2_NeedPress = true\n");
    // A Return held from before the scene is not a press.
    engine.keyboard.press(OIS::KC_RETURN);
    for (int i = 0; i < 9; ++i) {
        engine.capture();
        player->update(0.1f, &engine.keyboard, nullptr, nullptr);
    }
    EXPECT_EQ(player->currentPage, 0u);
    engine.capture();
    player->update(0.1001f, &engine.keyboard, nullptr, nullptr);
    EXPECT_EQ(player->currentPage, 1u);
    EXPECT_EQ(player->pageTimer, 0.0f);
    for (int i = 0; i < 30; ++i) {
        engine.capture();
        player->update(0.1f, &engine.keyboard, nullptr, nullptr);
    }
    EXPECT_EQ(player->currentPage, 1u);
    pressReturn(engine, *player);
    EXPECT_EQ(player->currentPage, 2u);
    for (int i = 0; i < 30; ++i)
        player->update(0.1f, &engine.keyboard, nullptr, nullptr);
    EXPECT_EQ(player->state, CUTSCENE_PLAYING);
    // The left button turns the last page: the player is finished.
    engine.mouse.press(OIS::MB_Left);
    engine.capture();
    player->update(0.016f, &engine.keyboard, nullptr, &engine.mouse);
    EXPECT_EQ(player->state, CUTSCENE_FINISHED);
}

TEST(NovelCutScene, ANovelWithoutPagesFinishesOnItsFirstUpdate)
{
    CutsceneEngine engine;
    auto player = startNovel(engine, "Num_Images = 1\nImage_1_Show = true\n");
    EXPECT_EQ(player->state, CUTSCENE_PLAYING);
    player->update(0.016f, nullptr, nullptr, nullptr);
    EXPECT_EQ(player->state, CUTSCENE_FINISHED);
}

TEST(NovelCutScene, KeyFramesAnimateShownImages)
{
    CutsceneEngine engine;
    auto player = startNovel(engine,
                             "num_Pages = 1\nNum_Images = 2\n"
                             "Image_1_Show = true\nImage_1_TAlign = 5\nImage_1_Size = \"100 100\"\n"
                             "Image_1_TAlpha_NumKeyFs = 2\nImage_1_TAlpha_KeyF_1_V = 0\nImage_1_TAlpha_KeyF_1_T = 0\n"
                             "Image_1_TAlpha_KeyF_2_V = 1\nImage_1_TAlpha_KeyF_2_T = 2\n"
                             "Image_1_Colour_NumKeyFs = 2\nImage_1_Colour_KeyF_1_V = \"1 0 0\"\nImage_1_Colour_KeyF_1_T = 0\n"
                             "Image_1_Colour_KeyF_2_V = \"0 0 1\"\nImage_1_Colour_KeyF_2_T = 2\n"
                             "Image_1_Size_NumKeyFs = 2\nImage_1_Size_KeyF_1_V = \"100 100\"\nImage_1_Size_KeyF_1_T = 0\n"
                             "Image_1_Size_KeyF_2_V = \"200 300\"\nImage_1_Size_KeyF_2_T = 2\n"
                             "Image_1_Offset_NumKeyFs = 1\nImage_1_Offset_KeyF_1_V = \"10 20\"\nImage_1_Offset_KeyF_1_T = 0\n"
                             // a hidden image does not run
                             "Image_2_TAlpha_NumKeyFs = 1\nImage_2_TAlpha_KeyF_1_V = 1\nImage_2_TAlpha_KeyF_1_T = 0\n");
    player->update(1.0f, nullptr, nullptr, nullptr);
    const MyGUI::ImageBox* image = player->images[0].widget;
    EXPECT_FLOAT_EQ(player->images[0].timer, 1.0f);
    EXPECT_NEAR(image->getAlpha(), 0.5f, 1e-5f);
    EXPECT_EQ(player->images[0].colour, Ogre::ColourValue(0.5f, 0.0f, 0.5f, 1.0f));
    // 150 x 200, centred in 800 x 600, then the offset.
    EXPECT_EQ(image->getCoord(), MyGUI::IntCoord(335, 220, 150, 200));
    player->update(5.0f, nullptr, nullptr, nullptr);
    EXPECT_FLOAT_EQ(image->getAlpha(), 1.0f);
    EXPECT_EQ(image->getCoord(), MyGUI::IntCoord(310, 170, 200, 300));
    EXPECT_EQ(player->images[1].timer, 0.0f);
    EXPECT_FLOAT_EQ(player->images[1].widget->getAlpha(), 0.0f);
}

TEST(NovelCutScene, CountsOverTheirCapsFinishThePlayer)
{
    CutsceneEngine engine;
    const std::string cases[] = {
        "num_Pages = 257\n",
        "num_Pages = 4000000000\n",
        "num_Pages = -1\n",
        "num_Pages = 1\nPage_1_NumParagafs = 65\n",
        "num_Pages = 1\nPage_1_NumShowImg = 65\n",
        "num_Pages = 1\nPage_1_NumHideImg = 4000000000\n",
        "num_Pages = 1\nNum_Images = 65\n",
        "num_Pages = 1\nNum_Images = 1\nImage_1_TAlpha_NumKeyFs = 257\n",
        "num_Pages = 1\nNum_Images = 1\nImage_1_Colour_NumKeyFs = 257\n",
        "num_Pages = 1\nNum_Images = 1\nImage_1_Size_NumKeyFs = 257\n",
        "num_Pages = 1\nNum_Images = 1\nImage_1_Offset_NumKeyFs = 257\n",
    };
    for (const std::string& keys : cases) {
        auto player = startNovel(engine, keys);
        EXPECT_TRUE(player->hasFailed()) << keys;
        player->update(0.016f, nullptr, nullptr, nullptr);
        EXPECT_EQ(player->state, CUTSCENE_FINISHED) << keys;
    }
    EXPECT_TRUE(engine.logged("num_Pages 257 is over 256"));
    // At the caps it plays.
    auto player = startNovel(engine, "num_Pages = 256\nPage_1_NumParagafs = 64\nNum_Images = 64\n"
                                     "Image_1_Size_NumKeyFs = 256\n");
    EXPECT_FALSE(player->hasFailed());
    player->update(0.016f, nullptr, nullptr, nullptr);
    EXPECT_EQ(player->state, CUTSCENE_PLAYING);
}

TEST(NovelCutScene, DrawsThePageOverItsPicture)
{
    CutsceneEngine engine;
    auto player = startNovel(engine,
                             kCounter + "ShowPageCout_TColour = \"1 0.85 0.3\"\nShowPageCout_TFont = ArialBold.20\n"
                             "num_Pages = 1\nPage_1_BGimg = vt_novel_control.png\nPage_1_NumParagafs = 1\n"
                             "Page_1_Paragaf_1_text = \"The core is running hot. Every crew to the lower ring.\"\n"
                             "Page_1_Paragaf_1_TColour = \"1 1 1\"\nPage_1_Paragaf_1_TFont = ArialBold.24\n"
                             "Page_1_Paragaf_1_Offset = \"0 420\"\n"
                             "Num_Images = 1\nImage_1_File = vt_novel_reactor.png\nImage_1_Size = \"128 128\"\n"
                             "Image_1_TAlign = 6\nImage_1_Offset = \"-40 0\"\nImage_1_TAlpha = 1\n"
                             "Image_1_Colour = \"1 1 1\"\nImage_1_Show = true\n");
    engine.render();
    const testsupport::Screenshot shot = engine.screenshot();
    CutsceneEngine::keep(shot, "novel_page");
    // A lit panel of the picture, stretched over the view (panel centre (57, 50) of 320 x 180).
    EXPECT_TRUE(shot.at(142, 166).near(Rgb{200, 140, 40}, 10)) << shot.at(142, 166);
    // The paragraph's white letters along the bottom, the counter's amber ones top right.
    EXPECT_GT(shot.countNear(Rgb{255, 255, 255}, 30, 450, 740, 40, 20), 150);
    EXPECT_GT(shot.countNear(Rgb{255, 217, 77}, 600, 15, 200, 40, 20), 40);
    // The picture's bright core at the right edge, middle height.
    EXPECT_TRUE(shot.at(800 - 128 - 40 + 64, 300).near(Rgb{255, 255, 200}, 12)) << shot.at(696, 300);
}

TEST(NovelCutScene, TheFieldReportOfTheMeltdownTurnsItsThreePages)
{
    CutsceneEngine engine;
    NovelCutScene player(nullptr, nullptr, nullptr, engine.gui(), nullptr, "", false, 2, nullptr);
    player.setSequenceName("Cs_Meltdown_Out");
    player.loadFile();
    player.play();
    ASSERT_FALSE(player.hasFailed());
    ASSERT_EQ(player.pageCount, 3u);
    ASSERT_EQ(player.imageCount, 2u);
    EXPECT_TRUE(player.pageCounter->getVisible());
    auto frame = [&](float dt) {
        engine.capture();
        player.update(dt, &engine.keyboard, nullptr, &engine.mouse);
    };
    // The first page turns by itself after its seven seconds.
    for (int i = 0; i < 60; ++i)
        frame(0.1f);
    EXPECT_EQ(player.currentPage, 0u);
    EXPECT_TRUE(player.images[0].widget->getVisible());
    EXPECT_FLOAT_EQ(player.images[0].widget->getAlpha(), 1.0f);
    engine.render();
    CutsceneEngine::keep(engine.screenshot(), "story_report_page1");
    for (int i = 0; i < 11; ++i)
        frame(0.1f);
    EXPECT_EQ(player.currentPage, 1u);
    EXPECT_EQ(player.pageCounter->getCaption().asUTF8(), "Page 2/3");
    EXPECT_FALSE(player.images[0].widget->getVisible());
    // The others wait for a press.
    for (int i = 0; i < 100; ++i)
        frame(0.1f);
    EXPECT_EQ(player.currentPage, 1u);
    pressReturn(engine, player);
    EXPECT_EQ(player.currentPage, 2u);
    EXPECT_TRUE(player.images[1].widget->getVisible());
    for (int i = 0; i < 10; ++i)
        frame(0.1f);
    engine.render();
    CutsceneEngine::keep(engine.screenshot(), "story_report_page3");
    EXPECT_EQ(player.images[1].widget->getSize(), MyGUI::IntSize(120, 120));
    pressReturn(engine, player);
    EXPECT_EQ(player.state, CUTSCENE_FINISHED);
}
