#include "core/KeyBindings.h"

#include "core/BinaryIO.h"
#include "core/ConfigManager.h"
#include "core/ShippedDefaults.h"
#include "core/Utilities.h"
#include "platform/Platform.h"

#include <OgreConfigFile.h>
#include <OgreStringConverter.h>

#include <sstream>

namespace {
const char* const kActionNames[KeyBindings::kActionCount] = {
    "Accel",     "Brake",      "RollRight", "RollLeft", "PitchUp",
    "PitchDown", "YawRight",   "yawLeft",   "Boresight", "ChangeLock",
    "Radar",     "FireGun",    "FireSelectedweapon", "Changeweapon",
};

const char* const kSection = "MainControls";

std::string bindingsPath(const ConfigManager* config)
{
    return config ? config->keyBindingsPath() : std::string("ctrlConfig.ini");
}

void logMessage(const std::string& text)
{
    platform::showWarning(text);
}

// The codes later index the keyboard's key table, so a value out of its range must not
// get through.
int readCode(const Ogre::ConfigFile& cfg, const std::string& key)
{
    const int code = Ogre::StringConverter::parseInt(stripQuotes(cfg.getSetting(key, kSection, "")));
    return code >= 0 && code <= KeyBindings::kMaxKeyCode ? code : 0;
}
}  // namespace

KeyBindings::KeyBindings()
{
    for (int i = 0; i < kActionCount; ++i)
        entries_[static_cast<size_t>(i)].name = kActionNames[i];
}

bool KeyBindings::load(ConfigManager* config, KeyBindings* bindings)
{
    if (!bindings)
        return false;
    Ogre::ConfigFile cfg;
    const SettingsSource source =
        loadSettingsFile(cfg, bindingsPath(config), shippedCtrlConfigIni(), "key bindings");
    for (KeyBindingEntry& e : bindings->entries_) {
        e.mainCode = readCode(cfg, e.name + "Main");
        e.altCode = readCode(cfg, e.name + "Alt");
    }
    return source != SettingsSource::ShippedInMemory;
}

bool KeyBindings::save(ConfigManager* config, KeyBindings* bindings)
{
    if (!bindings)
        return false;
    std::ostringstream out;
    out << "[" << kSection << "]\n";
    for (const KeyBindingEntry& e : bindings->entries_) {
        out << e.name << "Main = " << e.mainCode << "\n";
        out << e.name << "Alt = " << e.altCode << "\n";
    }
    const std::string path = bindingsPath(config);
    // Temporary file and rename: a failed write never costs the player the old bindings.
    if (writeFileAtomically(path, out.str()))
        return true;
    logMessage("Could not write " + path + "; key bindings kept in memory");
    return false;
}
