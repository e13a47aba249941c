#include "BuildStep.h"

#include <OgreLogManager.h>

#include <algorithm>
#include <iostream>
#include <vector>

namespace {
struct Step {
    std::string name;
    int order;
    BuildStepFn fn;
};

std::vector<Step>& steps()
{
    static std::vector<Step> all;
    return all;
}
}  // namespace

BuildStepRegistrar::BuildStepRegistrar(const char* name, int order, BuildStepFn fn)
{
    steps().push_back({name, order, fn});
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: databuilder <data folder>  (run from the game's Bin/Game folder)\n";
        return 2;
    }
    // The game's readers log through the engine; keep that quiet here. Static, so it outlives
    // the engine that steps may make on first use.
    static Ogre::LogManager logs;
    logs.createLog("databuilder.log", true, false, true);

    BuildContext ctx{argv[1], std::cout};
    auto& all = steps();
    std::stable_sort(all.begin(), all.end(), [](const Step& a, const Step& b) { return a.order < b.order; });
    int failed = 0;
    for (const Step& step : all) {
        if (!step.fn(ctx)) {
            std::cerr << "databuilder: step '" << step.name << "' failed\n";
            ++failed;
        }
    }
    std::cout << "databuilder: " << all.size() - failed << " of " << all.size() << " steps done\n";
    return failed ? 1 : 0;
}
