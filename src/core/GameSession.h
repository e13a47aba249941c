#pragma once
#include <cstdint>
#include <string>

class RandomGenerator;
class CampaignData;
class PlayerProfile;
struct GameSettings;

// The blackboard through which the states, their panels and the game core talk: the chosen
// profile, mode, tier, challenge and weapon, the credits and cutscene requests, the front end's
// menu fields and the score client's words. One instance, owned by the game core.
class GameSession {
public:
    GameSession(RandomGenerator* random, GameSettings* settings);
    ~GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    std::string getLevelName() const { return levelName; }

    // The main menu's choice of a game mode: its level and second name come from the profile.
    void selectGameMode(uint32_t mode);
    // Replaces the loaded campaign (the old one saves its progress) and loads the player's progress.
    void loadCampaign(const std::string& name);
    // Without a campaign the level is "NOCAMPLOAD". With flag set and a cutscene already
    // requested, the challenge's intro is queued behind it instead of replacing it.
    void selectChallenge(uint32_t tier, uint32_t challenge, uint32_t weaponSlot, uint8_t flag);
    void requestOutroCutscene();
    // "" without a campaign.
    std::string getSelectedWeaponName() const;

    void setProfileName(const std::string& name);
    // Saves and drops the current profile, then loads (or creates) the one of profileName.
    void recreateProfile();

    void setCutsceneRequest(bool request, const std::string& cutscene, const std::string& second);
    std::string getCutsceneName() const { return cutsceneName; }
    std::string getNextCutsceneName() const { return nextCutsceneName; }
    void setNextCutsceneName(const std::string& cutscene) { nextCutsceneName = cutscene; }

    void setScoreReply(const std::string& text) { scoreReply = text; }

    RandomGenerator* random = nullptr;    // borrowed; handed to every new profile
    CampaignData* campaign = nullptr;     // owned
    PlayerProfile* profile = nullptr;     // owned
    GameSettings* settings = nullptr;     // borrowed
    std::string levelName;
    std::string profileName = "Pimo";
    std::string modeName2;
    uint8_t profileLoaded = 0;
    uint32_t selectedMode = 0;
    uint8_t showMissionInfo = 0;          // the continue flag of a campaign run
    uint8_t challengeMode = 0;
    uint32_t selectedTier = 0;
    uint32_t selectedChallenge = 0;       // 0-based within the tier
    uint32_t selectedWeapon = 0;          // campaign weapon slot 1 to 5, 0 none
    uint8_t creditsRequested = 0;
    uint8_t cutsceneRequested = 0;
    std::string cutsceneName = "temp";
    std::string nextCutsceneName;
    std::string secondCutsceneName = "baa";
    std::string scoreReply;
    uint32_t selectedIndex = 0;
    uint32_t menuPhase = 0;
    uint8_t inputLatch = 1;
    uint8_t mouseOverButton = 1;
    uint8_t keyCaptureActive = 0;
    uint8_t gamepadEnabled = 0;
    uint8_t gamepadEnabled2 = 0;          // when set, the pad's trigger axis does not fire
    uint32_t onlineRequest = 0;
    uint32_t queuedRequest = 0;
    uint8_t scoreReplyReady = 0;
    // The score client gave up on the last world-table query (no server, no usable answer).
    uint8_t scoreUnavailable = 0;
};
