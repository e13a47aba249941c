#pragma once
#include "core/UiTextTable.h"

#include <cstdint>
#include <string>
#include <vector>

class RandomGenerator;

// How two results compare: isResultBetter(code, a, b) asks "a code b".
enum ResultCompare : uint32_t {
    ResultLess = 1,          // a < b
    ResultGreater = 2,       // a > b
    ResultLessOrEqual = 3,   // a <= b
    ResultGreaterOrEqual = 4 // a >= b; any other code: a == b
};

// False whenever a or b is NaN.
bool isResultBetter(uint32_t code, float a, float b);

// Texts of a game mode in one language.
struct GameModeTexts {
    std::string title;
    std::string description;
    std::string howToUnlock;
};

// One game mode of the free-play menu: its rules and lock from the mode table, the player's
// progress from the profile file.
struct GameModeDef {
    std::string name;  // also the name of the mode's rules file
    bool locked = false;
    uint32_t compareType = 0;
    std::vector<GameModeTexts> texts;  // one per language
    std::string secondName;

    bool unlockByResult = false;
    uint32_t refMode = 0;
    uint32_t unlockCompare = 0;
    float threshold = 0.0f;
    bool unlockByPlays = false;
    uint32_t refMode2 = 0;
    uint32_t requiredPlays = 0;
    bool unlockByLevel = false;
    uint32_t requiredLevel = 0;

    uint32_t progress0 = 0;  // plays started (the title menu counts them)
    uint32_t playCount = 0;  // plays finished
    float best = 0.0f;
    float progress3 = 0.0f;  // best world result the record list last showed
};

// The current player: the game modes with their locks and results, the interface texts of
// every language, and the player's own numbers, all kept in the profile file.
class PlayerProfile {
public:
    static constexpr uint32_t kModeTableMagic = 5335753;
    static constexpr uint32_t kProfileMagic = 34646;
    static constexpr uint32_t kProfileFormat = 1;
    static constexpr const char* kProfileMarker = "HGFYWEMI";
    static constexpr uint32_t kMaxLanguages = 32;
    static constexpr uint32_t kMaxModes = 64;
    static constexpr size_t kMaxNameLength = 16;

    static const char* modeTablePath() { return "../../Data/System/GMode.Dat"; }

    // Letters (accented Latin letters of Windows-1252 included), digits and '_', 1 to 16 of them:
    // the name becomes part of a file name.
    static bool isValidName(const std::string& name);
    // "../../Saves/" + name + "_Game.ZVP"; the name is Windows-1252 text, the path UTF-8.
    static std::string profilePath(const std::string& name);

    // Reads the mode table, then the profile file (a missing or unusable one is replaced by a
    // reset profile). A name that is not valid touches no file.
    PlayerProfile(const std::string& name, RandomGenerator* random);
    ~PlayerProfile();
    PlayerProfile(const PlayerProfile&) = delete;
    PlayerProfile& operator=(const PlayerProfile&) = delete;

    // The number of languages in the mode table; 0 when it is missing or foreign. Tells how many
    // languages the other tables were built with when no profile is loaded.
    static uint32_t readLanguageCount();

    bool loadModes();
    bool load();
    // Writes the profile file; refused (false) when the tables did not load, the name is not
    // valid or an unusable file could not be set aside, so such a profile never replaces a
    // stored one.
    bool save();
    void resetProgress();
    void updateModeLocks();
    void makeProfileNumbers();
    void recordModeResult(uint32_t mode, float result);

    // Mode queries: "" for a mode or language that does not exist.
    std::string getModeName(uint32_t mode) const;
    std::string getModeString2(uint32_t mode) const;
    std::string getModeTitle(uint32_t language, uint32_t mode) const;
    // The description while the mode is unlocked, the how-to-unlock text while it is locked.
    std::string getModeDescription(uint32_t language, uint32_t mode) const;
    // An interface text; "" for a language or text that does not exist.
    std::string getText(uint32_t language, UiTextId id) const;

    uint32_t getModeCount() const { return static_cast<uint32_t>(modes_.size()); }
    uint32_t getLanguageCount() const { return static_cast<uint32_t>(textTables_.size()); }
    // Null for a mode that does not exist.
    GameModeDef* getMode(uint32_t mode);
    const GameModeDef* getMode(uint32_t mode) const;

    const std::string& getName() const { return name_; }
    uint32_t getNameNumber() const { return nameNumber_; }
    uint32_t getRandomNumber() const { return randomNumber_; }
    bool tablesLoaded() const { return tablesLoaded_; }

    uint32_t level = 0;           // compared by the unlock-by-level rule; not stored
    uint32_t profileCounter = 0;  // times the player opened the challenge mode
    float playTime = 0.0f;        // seconds, all play
    float freePlayTime = 0.0f;
    float challengePlayTime = 0.0f;

private:
    std::string name_;
    RandomGenerator* random_ = nullptr;
    std::vector<GameModeDef> modes_;
    std::vector<UiTextTable> textTables_;
    uint32_t nameNumber_ = 1;
    uint32_t randomNumber_ = 1;
    bool tablesLoaded_ = false;
    bool nameValid_ = false;
    bool saveBlocked_ = false;  // an unusable file could not be set aside
};
