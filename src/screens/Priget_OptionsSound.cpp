#include "screens/Priget_OptionsSound.h"

#include "core/ConfigManager.h"
#include "core/GameSettings.h"

#include <MyGUI.h>

#include <algorithm>

namespace {

MyGUI::TextBox* makeText(MyGUI::Widget* parent, int top, const std::string& name, const std::string& caption,
                         MyGUI::Align align)
{
    auto* text = parent->createWidget<MyGUI::TextBox>("TextBox", 8, top, 280, 24, MyGUI::Align::Default, name);
    text->setTextAlign(align | MyGUI::Align::VCenter);
    text->setTextColour(MyGUI::Colour::White);
    text->setInheritsAlpha(false);
    text->setCaption(caption);
    return text;
}

void showPosition(MyGUI::TextBox* text, size_t position)
{
    text->setCaption(std::to_string(position));
}

// A hand-edited config.ini may hold any number; a slider takes 0 to 99.
size_t sliderPositionFor(int32_t volume)
{
    return static_cast<size_t>(std::clamp<int32_t>(volume, 0, Priget_OptionsSound::kRange - 1));
}

}  // namespace

Priget_OptionsSound::Priget_OptionsSound(MyGUI::Gui* gui_, Ogre::Root* root_, ConfigManager* config_,
                                         GameSettings* settings_, const std::string&, bool createNow, bool visible_)
    : Priget(gui_), settings(settings_), root(root_), config(config_)
{
    visible = 0;
    created = 0;
    if (createNow)
        create(visible_);
}

Priget_OptionsSound::~Priget_OptionsSound()
{
    destroyPanel();
}

void Priget_OptionsSound::destroyPanel()
{
    if (panel)
        gui->destroyWidget(panel);
    panel = nullptr;
    masterSlider = sfxSlider = musicSlider = voiceSlider = environmentSlider = nullptr;
    masterValue = sfxValue = musicValue = voiceValue = environmentValue = nullptr;
}

void Priget_OptionsSound::create(bool visible_)
{
    if (created)
        return;
    Priget::create(visible_);
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    panel = gui->createWidget<MyGUI::Widget>("RimPanel", view.width - 344, 80, 296, 216, MyGUI::Align::Default, "Main",
                                             "p_Opt_OS");
    panel->setAlpha(0.5f);
    const auto slider = [this](int top, const std::string& name) {
        auto* s = panel->createWidget<MyGUI::ScrollBar>("SliderH", 8, top, 280, 8, MyGUI::Align::Default, name);
        s->setVerticalAlignment(false);
        s->setInheritsAlpha(false);
        s->setScrollRange(kRange);
        s->setScrollPosition(0);
        return s;
    };
    masterSlider = slider(28, "p_Opt_OS_mastV");
    makeText(panel, 8, "p_Opt_OS_stRes", "[Master Volume]", MyGUI::Align::Left);
    masterValue = makeText(panel, 8, "p_Opt_OS_stRes", "0", MyGUI::Align::Right);
    makeText(panel, 48, "p_Opt_OS_vSMus", "[Music Volume]", MyGUI::Align::Left);
    musicValue = makeText(panel, 48, "p_Opt_OS_vRMus", "0", MyGUI::Align::Right);
    musicSlider = slider(68, "p_Opt_OS_MusicV");
    makeText(panel, 88, "p_Opt_OS_vSVoic", "[Voice Volume]", MyGUI::Align::Left);
    voiceValue = makeText(panel, 88, "p_Opt_OS_vVoic", "0", MyGUI::Align::Right);
    voiceSlider = slider(108, "p_Opt_OS_voiceV");
    makeText(panel, 128, "p_Opt_OS_vSSFX", "[SFX Volume]", MyGUI::Align::Left);
    sfxValue = makeText(panel, 128, "p_Opt_OS_vSFX", "0", MyGUI::Align::Right);
    sfxSlider = slider(148, "p_Opt_OS_SFXV");
    makeText(panel, 168, "p_Opt_OS_vSEnv", "[Enviorment Volume]", MyGUI::Align::Left);
    environmentValue = makeText(panel, 168, "p_Opt_OS_vEnv", "0", MyGUI::Align::Right);
    environmentSlider = slider(188, "p_Opt_OS_EnvV");

    masterSlider->eventScrollChangePosition += MyGUI::newDelegate(this, &Priget_OptionsSound::onMasterVolume);
    sfxSlider->eventScrollChangePosition += MyGUI::newDelegate(this, &Priget_OptionsSound::onSfxVolume);
    voiceSlider->eventScrollChangePosition += MyGUI::newDelegate(this, &Priget_OptionsSound::onVoiceVolume);
    musicSlider->eventScrollChangePosition += MyGUI::newDelegate(this, &Priget_OptionsSound::onMusicVolume);
    environmentSlider->eventScrollChangePosition +=
        MyGUI::newDelegate(this, &Priget_OptionsSound::onEnvironmentVolume);

    if (settings) {
        environmentSlider->setScrollPosition(sliderPositionFor(settings->EnvironmentVolume));
        musicSlider->setScrollPosition(sliderPositionFor(settings->MusicVolume));
        sfxSlider->setScrollPosition(sliderPositionFor(settings->SFXVolume));
        voiceSlider->setScrollPosition(sliderPositionFor(settings->VoiceVolume));
    }
    showPosition(environmentValue, environmentSlider->getScrollPosition());
    showPosition(musicValue, musicSlider->getScrollPosition());
    showPosition(sfxValue, sfxSlider->getScrollPosition());
    showPosition(voiceValue, voiceSlider->getScrollPosition());
    lastMasterPosition = static_cast<uint32_t>(masterSlider->getScrollPosition());
    panel->setVisible(visible_);
}

void Priget_OptionsSound::destroy()
{
    if (!created)
        return;
    if (settings) {
        settings->EnvironmentVolume = static_cast<int32_t>(environmentSlider->getScrollPosition());
        settings->MusicVolume = static_cast<int32_t>(musicSlider->getScrollPosition());
        settings->SFXVolume = static_cast<int32_t>(sfxSlider->getScrollPosition());
        settings->VoiceVolume = static_cast<int32_t>(voiceSlider->getScrollPosition());
    }
    if (config)
        config->writeConfigIni();
    destroyPanel();
    Priget::destroy();
}

void Priget_OptionsSound::onMasterVolume(MyGUI::ScrollBar*, size_t position)
{
    showPosition(masterValue, position);
    const long long delta = static_cast<long long>(position) - static_cast<long long>(lastMasterPosition);
    const long long last = static_cast<long long>(kRange) - 1;
    const std::pair<MyGUI::ScrollBar*, MyGUI::TextBox*> channels[] = {
        {musicSlider, musicValue}, {sfxSlider, sfxValue}, {environmentSlider, environmentValue}, {voiceSlider, voiceValue}};
    for (const auto& [slider, value] : channels) {
        const long long moved = static_cast<long long>(slider->getScrollPosition()) + delta;
        slider->setScrollPosition(static_cast<size_t>(std::clamp(moved, 0LL, last)));
        showPosition(value, slider->getScrollPosition());
    }
    lastMasterPosition = static_cast<uint32_t>(position);
}

void Priget_OptionsSound::onSfxVolume(MyGUI::ScrollBar*, size_t position)
{
    showPosition(sfxValue, position);
}

void Priget_OptionsSound::onVoiceVolume(MyGUI::ScrollBar*, size_t position)
{
    showPosition(voiceValue, position);
}

void Priget_OptionsSound::onMusicVolume(MyGUI::ScrollBar*, size_t position)
{
    showPosition(musicValue, position);
}

void Priget_OptionsSound::onEnvironmentVolume(MyGUI::ScrollBar*, size_t position)
{
    showPosition(environmentValue, position);
}
