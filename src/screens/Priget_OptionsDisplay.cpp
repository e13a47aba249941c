#include "screens/Priget_OptionsDisplay.h"

#include "core/ConfigManager.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "platform/TextConversion.h"
#include "gui/MessageWindow.h"

#include <MyGUI.h>
#include <Ogre.h>

#include <algorithm>

namespace {

const char* const kModeChangeNotice = "The screen mode %1 is not offered. Apply again to use %2.";
const MyGUI::Colour kOrange(1.0f, 0.5f, 0.0f, 1.0f);
const char* const kQualityNames[Priget_OptionsDisplay::kQualityLevels] = {"Very High", "High", "Medium", "Low",
                                                                           "Very Low"};

std::string piece(const Ogre::StringVector& pieces, size_t index)
{
    return index < pieces.size() ? pieces[index] : std::string();
}

// Settings read from a hand-edited file may lie outside a list; the GUI throws on such an index.
void selectClamped(MyGUI::ComboBox* combo, long long index)
{
    const size_t count = combo->getItemCount();
    if (count == 0)
        return;
    const long long last = static_cast<long long>(count) - 1;
    combo->setIndexSelected(static_cast<size_t>(std::clamp(index, 0LL, last)));
}

MyGUI::TextBox* makeText(MyGUI::Widget* parent, int left, int top, int width, const std::string& name,
                         const std::string& caption)
{
    auto* text = parent->createWidget<MyGUI::TextBox>("TextBox", left, top, width, 24, MyGUI::Align::Default, name);
    text->setTextAlign(MyGUI::Align::Center);
    text->setTextColour(MyGUI::Colour::White);
    text->setInheritsAlpha(false);
    text->setCaption(caption);
    return text;
}

MyGUI::ComboBox* makeCombo(MyGUI::Widget* parent, int left, int top, int width, const std::string& name)
{
    auto* combo = parent->createWidget<MyGUI::ComboBox>("ComboBox", left, top, width, 24, MyGUI::Align::Default, name);
    combo->setComboModeDrop(true);
    combo->setInheritsAlpha(false);
    return combo;
}

MyGUI::Button* makeButton(MyGUI::Widget* parent, const std::string& skin, int left, int top, int width,
                          const std::string& name, const std::string& caption)
{
    auto* button = parent->createWidget<MyGUI::Button>(skin, left, top, width, 24, MyGUI::Align::Default, name);
    button->setTextAlign(MyGUI::Align::Center);
    button->setTextColour(MyGUI::Colour::White);
    button->setInheritsAlpha(false);
    button->setCaption(caption);
    return button;
}

void fillQualityLevels(MyGUI::ComboBox* combo)
{
    for (const char* name : kQualityNames)
        combo->addItem(name);
}

uint32_t currentDepth(const GameSettings& settings)
{
    const auto it = settings.renderOptions.find("colourDepth");
    return it == settings.renderOptions.end() ? 0 : Ogre::StringConverter::parseUnsignedInt(it->second);
}

}  // namespace

Priget_OptionsDisplay::Priget_OptionsDisplay(MyGUI::Gui* gui_, GameSession* session_, Ogre::Root* root_,
                                             ConfigManager* config_, GameSettings* settings_, const std::string&,
                                             bool createNow, bool visible_)
    : Priget(gui_), session(session_), settings(settings_), root(root_), config(config_)
{
    applyNotice_ = "Changes applied after reboot";
    modeChangeNotice_ = kModeChangeNotice;
    readVideoModes();
    visible = 0;
    created = 0;
    if (createNow)
        create(visible_);
    readAntialiasingOptions();
    loadCurrentValues();
}

Priget_OptionsDisplay::~Priget_OptionsDisplay()
{
    message_.reset();
    destroyParts();
    if (modalBlocker)
        gui->destroyWidget(modalBlocker);
    modalBlocker = nullptr;
}

void Priget_OptionsDisplay::destroyParts()
{
    if (mainPanel)
        gui->destroyWidget(mainPanel);
    if (advancedPanel)
        gui->destroyWidget(advancedPanel);
    mainPanel = advancedPanel = nullptr;
    titleText = languageText = resolutionText = overallText = nullptr;
    advancedTitleText = antialiasingText = modelText = textureText = worldText = effectsText = nullptr;
    applyButton = advancedCheck = fullScreenCheck = vsyncCheck = nullptr;
    languageCombo = resolutionCombo = modelCombo = textureCombo = worldCombo = effectsCombo = overallCombo =
        antialiasingCombo = nullptr;
}

void Priget_OptionsDisplay::destroy()
{
    if (!created)
        return;
    destroyParts();
    Priget::destroy();
}

Ogre::ConfigOptionMap Priget_OptionsDisplay::renderSystemOptions() const
{
    Ogre::RenderSystem* system = root ? root->getRenderSystem() : nullptr;
    return system ? system->getConfigOptions() : Ogre::ConfigOptionMap();
}

uint32_t Priget_OptionsDisplay::parseVideoMode(const std::string& value)
{
    return Ogre::StringConverter::parseUnsignedInt(piece(Ogre::StringUtil::split(value, "x"), 0));
}

uint32_t Priget_OptionsDisplay::parseVideoModeHeight(const std::string& value)
{
    const std::string rest = piece(Ogre::StringUtil::split(value, "x"), 1);
    return Ogre::StringConverter::parseUnsignedInt(piece(Ogre::StringUtil::split(rest, "@"), 0));
}

uint32_t Priget_OptionsDisplay::parseVideoModeDepth(const std::string& value)
{
    const std::string rest = piece(Ogre::StringUtil::split(value, "x"), 1);
    const Ogre::StringVector parts = Ogre::StringUtil::split(rest, "@");
    // The GL render system names its modes without a colour depth: they are 32-bit modes.
    if (parts.size() < 2)
        return 32;
    return Ogre::StringConverter::parseUnsignedInt(piece(Ogre::StringUtil::split(parts[1], "-bit"), 0));
}

bool Priget_OptionsDisplay::isNonMaskable(const std::string& value)
{
    return Ogre::StringUtil::startsWith(value, "NonMaskable", false);
}

std::vector<VideoModeEntry> Priget_OptionsDisplay::videoModesFrom(const Ogre::ConfigOptionMap& options)
{
    std::vector<VideoModeEntry> modes;
    const auto it = options.find("Video Mode");
    if (it == options.end())
        return modes;
    for (const std::string& value : it->second.possibleValues) {
        const uint32_t width = parseVideoMode(value);
        if (width < kMinWidth)
            continue;
        const uint32_t height = parseVideoModeHeight(value);
        if (height < kMinHeight)
            continue;
        modes.push_back({width, height, parseVideoModeDepth(value)});
    }
    return modes;
}

std::vector<std::string> Priget_OptionsDisplay::antialiasingFrom(const Ogre::ConfigOptionMap& options)
{
    std::vector<std::string> levels;
    auto it = options.find("Anti aliasing");
    // The GL render system calls it "FSAA".
    if (it == options.end())
        it = options.find("FSAA");
    if (it == options.end())
        return levels;
    for (const std::string& value : it->second.possibleValues)
        if (!isNonMaskable(value))
            levels.push_back(value);
    return levels;
}

uint32_t Priget_OptionsDisplay::antialiasingIndexFor(int fsaa)
{
    uint32_t index = 0;
    for (int v = fsaa; v >= 2; v /= 2)
        ++index;
    return index;
}

void Priget_OptionsDisplay::readVideoModes()
{
    videoModes_ = videoModesFrom(renderSystemOptions());
}

void Priget_OptionsDisplay::readAntialiasingOptions()
{
    if (!antialiasingCombo)
        return;
    for (const std::string& level : antialiasingFrom(renderSystemOptions()))
        antialiasingCombo->addItem(level);
}

void Priget_OptionsDisplay::create(bool visible_)
{
    if (created)
        return;
    Priget::create(visible_);
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();

    modalBlocker = gui->createWidget<MyGUI::Widget>("RimPanel", 0, 0, view.width, view.height, MyGUI::Align::Default,
                                                    "Popup", "p_Opt_od_overB");

    mainPanel = gui->createWidget<MyGUI::Widget>("RimPanel", view.width - 344, 80, 296, 192, MyGUI::Align::Default,
                                                 "Main", "p_Opt_MM");
    mainPanel->setAlpha(0.5f);
    titleText = makeText(mainPanel, 8, 8, 280, "p_Opt_MM_stTitle", "Display Options");
    languageText = makeText(mainPanel, 8, 40, 104, "p_Opt_MM_stRes", "[Language]");
    languageCombo = makeCombo(mainPanel, 120, 40, 168, "p_Opt_MM_cbRes");
    fillLanguages();
    resolutionText = makeText(mainPanel, 8, 72, 104, "p_Opt_MM_stRes", "[Resolution]");
    resolutionCombo = makeCombo(mainPanel, 120, 72, 168, "p_Opt_MM_cbRes");
    fillResolutions();
    overallText = makeText(mainPanel, 8, 104, 104, "p_Opt_MM_stOver", "[Overall]");
    overallCombo = makeCombo(mainPanel, 120, 104, 168, "p_Opt_MM_cbOver");
    fillQualityLevels(overallCombo);
    overallCombo->addItem("Custom");
    overallCombo->setIndexSelected(2);
    overallCombo->setTextColour(kOrange);
    vsyncCheck = makeButton(mainPanel, "CheckBox", 168, 136, 120, "p_Opt_MM_btVsy", "[VSync]");
    fullScreenCheck = makeButton(mainPanel, "CheckBox", 168, 160, 120, "p_Opt_MM_btFuls", "[Full Screen]");
    advancedCheck = makeButton(mainPanel, "CheckBox", 8, 160, 112, "p_Opt_MM_btAdv", "Advanced");
    applyButton = makeButton(mainPanel, "Button", 8, 136, 120, "p_Opt_MM_Apply", "[Apply]");

    advancedPanel = gui->createWidget<MyGUI::Widget>("RimPanel", view.width - 304, 288, 256, 216,
                                                     MyGUI::Align::Default, "Main", "p_Opt_AM");
    advancedPanel->setAlpha(0.5f);
    advancedTitleText = makeText(advancedPanel, 8, 8, 240, "p_Opt_AM_stTitle", "Advanced Options");
    antialiasingText = makeText(advancedPanel, 8, 48, 136, "p_Opt_AM_stAnti", "[Anti-aliasing]");
    antialiasingCombo = makeCombo(advancedPanel, 144, 48, 104, "p_Opt_AM_cbAnti");
    modelText = makeText(advancedPanel, 8, 80, 136, "p_Opt_AM_stModl", "[Model Quality]");
    modelCombo = makeCombo(advancedPanel, 144, 80, 104, "p_Opt_AM_cbModl");
    fillQualityLevels(modelCombo);
    modelCombo->setIndexSelected(0);
    modelCombo->setEnabled(false);
    modelCombo->setAlpha(0.5f);
    textureText = makeText(advancedPanel, 8, 112, 136, "p_Opt_AM_stText", "[Texture Quality]");
    textureCombo = makeCombo(advancedPanel, 144, 112, 104, "p_Opt_AM_cbText");
    fillQualityLevels(textureCombo);
    textureCombo->setIndexSelected(2);
    worldText = makeText(advancedPanel, 8, 144, 136, "p_Opt_AM_stWorl", "[World Quality]");
    worldCombo = makeCombo(advancedPanel, 144, 144, 104, "p_Opt_AM_cbWorl");
    fillQualityLevels(worldCombo);
    worldCombo->setIndexSelected(2);
    effectsText = makeText(advancedPanel, 8, 176, 136, "p_Opt_AM_stEff", "[Effects Quality]");
    effectsCombo = makeCombo(advancedPanel, 144, 176, 104, "p_Opt_AM_cbEff");
    fillQualityLevels(effectsCombo);
    effectsCombo->setIndexSelected(2);
    effectsCombo->setEnabled(false);
    effectsCombo->setAlpha(0.5f);
    for (MyGUI::ComboBox* combo : {modelCombo, textureCombo, worldCombo, effectsCombo})
        combo->setTextColour(kOrange);

    overallCombo->eventComboChangePosition += MyGUI::newDelegate(this, &Priget_OptionsDisplay::onPresetChange);
    modelCombo->eventComboChangePosition += MyGUI::newDelegate(this, &Priget_OptionsDisplay::onModelQualityChange);
    resolutionCombo->eventComboChangePosition +=
        MyGUI::newDelegate(this, &Priget_OptionsDisplay::onResolutionChange);
    for (MyGUI::ComboBox* combo : {textureCombo, worldCombo, effectsCombo})
        combo->eventComboChangePosition += MyGUI::newDelegate(this, &Priget_OptionsDisplay::onQualityChange);
    // Presses, not clicks: the game's mouse handling releases the button every frame it is up.
    for (MyGUI::Button* button : {vsyncCheck, fullScreenCheck, advancedCheck, applyButton})
        button->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_OptionsDisplay::onPressed);

    modalBlocker->setVisible(false);
    advancedPanel->setVisible(false);
    mainPanel->setVisible(visible_);
    refreshTexts();
}

void Priget_OptionsDisplay::show(bool visible_)
{
    visible = visible_ ? 1 : 0;
    if (mainPanel)
        mainPanel->setVisible(visible_);
    if (advancedPanel)
        advancedPanel->setVisible(visible_ && advancedCheck && advancedCheck->getStateSelected());
}

void Priget_OptionsDisplay::fillLanguages()
{
    PlayerProfile* profile = session ? session->profile : nullptr;
    const uint32_t count = profile ? profile->getLanguageCount() : 0;
    if (count == 0) {
        languageCombo->addItem("English");
        languageCombo->setIndexSelected(0);
        return;
    }
    for (uint32_t i = 0; i < count; ++i)
        languageCombo->addItem(toUTFString(profile->getText(i, UiTextId::LanguageName)));
    // A language the profile lacks is reset to the first one when the texts are read.
    const uint32_t language = settings ? settings->Language : 0;
    languageCombo->setIndexSelected(language < count ? language : 0);
}

void Priget_OptionsDisplay::fillResolutions()
{
    for (const VideoModeEntry& mode : videoModes_)
        resolutionCombo->addItem(modeText(mode.width, mode.height, mode.depth));
    if (videoModes_.empty())
        return;
    const uint32_t current = selectCurrentVideoMode();
    resolutionCombo->setIndexSelected(current);
    const VideoModeEntry& shown = videoModes_[current];
    modeUnchosen_ = !settings || shown.width != settings->width || shown.height != settings->height ||
                    shown.depth != currentDepth(*settings);
}

uint32_t Priget_OptionsDisplay::selectCurrentVideoMode() const
{
    if (!settings)
        return 0;
    const uint32_t depth = currentDepth(*settings);
    for (size_t i = 0; i < videoModes_.size(); ++i)
        if (videoModes_[i].width == settings->width && videoModes_[i].height == settings->height &&
            videoModes_[i].depth == depth)
            return static_cast<uint32_t>(i);
    return 0;
}

void Priget_OptionsDisplay::loadCurrentValues()
{
    if (!created || !settings)
        return;
    selectClamped(overallCombo, settings->GraficQuality);
    // The disabled boxes show what is stored, which Apply keeps.
    selectClamped(modelCombo, settings->ModelQuality);
    selectClamped(effectsCombo, settings->EffectsQuality);
    selectClamped(textureCombo, settings->TextureQuality);
    selectClamped(worldCombo, settings->WorldQuality);
    fullScreenCheck->setStateSelected(settings->fullscreen);
    const auto option = [this](const char* key) {
        const auto it = settings->renderOptions.find(key);
        return it == settings->renderOptions.end() ? std::string() : it->second;
    };
    vsyncCheck->setStateSelected(Ogre::StringConverter::parseBool(option("vsync")));
    const int fsaa = Ogre::StringConverter::parseInt(option("FSAA"));
    selectClamped(antialiasingCombo, fsaa > 0 ? antialiasingIndexFor(fsaa) : 0);
}

void Priget_OptionsDisplay::refreshTexts()
{
    PlayerProfile* profile = session ? session->profile : nullptr;
    const uint32_t count = profile ? profile->getLanguageCount() : 0;
    if (count == 0)
        return;
    uint32_t language = 0;
    if (settings) {
        if (settings->Language >= count)
            settings->Language = 0;
        language = settings->Language;
    }
    const auto text = [&](UiTextId id) { return toUTFString(profile->getText(language, id)); };
    // Labels are shown in brackets; texts that already carry them are not wrapped twice.
    const auto bracketed = [&](UiTextId id) {
        const std::string t = profile->getText(language, id);
        const bool wrapped = t.size() >= 2 && t.front() == '[' && t.back() == ']';
        return toUTFString(wrapped ? t : "[" + t + "]");
    };
    titleText->setCaption(text(UiTextId::DispTitle));
    languageText->setCaption(bracketed(UiTextId::DispLanguage));
    resolutionText->setCaption(bracketed(UiTextId::DispResolution));
    overallText->setCaption(bracketed(UiTextId::DispOverall));
    vsyncCheck->setCaption(bracketed(UiTextId::DispVsync));
    fullScreenCheck->setCaption(bracketed(UiTextId::DispFullScreen));
    advancedCheck->setCaption(text(UiTextId::DispAdvanced));
    applyButton->setCaption(text(UiTextId::DispApply));
    advancedTitleText->setCaption(text(UiTextId::AdvTitle));
    antialiasingText->setCaption(bracketed(UiTextId::AdvAntialiasing));
    modelText->setCaption(bracketed(UiTextId::AdvModelQuality));
    textureText->setCaption(bracketed(UiTextId::AdvTextureQuality));
    worldText->setCaption(bracketed(UiTextId::AdvWorldQuality));
    effectsText->setCaption(bracketed(UiTextId::AdvEffectsQuality));
    applyNotice_ = profile->getText(language, UiTextId::ApplyNotice);
    modeChangeNotice_ = profile->getText(language, UiTextId::ModeChangeNotice);
    // Every list in the page's language; the overall list adds "Custom".
    for (MyGUI::ComboBox* combo : {modelCombo, textureCombo, worldCombo, effectsCombo, overallCombo}) {
        const size_t selected = combo->getIndexSelected();
        combo->removeAllItems();
        for (uint32_t i = 0; i < kQualityLevels; ++i)
            combo->addItem(text(static_cast<UiTextId>(static_cast<uint32_t>(UiTextId::QualityVeryHigh) + i)));
        if (combo == overallCombo)
            combo->addItem(text(UiTextId::QualityCustom));
        if (selected != MyGUI::ITEM_NONE)
            selectClamped(combo, static_cast<long long>(selected));
    }
}

void Priget_OptionsDisplay::onPresetChange(MyGUI::ComboBox*, size_t index)
{
    if (index >= kQualityLevels)
        return;
    textureCombo->setIndexSelected(index);
    worldCombo->setIndexSelected(index);
}

void Priget_OptionsDisplay::onModelQualityChange(MyGUI::ComboBox* sender, size_t index)
{
    if (settings && index != MyGUI::ITEM_NONE)
        settings->ModelQuality = static_cast<int32_t>(index);
    onQualityChange(sender, index);
}

void Priget_OptionsDisplay::onQualityChange(MyGUI::ComboBox*, size_t index)
{
    if (index != kCustomPreset && index != overallCombo->getIndexSelected())
        overallCombo->setIndexSelected(kCustomPreset);
}

void Priget_OptionsDisplay::onPressed(MyGUI::Widget* sender, int, int, MyGUI::MouseButton button)
{
    if (button != MyGUI::MouseButton::Left)
        return;
    if (sender == vsyncCheck)
        onVsyncClick(sender);
    else if (sender == fullScreenCheck)
        onFullScreenClick(sender);
    else if (sender == advancedCheck)
        onAdvancedClick(sender);
    else if (sender == applyButton)
        onApplyClick(sender);
}

void Priget_OptionsDisplay::onVsyncClick(MyGUI::Widget*)
{
    vsyncCheck->setStateSelected(!vsyncCheck->getStateSelected());
}

void Priget_OptionsDisplay::onFullScreenClick(MyGUI::Widget*)
{
    fullScreenCheck->setStateSelected(!fullScreenCheck->getStateSelected());
}

void Priget_OptionsDisplay::onAdvancedClick(MyGUI::Widget*)
{
    const bool shown = advancedPanel->getVisible();
    advancedPanel->setVisible(!shown);
    advancedCheck->setStateSelected(!shown);
}

void Priget_OptionsDisplay::onResolutionChange(MyGUI::ComboBox*, size_t index)
{
    if (index != MyGUI::ITEM_NONE)
        modeUnchosen_ = false;
}

std::string Priget_OptionsDisplay::modeText(uint32_t width, uint32_t height, uint32_t depth)
{
    return std::to_string(width) + " x " + std::to_string(height) + " - " + std::to_string(depth) + "bits";
}

std::string Priget_OptionsDisplay::modeChangeNotice() const
{
    const size_t mode = resolutionCombo ? resolutionCombo->getIndexSelected() : MyGUI::ITEM_NONE;
    if (!modeUnchosen_ || !settings || mode >= videoModes_.size())
        return "";
    const auto fill = [](std::string text, const std::string& mark, const std::string& value) {
        const size_t at = text.find(mark);
        return at == std::string::npos ? text : text.replace(at, mark.size(), value);
    };
    const VideoModeEntry& next = videoModes_[mode];
    const std::string current = modeText(settings->width, settings->height, currentDepth(*settings));
    return fill(fill(modeChangeNotice_, "%1", current), "%2", modeText(next.width, next.height, next.depth));
}

void Priget_OptionsDisplay::showMessage(const std::string& text)
{
    message_.reset();
    message_ = std::make_unique<MessageWindow>(gui, "Message", MyGUI::IntCoord(204, 232, 391, 135),
                                               MyGUI::Align::Right | MyGUI::Align::Bottom, "Info", "lbgi_warnExis",
                                               toUTFString(text));
    message_->setTextColour(MyGUI::Colour::White);
    message_->show();
    message_->eventMessageBoxResult = [this](MessageWindow* sender, MessageWindow::Result result) {
        onMessageResult(sender, result);
    };
    modalBlocker->setVisible(true);
}

void Priget_OptionsDisplay::onApplyClick(MyGUI::Widget*)
{
    if (!created || !settings)
        return;
    // A mode the player never chose replaces the settings' one only once the player was told.
    if (!modeChangeTold_) {
        const std::string notice = modeChangeNotice();
        if (!notice.empty()) {
            modeChangeTold_ = true;
            showMessage(notice);
            return;
        }
    }
    // A combo with nothing selected, or one the player cannot change, keeps what the settings hold.
    const auto selected = [](MyGUI::ComboBox* combo, int32_t& value) {
        const size_t index = combo->getIndexSelected();
        if (index != MyGUI::ITEM_NONE && combo->getEnabled())
            value = static_cast<int32_t>(index);
    };
    selected(overallCombo, settings->GraficQuality);
    selected(modelCombo, settings->ModelQuality);
    selected(textureCombo, settings->TextureQuality);
    selected(worldCombo, settings->WorldQuality);
    selected(effectsCombo, settings->EffectsQuality);
    settings->fullscreen = fullScreenCheck->getStateSelected();

    const size_t mode = resolutionCombo->getIndexSelected();
    if (mode < videoModes_.size()) {
        settings->width = videoModes_[mode].width;
        settings->height = videoModes_[mode].height;
        settings->renderOptions["colourDepth"] = std::to_string(videoModes_[mode].depth);
    }
    settings->renderOptions["vsync"] = vsyncCheck->getStateSelected() ? "true" : "false";
    const size_t language = languageCombo->getIndexSelected();
    if (language != MyGUI::ITEM_NONE)
        settings->Language = static_cast<uint32_t>(language);
    const size_t antialiasing = antialiasingCombo->getIndexSelected();
    // Only indices of an actual list: anything else would shift 2 past the width of a number.
    if (antialiasing < antialiasingCombo->getItemCount() && antialiasing < 31)
        settings->renderOptions["FSAA"] = antialiasing == 0 ? "0" : std::to_string(1u << antialiasing);
    if (config)
        config->writeConfigIni();
    modeUnchosen_ = false;
    showMessage(applyNotice_);
}

void Priget_OptionsDisplay::onMessageResult(MessageWindow*, int)
{
    modalBlocker->setVisible(false);
}
