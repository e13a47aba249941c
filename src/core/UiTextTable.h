#pragma once
#include <array>
#include <cstdint>
#include <string>

// Index of an interface text within one language's table. The gaps (15, 21, 23, 58, 78, 80 and
// 88 to 90) are texts kept in the tables that no screen asks for here.
enum class UiTextId : uint32_t {
    LanguageName = 0,
    ChallengeMode = 1,
    ChallengeModeHint = 2,
    Options = 3,
    OptionsHint = 4,
    QuitGame = 5,
    QuitGameHint = 6,
    HudBest = 7,
    HudScore = 8,
    HudTime = 9,
    HudCombos = 10,
    HudKills = 11,
    HudWave = 12,
    HudMultiply = 13,
    HudLives = 14,
    HudAmmo = 16,
    HudGold = 17,
    HudSilver = 18,
    HudBronze = 19,
    HudComboResult = 20,
    HudWaveClear = 22,
    RecordsLocal = 24,
    RecordsWorld = 25,
    EndRetry = 26,
    EndQuit = 27,
    EndContinue = 28,
    RecordsConnecting = 29,
    EndResult = 30,
    EndBest = 31,
    SelTier = 32,
    SelChallenge = 33,
    SelObjective = 34,
    SelTarget = 35,
    SelLocked = 36,
    SelNeed = 37,
    SelQuit = 38,
    SelChallenges = 39,
    SelGarage = 40,
    SelBest = 41,
    SelStartChallenge = 42,
    SelSkipStory = 43,
    SelWeapons = 44,
    GarageTitle = 45,
    GarageTune = 46,
    GarageWeapons = 47,
    GarageUsed = 48,
    GarageAvailable = 49,
    GarageCost = 50,
    GarageRemain = 51,
    GarageBuy = 52,
    OptDisplay = 53,
    OptControl = 54,
    OptAudio = 55,
    OptGame = 56,
    OptBack = 57,
    DispTitle = 59,
    DispLanguage = 60,
    DispResolution = 61,
    DispOverall = 62,
    DispVsync = 63,
    DispFullScreen = 64,
    DispAdvanced = 65,
    DispApply = 66,
    AdvTitle = 67,
    AdvAntialiasing = 68,
    AdvModelQuality = 69,
    AdvTextureQuality = 70,
    AdvWorldQuality = 71,
    AdvEffectsQuality = 72,
    QualityVeryHigh = 73,
    QualityHigh = 74,
    QualityMedium = 75,
    QualityLow = 76,
    QualityVeryLow = 77,
    QualityCustom = 79,
    PauseResume = 81,
    Yes = 82,
    No = 83,
    ApplyNotice = 84,
    GarageOwned = 85,
    GarageNeedPrevious = 86,
    Kudos = 87,
    QuitQuestion = 91,
    Version = 92,
    SelClear = 93,
    RecordsUnavailable = 94,
    ModeChangeNotice = 95,
};

// The interface texts of one language (Windows-1252 text, as every game string).
class UiTextTable {
public:
    static constexpr uint32_t kTextCount = 96;

    // "" for an index outside the table.
    const std::string& get(uint32_t index) const;
    const std::string& get(UiTextId id) const { return get(static_cast<uint32_t>(id)); }
    void set(uint32_t index, std::string text);

private:
    std::array<std::string, kTextCount> texts_;
};
