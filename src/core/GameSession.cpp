#include "core/GameSession.h"

#include "core/CampaignData.h"
#include "core/PlayerProfile.h"

GameSession::GameSession(RandomGenerator* randomGenerator, GameSettings* gameSettings)
    : random(randomGenerator), settings(gameSettings)
{
}

GameSession::~GameSession()
{
    // The campaign first (its destructor saves the challenge progress), then the profile (its
    // destructor saves the profile).
    delete campaign;
    campaign = nullptr;
    delete profile;
    profile = nullptr;
}

void GameSession::selectGameMode(uint32_t mode)
{
    showMissionInfo = 0;
    selectedMode = mode;
    // Without a profile there is no mode table: no level rather than a stale one.
    levelName = profile ? profile->getModeName(mode) : std::string();
    modeName2 = profile ? profile->getModeString2(mode) : std::string();
}

void GameSession::loadCampaign(const std::string& name)
{
    // A campaign still loaded goes first; deleting it saves its progress.
    delete campaign;
    campaign = nullptr;
    // The catalogue holds texts for as many languages as the mode table, profile or not.
    const uint32_t languages = profile ? profile->getLanguageCount() : PlayerProfile::readLanguageCount();
    campaign = new CampaignData(name, profileName, languages);
    campaign->loadProgress();
}

void GameSession::selectChallenge(uint32_t tier, uint32_t challenge, uint32_t weapon, uint8_t flag)
{
    challengeMode = 1;
    selectedTier = tier;
    selectedChallenge = challenge;
    selectedWeapon = weapon;
    if (!campaign) {
        levelName = "NOCAMPLOAD";
        return;
    }
    showMissionInfo = flag;
    levelName = campaign->getChallengeName(tier, challenge);
    if (!campaign->wantsIntroCutscene(tier, challenge))
        return;
    // Continuing behind a requested cutscene: the intro follows it.
    if (flag && cutsceneRequested) {
        nextCutsceneName = campaign->getIntroCutscene(tier, challenge);
    } else {
        cutsceneRequested = 1;
        cutsceneName = campaign->getIntroCutscene(tier, challenge);
    }
}

void GameSession::requestOutroCutscene()
{
    if (!campaign)
        return;
    const ChallengeDef* def = campaign->getChallenge(selectedTier, selectedChallenge);
    if (!def || !def->hasOutroCutscene)
        return;
    if (campaign->skipSeenStory && def->timesFinished > 1)
        return;
    cutsceneRequested = 1;
    cutsceneName = campaign->getOutroCutscene(selectedTier, selectedChallenge);
}

std::string GameSession::getSelectedWeaponName() const
{
    return campaign ? campaign->getWeaponName(selectedWeapon) : std::string();
}

void GameSession::recreateProfile()
{
    // The outgoing profile saves itself under its own name as it goes.
    delete profile;
    profile = nullptr;
    profile = new PlayerProfile(profileName, random);
}

void GameSession::setProfileName(const std::string& name)
{
    profileName = name;
    profileLoaded = 1;
}

void GameSession::setCutsceneRequest(bool request, const std::string& cutscene, const std::string& second)
{
    cutsceneRequested = request ? 1 : 0;
    cutsceneName = cutscene;
    secondCutsceneName = second;
}
