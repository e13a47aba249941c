#pragma once
#include <array>
#include <string>

class ConfigManager;

// The player actions that can be bound; the index of each is its row in ctrlConfig.ini.
enum class KeyAction : int {
    Accel = 0,
    Brake = 1,
    RollRight = 2,
    RollLeft = 3,
    PitchUp = 4,
    PitchDown = 5,
    YawRight = 6,
    yawLeft = 7,
    Boresight = 8,
    ChangeLock = 9,
    Radar = 10,
    FireGun = 11,
    FireSelectedweapon = 12,
    Changeweapon = 13,
};

// One action's keys: keyboard codes (OIS::KeyCode), 0 for no key.
struct KeyBindingEntry {
    std::string name = "NotUsed";  // also the stem of the action's keys in the file
    int mainCode = 0;
    int altCode = 0;
};

// The 14 actions with a main and an alternative key each, kept in ctrlConfig.ini.
class KeyBindings {
public:
    static constexpr int kActionCount = 14;
    // Codes a keyboard can report; anything else read from the file counts as unbound.
    static constexpr int kMaxKeyCode = 255;

    KeyBindings();

    KeyBindingEntry& entry(KeyAction action) { return entries_[static_cast<size_t>(action)]; }
    const KeyBindingEntry& entry(KeyAction action) const { return entries_[static_cast<size_t>(action)]; }
    KeyBindingEntry& entry(int index) { return entries_.at(static_cast<size_t>(index)); }
    const KeyBindingEntry& entry(int index) const { return entries_.at(static_cast<size_t>(index)); }

    // Reads ctrlConfig.ini beside the configuration manager's config.ini (the working directory
    // without one). A missing file is replaced by the shipped bindings. False when the bindings
    // come from the shipped ones in memory only (the path is not a readable file, or the file
    // could not be written) or there are no bindings.
    static bool load(ConfigManager* config, KeyBindings* bindings);
    // Rewrites the whole file. Nothing happens without bindings; a failed write keeps the old
    // file, is logged and returns false.
    static bool save(ConfigManager* config, KeyBindings* bindings);

private:
    std::array<KeyBindingEntry, kActionCount> entries_;
};
