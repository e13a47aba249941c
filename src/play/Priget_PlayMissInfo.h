#pragma once
#include "core/Priget.h"

namespace MyGUI {
class Widget;
class TextBox;
class EditBox;
}
class GameSession;
class GlobalSounds;

// The box that introduces a challenge: its number, title, objective and the three medal targets
// with their points. Filled once when made; the play state shows and hides `infoBox` itself.
class Priget_PlayMissInfo : public Priget {
public:
    Priget_PlayMissInfo(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds);
    ~Priget_PlayMissInfo() override;

    // Builds the box, fills it and leaves it hidden.
    void create(bool show) override;
    // The selected challenge's texts and targets; nothing in free play.
    void fillChallengeInfo();

    GlobalSounds* sounds = nullptr;
    GameSession* session = nullptr;
    MyGUI::Widget* infoBox = nullptr;
    MyGUI::TextBox* challengeShadow = nullptr;
    MyGUI::TextBox* challengeText = nullptr;
    MyGUI::TextBox* titleText = nullptr;
    MyGUI::TextBox* titleShadow = nullptr;
    MyGUI::EditBox* objectiveEdit = nullptr;
    MyGUI::TextBox* bronzeTarget = nullptr;
    MyGUI::TextBox* bronzePoints = nullptr;
    MyGUI::TextBox* silverTarget = nullptr;
    MyGUI::TextBox* silverPoints = nullptr;
    MyGUI::TextBox* goldTarget = nullptr;
    MyGUI::TextBox* goldPoints = nullptr;
    // The fixed labels, put in the profile's language when the box is filled.
    MyGUI::TextBox* objectiveLabels[2] = {nullptr, nullptr};  // shadow, text
    MyGUI::TextBox* targetLabels[3] = {nullptr, nullptr, nullptr};
};
