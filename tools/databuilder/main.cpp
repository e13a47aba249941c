#include "BuildStep.h"

#include <OgreLogManager.h>

#include <iostream>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: databuilder <data folder> [step name...]  (run from the game's Bin/Game folder;\n"
                     "       with step names, only those steps run)\n";
        return 2;
    }
    // The game's readers log through the engine; keep that quiet here. Static, so it outlives
    // the engine that steps may make on first use.
    static Ogre::LogManager logs;
    logs.createLog("databuilder.log", true, false, true);

    BuildContext ctx{argv[1], std::cout};
    return runBuildSteps(ctx, std::vector<std::string>(argv + 2, argv + argc), std::cerr) ? 1 : 0;
}
