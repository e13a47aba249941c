#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "platform/TextConversion.h"
#include "screens/GS_Options.h"
#include "gui/MessageWindow.h"
#include "screens/Priget_OptionsMenu.h"
#include "screens/Priget_OptionsDisplay.h"
#include "screens/ScreensTestSupport.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using screenstest::ScopedRenderOptions;
using screenstest::switchTo;
using testsupport::GameHarness;
using testsupport::HarnessOptions;

namespace {

std::vector<std::string> itemsOf(MyGUI::ComboBox* combo)
{
    std::vector<std::string> items;
    for (size_t i = 0; i < combo->getItemCount(); ++i)
        items.push_back(combo->getItemNameAt(i).asUTF8());
    return items;
}

std::string configText(const GameHarness& game)
{
    return testsupport::readTextFile(game.workDir() + "/config.ini");
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(OptionsDisplay, VideoModeValuesParse)
{
    struct Case {
        const char* value;
        uint32_t width, height, depth;
    };
    const Case cases[] = {
        {"1024 x 768 @ 16-bit colour", 1024, 768, 16},
        {"800 x 600 @ 32-bit colour", 800, 600, 32},
        {"800 x 600", 800, 600, 32},  // the GL render system's form
        {"1920 x 1080", 1920, 1080, 32},
        {"", 0, 0, 32},
        {"1024", 1024, 0, 32},
        {"x @", 0, 0, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(Priget_OptionsDisplay::parseVideoMode(c.value), c.width);
        EXPECT_EQ(Priget_OptionsDisplay::parseVideoModeHeight(c.value), c.height);
        EXPECT_EQ(Priget_OptionsDisplay::parseVideoModeDepth(c.value), c.depth);
    }
    const std::pair<int, uint32_t> fsaa[] = {{2, 1}, {4, 2}, {6, 2}, {8, 3}, {16, 4}, {1, 0}};
    for (const auto& [value, index] : fsaa)
        EXPECT_EQ(Priget_OptionsDisplay::antialiasingIndexFor(value), index) << value;
}

TEST(OptionsDisplay, ListsTheRenderSystemsModesAndAntialiasingAndAppliesThem)
{
    GameHarness game;
    ScopedRenderOptions modes(game.root(), "Video Mode",
                              std::vector<std::string>{"640 x 480 @ 32-bit colour", "1024 x 768 @ 16-bit colour",
                                                       "800 x 600", "1280 x 599 @ 32-bit colour",
                                                       "799 x 900 @ 32-bit colour"});
    ScopedRenderOptions levels(game.root(), "Anti aliasing",
                               std::vector<std::string>{"None", "NonMaskable 1", "Level 2", "Level 4"});
    game.settings()->width = 800;
    game.settings()->height = 600;
    game.settings()->renderOptions["colourDepth"] = "32";
    game.settings()->renderOptions["FSAA"] = "2";
    switchTo(game, GAMESTATE_OPTIONS);
    auto* options = game.stateAs<GS_Options>();
    ASSERT_NE(options, nullptr);
    Priget_OptionsDisplay* page = options->displayPage;

    EXPECT_EQ(itemsOf(page->resolutionCombo),
              (std::vector<std::string>{"1024 x 768 - 16bits", "800 x 600 - 32bits"}));
    EXPECT_EQ(page->resolutionCombo->getIndexSelected(), 1u) << "the settings' mode";
    EXPECT_EQ(itemsOf(page->antialiasingCombo), (std::vector<std::string>{"None", "Level 2", "Level 4"}));
    EXPECT_EQ(page->antialiasingCombo->getIndexSelected(), 1u);

    page->resolutionCombo->setIndexSelected(0);
    page->antialiasingCombo->setIndexSelected(2);
    page->onApplyClick(page->applyButton);
    EXPECT_EQ(game.settings()->width, 1024u);
    EXPECT_EQ(game.settings()->height, 768u);
    EXPECT_EQ(game.settings()->renderOptions["colourDepth"], "16");
    EXPECT_EQ(game.settings()->renderOptions["FSAA"], "4");
    const std::string config = configText(game);
    EXPECT_TRUE(contains(config, "FSAA = 4")) << config;
    EXPECT_TRUE(contains(config, "width = 1024")) << config;
    EXPECT_TRUE(contains(config, "colourDepth = 16")) << config;
}

TEST(OptionsDisplay, GlRenderSystemNamesItsAntialiasingFsaa)
{
    GameHarness game;
    ScopedRenderOptions noLevels(game.root(), "Anti aliasing", std::nullopt);
    ScopedRenderOptions fsaa(game.root(), "FSAA", std::vector<std::string>{"0", "2", "4", "8"});
    game.settings()->renderOptions["FSAA"] = "8";
    switchTo(game, GAMESTATE_OPTIONS);
    Priget_OptionsDisplay* page = game.stateAs<GS_Options>()->displayPage;
    EXPECT_EQ(itemsOf(page->antialiasingCombo), (std::vector<std::string>{"0", "2", "4", "8"}));
    EXPECT_EQ(page->antialiasingCombo->getIndexSelected(), 3u);
    // The real render system's modes: at least 800 x 600 each, in 32 bits.
    ASSERT_GT(page->videoModeCount(), 0u);
    for (const VideoModeEntry& mode : page->videoModes()) {
        EXPECT_GE(mode.width, 800u);
        EXPECT_GE(mode.height, 600u);
        EXPECT_EQ(mode.depth, 32u);
    }
}

TEST(OptionsDisplay, PresetsDrivePerItemQualitiesAndApplyWritesEverything)
{
    HarnessOptions options;
    options.adjustSettings = [](GameSettings& s) {
        s.GraficQuality = 1;
        s.ModelQuality = 4;
        s.TextureQuality = 1;
        s.WorldQuality = 1;
        s.EffectsQuality = 0;
        s.fullscreen = false;
        s.renderOptions["vsync"] = "true";
    };
    GameHarness game(options);
    // The settings' mode is listed, so Apply writes at once.
    ScopedRenderOptions modes(game.root(), "Video Mode", std::vector<std::string>{"800 x 600"});
    switchTo(game, GAMESTATE_OPTIONS);
    Priget_OptionsDisplay* page = game.stateAs<GS_Options>()->displayPage;
    EXPECT_EQ(page->overallCombo->getIndexSelected(), 1u);
    // The two boxes the player cannot change show the stored levels, which Apply keeps.
    EXPECT_EQ(page->modelCombo->getIndexSelected(), 4u);
    EXPECT_EQ(page->effectsCombo->getIndexSelected(), 0u);
    EXPECT_TRUE(page->vsyncCheck->getStateSelected());
    EXPECT_FALSE(page->fullScreenCheck->getStateSelected());
    EXPECT_FALSE(page->modelCombo->getEnabled());
    EXPECT_FALSE(page->effectsCombo->getEnabled());

    // "Low" as the overall level: texture and world follow, model and effects stay.
    page->overallCombo->setIndexSelected(3);
    page->onPresetChange(page->overallCombo, 3);
    EXPECT_EQ(page->textureCombo->getIndexSelected(), 3u);
    EXPECT_EQ(page->worldCombo->getIndexSelected(), 3u);
    EXPECT_EQ(page->modelCombo->getIndexSelected(), 4u);
    EXPECT_EQ(page->effectsCombo->getIndexSelected(), 0u);
    // The same level as the overall one changes nothing; another one makes it "Custom".
    page->onQualityChange(page->worldCombo, 3);
    EXPECT_EQ(page->overallCombo->getIndexSelected(), 3u);
    page->textureCombo->setIndexSelected(1);
    page->onQualityChange(page->textureCombo, 1);
    EXPECT_EQ(page->overallCombo->getIndexSelected(), 5u);
    // "Custom" touches nothing else.
    page->onPresetChange(page->overallCombo, 5);
    EXPECT_EQ(page->textureCombo->getIndexSelected(), 1u);
    EXPECT_EQ(page->worldCombo->getIndexSelected(), 3u);

    page->onVsyncClick(page->vsyncCheck);
    page->onFullScreenClick(page->fullScreenCheck);
    std::remove((game.workDir() + "/config.ini").c_str());
    page->onApplyClick(page->applyButton);
    GameSettings* s = game.settings();
    EXPECT_EQ(s->GraficQuality, 5);
    EXPECT_EQ(s->ModelQuality, 4);
    EXPECT_EQ(s->TextureQuality, 1);
    EXPECT_EQ(s->WorldQuality, 3);
    EXPECT_EQ(s->EffectsQuality, 0);
    EXPECT_TRUE(s->fullscreen);
    EXPECT_EQ(s->renderOptions["vsync"], "false");
    const std::string config = configText(game);
    for (const char* line : {"GraficQuality = 5", "ModelQuality = 4", "WorldQuality = 3", "EffectsQuality = 0",
                             "fullscreen = true", "vsync = false"})
        EXPECT_TRUE(contains(config, line)) << line << "\n" << config;

    // The notice and the blocker; the message's Ok, clicked for real, hides the blocker.
    MessageWindow* message = page->message();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text()->getCaption().asUTF8(), "Changes applied after reboot");
    EXPECT_TRUE(page->modalBlocker->getVisible());
    game.runFrames(30);
    EXPECT_TRUE(message->window()->getVisible());
    const testsupport::Screenshot shot = game.screenshot();
    shot.savePng(testsupport::gameTreeDir() + "/../apply_notice.png");
    game.clickWidget(message->okButton());
    EXPECT_FALSE(page->modalBlocker->getVisible());
    EXPECT_FALSE(message->window()->getVisible());

    // Apply with nothing changed still writes the file.
    std::remove((game.workDir() + "/config.ini").c_str());
    page->onApplyClick(page->applyButton);
    EXPECT_TRUE(contains(configText(game), "GraficQuality = 5"));
}

TEST(OptionsDisplay, TextsComeFromTheProfilesLanguage)
{
    GameHarness game;
    game.session()->recreateProfile();
    game.settings()->Language = 1;
    ScopedRenderOptions modes(game.root(), "Video Mode", std::vector<std::string>{"800 x 600"});
    switchTo(game, GAMESTATE_OPTIONS);
    Priget_OptionsDisplay* page = game.stateAs<GS_Options>()->displayPage;
    EXPECT_EQ(itemsOf(page->languageCombo), (std::vector<std::string>{"English", "Español"}));
    EXPECT_EQ(page->languageCombo->getIndexSelected(), 1u);
    EXPECT_EQ(page->resolutionText->getCaption().asUTF8(), "[Resolución]");
    EXPECT_EQ(page->advancedCheck->getCaption().asUTF8(), "Avanzado");
    EXPECT_EQ(page->applyNotice(), "Los cambios se aplicar\xE1n al reiniciar");
    EXPECT_EQ(itemsOf(page->textureCombo)[4], "Muy baja");
    EXPECT_EQ(itemsOf(page->overallCombo),
              (std::vector<std::string>{"Muy alta", "Alta", "Media", "Baja", "Muy baja", "Personalizada"}));
    const PlayerProfile& profile = *game.session()->profile;
    EXPECT_EQ(game.stateAs<GS_Options>()->optionsMenu->backButton->getCaption(),
              toUTFString(profile.getText(1, UiTextId::OptBack)));
    page->onApplyClick(page->applyButton);
    EXPECT_EQ(page->message()->text()->getCaption().asUTF8(), "Los cambios se aplicarán al reiniciar");
    page->message()->answer(MessageWindow::Ok);
    EXPECT_FALSE(page->modalBlocker->getVisible());
}

TEST(OptionsDisplay, AdvancedPartFollowsItsCheckBox)
{
    GameHarness game;
    switchTo(game, GAMESTATE_OPTIONS);
    Priget_OptionsDisplay* page = game.stateAs<GS_Options>()->displayPage;
    EXPECT_FALSE(page->advancedPanel->getVisible());
    game.clickWidget(page->advancedCheck);
    EXPECT_TRUE(page->advancedPanel->getVisible());
    EXPECT_TRUE(page->advancedCheck->getStateSelected());
    page->show(false);
    EXPECT_FALSE(page->mainPanel->getVisible());
    EXPECT_FALSE(page->advancedPanel->getVisible());
    page->show(true);
    EXPECT_TRUE(page->advancedPanel->getVisible());
    page->onAdvancedClick(page->advancedCheck);
    EXPECT_FALSE(page->advancedCheck->getStateSelected());
    page->show(false);
    page->show(true);
    EXPECT_TRUE(page->mainPanel->getVisible());
    EXPECT_FALSE(page->advancedPanel->getVisible());
}

// Hand-edited settings open the page with each value held within its list.
TEST(OptionsDisplay, OutOfRangeSettingsOpenWithClampedSelections)
{
    struct Case {
        const char* what;
        int32_t grafic, texture, world;
        uint32_t language;
        const char* fsaa;
        size_t overallIndex, textureIndex, worldIndex, languageIndex, antialiasingIndex;
    };
    const Case cases[] = {
        {"too high", 9, 7, 5, 7, "64", 5, 4, 4, 0, 3},
        {"negative", -1, -3, -100, 2, "-4", 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HarnessOptions options;
        options.prepareTree = [&](const std::string& dir) {
            testsupport::writeTextFile(dir + "/config.ini",
                                       "[renderer]\nwidth = 800\nheight = 600\nFSAA = " + std::string(c.fsaa) +
                                           "\n[Display]\nGraficQuality = " + std::to_string(c.grafic) +
                                           "\nTextureQuality = " + std::to_string(c.texture) +
                                           "\nWorldQuality = " + std::to_string(c.world) +
                                           "\nLanguage = " + std::to_string(c.language) +
                                           "\n[Sound]\nMusicVolume = 150\nSFXVolume = -5\n");
        };
        GameHarness game(options);
        game.session()->recreateProfile();
        ScopedRenderOptions levels(game.root(), "Anti aliasing",
                                   std::vector<std::string>{"None", "Level 2", "Level 4", "Level 8"});
        ASSERT_NO_THROW(switchTo(game, GAMESTATE_OPTIONS));
        auto* options_ = game.stateAs<GS_Options>();
        ASSERT_NE(options_, nullptr);
        Priget_OptionsDisplay* page = options_->displayPage;
        EXPECT_EQ(page->overallCombo->getIndexSelected(), c.overallIndex);
        EXPECT_EQ(page->textureCombo->getIndexSelected(), c.textureIndex);
        EXPECT_EQ(page->worldCombo->getIndexSelected(), c.worldIndex);
        EXPECT_EQ(page->languageCombo->getIndexSelected(), c.languageIndex);
        EXPECT_EQ(page->antialiasingCombo->getIndexSelected(), c.antialiasingIndex);
        ASSERT_NO_THROW(game.runFrames(3));
    }
}

// A render system without modes or anti-aliasing levels: Apply keeps what the settings hold.
TEST(OptionsDisplay, ApplyWithEmptyListsKeepsTheSettings)
{
    GameHarness game;
    ScopedRenderOptions noModes(game.root(), "Video Mode", std::vector<std::string>{});
    ScopedRenderOptions noLevels(game.root(), "Anti aliasing", std::nullopt);
    ScopedRenderOptions noFsaa(game.root(), "FSAA", std::nullopt);
    GameSettings* s = game.settings();
    s->width = 1280;
    s->height = 720;
    s->renderOptions["colourDepth"] = "32";
    s->renderOptions["FSAA"] = "2";
    s->Language = 0;
    switchTo(game, GAMESTATE_OPTIONS);
    Priget_OptionsDisplay* page = game.stateAs<GS_Options>()->displayPage;
    EXPECT_EQ(page->resolutionCombo->getItemCount(), 0u);
    EXPECT_EQ(page->antialiasingCombo->getItemCount(), 0u);
    page->languageCombo->setIndexSelected(MyGUI::ITEM_NONE);
    page->onApplyClick(page->applyButton);
    EXPECT_EQ(s->width, 1280u);
    EXPECT_EQ(s->height, 720u);
    EXPECT_EQ(s->renderOptions["colourDepth"], "32");
    EXPECT_EQ(s->renderOptions["FSAA"], "2");
    EXPECT_EQ(s->Language, 0u);
    EXPECT_TRUE(contains(configText(game), "width = 1280"));
}

// A screen mode the player never chose (the settings' one is not listed) is named before Apply
// writes it: the first Apply only tells, the second writes. A mode the player picks, or the
// settings' own, is written at once.
TEST(OptionsDisplay, AModeThePlayerDidNotChooseIsNamedBeforeApplyWritesIt)
{
    struct Case {
        const char* what;
        std::vector<std::string> modes;
        int picked;  // the resolution the player picks, or -1
        uint32_t language;
        const char* notice;  // "" when Apply writes at once
        uint32_t writtenWidth, writtenDepth;
    };
    const Case cases[] = {
        {"the settings' mode is listed", {"1024 x 768", "800 x 600"}, -1, 0, "", 800, 32},
        {"the only mode differs",
         {"1024 x 768"},
         -1,
         0,
         "The screen mode 800 x 600 - 32bits is not offered. Apply again to use 1024 x 768 - 32bits.",
         1024,
         32},
        {"only the depth differs",
         {"800 x 600 @ 16-bit colour"},
         -1,
         1,
         "El modo de pantalla 800 x 600 - 32bits no est\xC3\xA1 disponible. Pulsa Aplicar otra vez para usar "
         "800 x 600 - 16bits.",
         800,
         16},
        {"the player picks a mode", {"1024 x 768", "1280 x 1024"}, 1, 0, "", 1280, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameHarness game;
        game.session()->recreateProfile();
        ScopedRenderOptions modes(game.root(), "Video Mode", c.modes);
        GameSettings* s = game.settings();
        s->width = 800;
        s->height = 600;
        s->renderOptions["colourDepth"] = "32";
        s->Language = c.language;
        switchTo(game, GAMESTATE_OPTIONS);
        Priget_OptionsDisplay* page = game.stateAs<GS_Options>()->displayPage;
        if (c.picked >= 0) {
            page->resolutionCombo->setIndexSelected(c.picked);
            page->resolutionCombo->eventComboChangePosition(page->resolutionCombo, c.picked);
        }
        const std::string config = game.workDir() + "/config.ini";
        std::remove(config.c_str());

        game.clickWidget(page->applyButton);
        ASSERT_NE(page->message(), nullptr);
        if (*c.notice) {
            EXPECT_EQ(page->message()->text()->getCaption().asUTF8(), c.notice);
            EXPECT_FALSE(std::filesystem::exists(config)) << "nothing written before the player knows";
            EXPECT_EQ(s->width, 800u);
            EXPECT_EQ(s->renderOptions["colourDepth"], "32");
            game.runFrames(20);
            game.clickWidget(page->message()->okButton());
            EXPECT_FALSE(page->modalBlocker->getVisible());
            game.clickWidget(page->applyButton);
        }
        EXPECT_EQ(page->message()->text()->getCaption().asUTF8(), toUTFString(page->applyNotice()).asUTF8());
        EXPECT_EQ(s->width, c.writtenWidth);
        EXPECT_EQ(s->renderOptions["colourDepth"], std::to_string(c.writtenDepth));
        EXPECT_TRUE(contains(configText(game), "width = " + std::to_string(c.writtenWidth)));
        game.runFrames(20);
        game.clickWidget(page->message()->okButton());
        // Once written, the mode is the settings' own: Apply writes at once again.
        std::remove(config.c_str());
        game.clickWidget(page->applyButton);
        EXPECT_TRUE(std::filesystem::exists(config));
        EXPECT_EQ(page->message()->text()->getCaption().asUTF8(), toUTFString(page->applyNotice()).asUTF8());
    }
}
