#include "support/TestSupport.h"

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

std::string gameTreeDir() { return GAME_TREE_DIR; }
std::string repoDataDir() { return REPO_DATA_DIR; }

TempGameTree::TempGameTree(std::initializer_list<const char*> parts)
{
    static std::atomic<int> counter{0};
    const fs::path base = fs::temp_directory_path() /
                          ("vantorel_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(base);
    root_ = base.string();
    for (const char* d : {"Bin/Game", "Saves", "Resultados", "Video", "Data/System", "Data/GamePlay",
                          "Data/Effects", "Data/Reactor", "Data/Scenes", "Data/Cutscene", "Data/GUI",
                          "Objects/Warheads"})
        fs::create_directories(base / d);
    const fs::path src = gameTreeDir();
    const auto options = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
    if (parts.size() == 0) {
        fs::copy(src, base, options);
    } else {
        for (const char* p : parts) {
            fs::create_directories((base / p).parent_path());
            fs::copy(src / p, base / p, options);
        }
    }
}

TempGameTree::~TempGameTree()
{
    std::error_code ec;
    fs::remove_all(root_, ec);
}

ScopedWorkDir::ScopedWorkDir(const std::string& dir) : previous_(fs::current_path().string())
{
    fs::current_path(dir);
}

ScopedWorkDir::~ScopedWorkDir()
{
    std::error_code ec;
    fs::current_path(previous_, ec);
}

std::string readTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeTextFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

FullDisk::FullDisk(size_t bytes)
{
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    previousLimit_ = limit.rlim_cur;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        throw std::runtime_error("cannot lower the file-size limit");
}

FullDisk::~FullDisk()
{
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(previousLimit_);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler_);
}

}  // namespace testsupport
