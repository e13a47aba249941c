#pragma once
#include "platform/Platform.h"

#include <cstddef>
#include <string>

namespace Ogre {
class ConfigFile;
}
struct GameSettings;
struct SharedBlock;

// Reads and writes config.ini. The key bindings' ctrlConfig.ini lies in the same folder
// (the working directory unless told otherwise).
class ConfigManager {
public:
    explicit ConfigManager(GameSettings* settings, std::string path = "config.ini");

    // Fills the settings. A missing file is replaced by the shipped one; a path that is not a
    // readable file leaves the shipped settings in memory (see loadSettingsFile).
    void readConfigIni();
    // Writes the whole file; false (and the old file kept, and the failure logged) when it
    // cannot be written or there are no settings.
    bool writeConfigIni();

    void setSharedBlock(SharedBlock* block) { sharedBlock_ = block; }
    SharedBlock* sharedBlock() const { return sharedBlock_; }
    GameSettings* settings() const { return settings_; }
    const std::string& path() const { return path_; }
    // ctrlConfig.ini beside config.ini.
    std::string keyBindingsPath() const;

private:
    SharedBlock* sharedBlock_ = nullptr;
    GameSettings* settings_ = nullptr;
    std::string path_;
};

// Settings files past this size are refused (the shipped text serves): none of ours comes close.
constexpr size_t kMaxSettingsFileBytes = 1024 * 1024;

// Loads a text file of ours (separators "\t:=", trimmed) when it is a regular file of at most
// maxBytes: a folder, pipe or device is refused without waiting on it. False, with cfg
// untouched and the reason in `why`, otherwise.
bool loadRegularIniFile(Ogre::ConfigFile& cfg, const std::string& path, size_t maxBytes,
                        platform::RegularFile* why = nullptr);

// Where the text of a settings file came from.
enum class SettingsSource { File, WrittenFromShipped, ShippedInMemory };

// Loads a settings file (separators "\t:=", trimmed) into cfg. A missing file is written from the
// shipped text and read from memory, so a failed write still starts the game; a path that is not
// a readable regular file (a folder, say) or one past kMaxSettingsFileBytes is left alone and the
// shipped text read instead. Every case but a readable file logs one line; `kept` names what
// stays in memory ("settings").
SettingsSource loadSettingsFile(Ogre::ConfigFile& cfg, const std::string& path, const char* shipped,
                                const std::string& kept);
