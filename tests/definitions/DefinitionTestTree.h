#pragma once
// A private, nearly empty game tree with the working directory in Bin/Game, for tests that read
// and write definition sources and caches.
#include "support/TestSupport.h"

#include <cstdint>
#include <string>
#include <vector>

struct DefinitionTestTree {
    testsupport::TempGameTree tree{"Bin/Game/plugins.cfg"};
    testsupport::ScopedWorkDir cwd{tree.workDir()};

    void writeSource(const std::string& folder, const std::string& name, const std::string& text) const
    {
        testsupport::writeTextFile(tree.path(folder + "/" + name + ".ini"), text);
    }
    std::string cachePath(const std::string& name, const std::string& extension) const
    {
        return tree.path("Data/System/" + name + "." + extension);
    }
    std::vector<uint8_t> readBytes(const std::string& path) const
    {
        const std::string text = testsupport::readTextFile(path);
        return {text.begin(), text.end()};
    }
    void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) const
    {
        testsupport::writeTextFile(path, std::string(bytes.begin(), bytes.end()));
    }
};
