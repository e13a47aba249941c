#include "core/GameSession.h"

GameSession::GameSession(RandomGenerator* randomGenerator, GameSettings* gameSettings)
    : random(randomGenerator), settings(gameSettings)
{
}

GameSession::~GameSession()
{
    // CampaignData (saves the challenge progress) and then PlayerProfile (saves the profile)
    // are deleted here, in that order, once those classes join the session.
    campaign = nullptr;
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
