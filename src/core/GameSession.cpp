#include "core/GameSession.h"

#include "core/PlayerProfile.h"

GameSession::GameSession(RandomGenerator* randomGenerator, GameSettings* gameSettings)
    : random(randomGenerator), settings(gameSettings)
{
}

GameSession::~GameSession()
{
    // CampaignData (it saves the challenge progress) is deleted here, before the profile, once
    // campaigns join the session.
    campaign = nullptr;
    delete profile;  // saves the profile
    profile = nullptr;
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
