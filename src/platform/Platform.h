#pragma once
// The few operating-system services the game needs, behind one small interface.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct LocalTime {
    uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
    uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};
LocalTime localTime();

// A fatal error the player must see: written to standard error and to the engine's log
// (when one exists) under the given title, then shown in a small window (where an X display can
// be reached) until the player answers it.
void showFatalMessage(const std::string& title, const std::string& text);

// A line of the game's own that the player may need (a settings file replaced, a table missing):
// written to the engine's log and to standard error, where nothing of the engine's goes.
void showWarning(const std::string& text);

// Windows-1252 text (the game's 8-bit text) to UTF-8 and back; characters that code page lacks
// become '?'.
std::string cp1252ToUtf8(const std::string& text);
std::string utf8ToCp1252(const std::string& text);
// One Unicode code point to Windows-1252, 0 when the code page lacks it.
unsigned char codePointToCp1252(uint32_t codePoint);
uint32_t cp1252ToCodePoint(unsigned char c);

bool fileExists(const std::string& path);
bool isDirectory(const std::string& path);
// Names (not paths) of the entries of a folder, sorted; empty when it cannot be read.
std::vector<std::string> listDirectory(const std::string& path);

// Files that must be plain files. A pipe, device or folder is refused on the open handle itself,
// which is opened without waiting for a writer, so nothing here can block on one.
enum class RegularFile { Ok, Missing, NotRegular, TooLarge, Unreadable };
// Reads the whole of a regular file of at most maxBytes.
RegularFile readRegularFile(const std::string& path, size_t maxBytes, std::string& contents);
// A descriptor open for reading on a regular file (links followed), or -1 and the reason.
int openRegularFile(const std::string& path, RegularFile* why = nullptr);

// Creates a file that did not exist in any form: no link is followed and no existing file is
// opened. A descriptor open for writing, or -1 (errno says why: EEXIST when the name is taken).
int createNewFile(const std::string& path);
enum class RenameResult { Done, TargetExists, Failed };
// Renames `from` (a file or a link, never followed) to `to` unless `to` exists in any form.
RenameResult renameNoReplace(const std::string& from, const std::string& to);

// Loads the engine plug-ins that a plug-in list ("PluginFolder=" and "Plugin=" lines) names and
// keeps them mapped until the process ends. An exception thrown inside a plug-in while the engine
// starts is destroyed after the engine has unloaded that plug-in; its destructor must still be
// there. Missing files and a missing list are left to the engine to report.
void keepEnginePluginsLoaded(const std::string& pluginList);

// Typed characters. The frame listener's key listener records the character each key press
// produced (keyboard layout and dead keys are the X server's work); a key that produced none
// records 0. Key codes are OIS key codes.
void setKeyText(int keyCode, uint32_t codePoint);
// The character of the last press of that key, 0 for none or an unknown key code.
uint32_t keyText(int keyCode);

// The window's close button, for an X window of the given display connection: the window manager
// is asked to send it as a WM_DELETE_WINDOW message (rather than end the connection), and each
// check takes the close messages that arrived and tells whether there was one.
void offerWindowClose(void* display, unsigned long window);
bool windowCloseRequested(void* display, unsigned long window);

// In sanitizer builds: keeps the loaded graphics driver modules mapped until the process ends.
// The driver is unloaded when the engine closes its display, and the leak report at exit could
// then neither name nor suppress the driver's own leaks. Does nothing in other builds.
void keepGraphicsDriverLoaded();

}  // namespace platform
