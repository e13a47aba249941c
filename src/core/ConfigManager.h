#pragma once
#include <string>

struct GameSettings;
struct SharedBlock;

// Reads and writes config.ini. The key bindings' ctrlConfig.ini lies in the same folder
// (the working directory unless told otherwise).
class ConfigManager {
public:
    explicit ConfigManager(GameSettings* settings, std::string path = "config.ini");

    // Fills the settings; throws the engine's file-not-found exception when the file is missing.
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
