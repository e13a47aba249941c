#pragma once
#include "core/HeadlessEngine.h"

// Shared helpers for the tests.
#include <memory>
#include <string>

namespace Ogre {
class Root;
class LogManager;
}

namespace testsupport {

// The game tree laid out by the build (build dir/game).
std::string gameTreeDir();
// The repository's data/ folder.
std::string repoDataDir();

// A private copy of (part of) the game tree in a temporary folder, removed at the end.
// Tests that write saves, settings or results work in one of these.
class TempGameTree {
public:
    // Copies the whole tree when `parts` is empty, otherwise only the listed relative paths
    // (folders are always created: Bin/Game, Saves, Data/System, ...).
    explicit TempGameTree(std::initializer_list<const char*> parts = {});
    ~TempGameTree();
    TempGameTree(const TempGameTree&) = delete;
    TempGameTree& operator=(const TempGameTree&) = delete;

    const std::string& root() const { return root_; }
    std::string workDir() const { return root_ + "/Bin/Game"; }
    std::string path(const std::string& relative) const { return root_ + "/" + relative; }

private:
    std::string root_;
};

// Runs the current directory change for a scope (the game's paths are relative to Bin/Game).
class ScopedWorkDir {
public:
    explicit ScopedWorkDir(const std::string& dir);
    ~ScopedWorkDir();

private:
    std::string previous_;
};

// A headless engine: no window, no render system; scene nodes, entities, meshes, materials
// and ray queries work.
class HeadlessOgre : public HeadlessEngine {
public:
    HeadlessOgre() = default;
};

std::string readTextFile(const std::string& path);
void writeTextFile(const std::string& path, const std::string& text);

// A full disk for a scope: every write of this process to a regular file fails past `bytes`
// (the file-size limit, its signal ignored).
class FullDisk {
public:
    explicit FullDisk(size_t bytes = 0);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    unsigned long long previousLimit_ = 0;
    void (*previousHandler_)(int) = nullptr;
};

}  // namespace testsupport
