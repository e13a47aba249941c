#include "platform/Platform.h"

#include <OgreLogManager.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

LocalTime localTime()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&secs, &tm);
    LocalTime t;
    t.year = static_cast<uint16_t>(tm.tm_year + 1900);
    t.month = static_cast<uint16_t>(tm.tm_mon + 1);
    t.dayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    t.day = static_cast<uint16_t>(tm.tm_mday);
    t.hour = static_cast<uint16_t>(tm.tm_hour);
    t.minute = static_cast<uint16_t>(tm.tm_min);
    t.second = static_cast<uint16_t>(tm.tm_sec);
    t.milliseconds = static_cast<uint16_t>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return t;
}

namespace {

// The message cut into lines of at most `width` characters, at spaces where it can be.
std::vector<std::string> wrapText(const std::string& text, size_t width)
{
    std::vector<std::string> lines;
    std::string rest = text;
    while (!rest.empty()) {
        const size_t newline = rest.find('\n');
        std::string line = rest.substr(0, newline);
        if (line.size() > width) {
            const size_t space = line.rfind(' ', width);
            line = line.substr(0, space == std::string::npos || space == 0 ? width : space);
        }
        lines.push_back(line);
        rest.erase(0, line.size());
        if (!rest.empty() && (rest[0] == ' ' || rest[0] == '\n'))
            rest.erase(0, 1);
    }
    return lines;
}

// A small window of the game's own with the message and an OK button, answered by a click on
// it, Return, Escape, Space or the window's close button. Returns at once without a display.
void showFatalWindow(const std::string& title, const std::string& text)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    const std::vector<std::string> lines = wrapText(text, 72);
    const int lineHeight = 16;
    const int width = 480;
    const int height = 32 + static_cast<int>(std::min<size_t>(lines.size(), 30)) * lineHeight + 56;
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 80, 80, width, height, 1,
                                              BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, title.c_str());
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XSelectInput(display, window, ExposureMask | KeyPressMask | ButtonPressMask);
    XMapRaised(display, window);
    GC gc = XCreateGC(display, window, 0, nullptr);
    XSetForeground(display, gc, BlackPixel(display, screen));
    XFontStruct* font = XLoadQueryFont(display, "fixed");
    if (font)
        XSetFont(display, gc, font->fid);
    const int buttonW = 80, buttonH = 26;
    const int buttonX = (width - buttonW) / 2, buttonY = height - buttonH - 14;

    for (bool answered = false; !answered;) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case Expose:
            if (event.xexpose.count != 0)
                break;
            for (size_t i = 0; i < lines.size() && i < 30; ++i)
                XDrawString(display, window, gc, 16, 28 + static_cast<int>(i) * lineHeight, lines[i].c_str(),
                            static_cast<int>(lines[i].size()));
            XDrawRectangle(display, window, gc, buttonX, buttonY, buttonW, buttonH);
            XDrawString(display, window, gc, buttonX + buttonW / 2 - 6, buttonY + 17, "OK", 2);
            break;
        case KeyPress: {
            const KeySym key = XLookupKeysym(&event.xkey, 0);
            answered = key == XK_Return || key == XK_KP_Enter || key == XK_Escape || key == XK_space;
            break;
        }
        case ButtonPress:
            answered = event.xbutton.x >= buttonX && event.xbutton.x <= buttonX + buttonW &&
                       event.xbutton.y >= buttonY && event.xbutton.y <= buttonY + buttonH;
            break;
        case ClientMessage:
            answered = static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow;
            break;
        default:
            break;
        }
    }
    if (font)
        XFreeFont(display, font);
    XFreeGC(display, gc);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
}

}  // namespace

void showFatalMessage(const std::string& title, const std::string& text)
{
    std::cerr << title << "\n" << text << std::endl;
    if (auto* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage(title + " " + text, Ogre::LML_CRITICAL);
    // Outside a terminal the player would see nothing of the lines above.
    showFatalWindow(title, text);
}

void showWarning(const std::string& text)
{
    std::cerr << text << std::endl;
    if (auto* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage(text, Ogre::LML_CRITICAL);
}

namespace {
// Code points of 0x80..0x9F in Windows-1252; 0 where the code page has no character.
constexpr uint16_t kHighTable[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}
}  // namespace

uint32_t cp1252ToCodePoint(unsigned char c)
{
    if (c >= 0x80 && c < 0xA0)
        return kHighTable[c - 0x80] ? kHighTable[c - 0x80] : 0xFFFD;
    return c;
}

unsigned char codePointToCp1252(uint32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<unsigned char>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHighTable[i] != 0 && kHighTable[i] == cp)
            return static_cast<unsigned char>(0x80 + i);
    return 0;
}

std::string cp1252ToUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        appendUtf8(out, cp1252ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::string utf8ToCp1252(const std::string& text)
{
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        uint32_t cp = 0;
        size_t len = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            len = 4;
        } else {
            out.push_back('?');
            ++i;
            continue;
        }
        if (i + len > text.size()) {
            out.push_back('?');
            break;
        }
        bool valid = true;
        for (size_t k = 1; k < len; ++k) {
            const auto cb = static_cast<unsigned char>(text[i + k]);
            if ((cb & 0xC0) != 0x80)
                valid = false;
            cp = (cp << 6) | (cb & 0x3F);
        }
        const unsigned char mapped = valid ? codePointToCp1252(cp) : 0;
        out.push_back(mapped ? static_cast<char>(mapped) : '?');
        i += valid ? len : 1;
    }
    return out;
}

bool fileExists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

bool isDirectory(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

std::vector<std::string> listDirectory(const std::string& path)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int openRegularFile(const std::string& path, RegularFile* why)
{
    const auto refuse = [why](RegularFile reason) {
        if (why)
            *why = reason;
        return -1;
    };
    // Non-blocking, so that opening a pipe does not wait for a writer; the check is made on
    // the handle, so the name cannot be swapped between a check and the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return refuse(errno == ENOENT || errno == ENOTDIR ? RegularFile::Missing : RegularFile::Unreadable);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return refuse(RegularFile::NotRegular);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (why)
        *why = RegularFile::Ok;
    return fd;
}

RegularFile readRegularFile(const std::string& path, size_t maxBytes, std::string& contents)
{
    RegularFile why = RegularFile::Ok;
    const int fd = openRegularFile(path, &why);
    if (fd < 0)
        return why;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return RegularFile::Unreadable;
    }
    if (static_cast<uintmax_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return RegularFile::TooLarge;
    }
    // Read up to one byte past its size: a file that grows past the limit meanwhile is refused
    // all the same, and one that grows within it is read as it now stands.
    std::string text;
    text.resize(static_cast<size_t>(st.st_size) + 1);
    size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd, &text[got], text.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return RegularFile::Unreadable;
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
        if (got == text.size() && got <= maxBytes)
            text.resize(std::min(maxBytes + 1, 2 * text.size()));
    }
    ::close(fd);
    if (got > maxBytes)
        return RegularFile::TooLarge;
    text.resize(got);
    contents = std::move(text);
    return RegularFile::Ok;
}

int createNewFile(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
}

RenameResult renameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return RenameResult::Done;
    if (errno == EEXIST)
        return RenameResult::TargetExists;
    if (errno != EINVAL && errno != ENOSYS)
        return RenameResult::Failed;
    // A file system without the exclusive rename: a new link fails on a taken name as well.
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno == EEXIST ? RenameResult::TargetExists : RenameResult::Failed;
    if (::unlink(from.c_str()) != 0) {
        ::unlink(to.c_str());
        return RenameResult::Failed;
    }
    return RenameResult::Done;
}

void keepEnginePluginsLoaded(const std::string& pluginList)
{
    std::ifstream in(pluginList);
    std::string folder;
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const auto trim = [](std::string s) {
            const auto b = s.find_first_not_of(" \t\r");
            const auto e = s.find_last_not_of(" \t\r");
            return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
        };
        const std::string key = trim(line.substr(0, eq));
        const std::string value = trim(line.substr(eq + 1));
        if (key == "PluginFolder") {
            folder = value;
        } else if (key == "Plugin" && !value.empty()) {
            const bool hasSuffix = value.size() > 3 && value.compare(value.size() - 3, 3, ".so") == 0;
            const std::string path =
                (folder.empty() ? std::string() : folder + "/") + value + (hasSuffix ? "" : ".so");
            // Same file as the engine's own load later; this handle is never closed.
            dlopen(path.c_str(), RTLD_LAZY | RTLD_GLOBAL | RTLD_NODELETE);
        }
    }
}

namespace {
std::array<uint32_t, 256>& keyTexts()
{
    static std::array<uint32_t, 256> texts{};
    return texts;
}
}  // namespace

void setKeyText(int keyCode, uint32_t codePoint)
{
    if (keyCode >= 0 && keyCode < 256)
        keyTexts()[static_cast<size_t>(keyCode)] = codePoint;
}

uint32_t keyText(int keyCode)
{
    return keyCode >= 0 && keyCode < 256 ? keyTexts()[static_cast<size_t>(keyCode)] : 0;
}

void offerWindowClose(void* displayHandle, unsigned long window)
{
    auto* display = static_cast<Display*>(displayHandle);
    if (!display || !window)
        return;
    // The engine offers a protocol atom of 0 in place of this one; a window manager would then
    // end the connection instead of asking.
    Atom protocol = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, static_cast<Window>(window), &protocol, 1);
    XFlush(display);
}

bool windowCloseRequested(void* displayHandle, unsigned long window)
{
    auto* display = static_cast<Display*>(displayHandle);
    if (!display || !window)
        return false;
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", True);
    bool requested = false;
    XEvent event;
    while (XCheckTypedWindowEvent(display, static_cast<Window>(window), ClientMessage, &event))
        if (event.xclient.format == 32 && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
            requested = true;
    return requested;
}

void keepGraphicsDriverLoaded()
{
#if defined(__SANITIZE_ADDRESS__)
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const char* name = info->dlpi_name;
            if (name && *name && (std::strstr(name, "_dri.so") || std::strstr(name, "libgallium") ||
                                  std::strstr(name, "libLLVM") || std::strstr(name, "libGL")))
                dlopen(name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
#endif
}

}  // namespace platform
