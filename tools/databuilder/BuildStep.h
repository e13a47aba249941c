#pragma once
// One step of the data builder. Each file of the builder registers its steps with
// DATABUILDER_STEP; they run in the order of their numbers from the game's working directory
// (Bin/Game), so the game's relative paths ("../../Data/...") hold.
#include <iosfwd>
#include <string>
#include <vector>

struct BuildContext {
    std::string dataDir;  // the repository's data/ folder (readable sources of the game tables)
    std::ostream& log;
    // When set, the definition and mode-rules steps build the caches of this name only (a program
    // that rebuilds one source at a time; the builder itself builds everything).
    std::string onlyName = {};
};

using BuildStepFn = bool (*)(BuildContext&);

struct BuildStepRegistrar {
    BuildStepRegistrar(const char* name, int order, BuildStepFn fn);
};

// Runs the registered steps in order (only the named ones when `only` is not empty); the number
// that failed, each named on `errors`.
int runBuildSteps(BuildContext& ctx, const std::vector<std::string>& only, std::ostream& errors);

#define DATABUILDER_STEP_CAT2(a, b) a##b
#define DATABUILDER_STEP_CAT(a, b) DATABUILDER_STEP_CAT2(a, b)
#define DATABUILDER_STEP(name, order, fn) \
    static BuildStepRegistrar DATABUILDER_STEP_CAT(buildStep_, __LINE__)(name, order, fn)
