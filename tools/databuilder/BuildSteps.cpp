#include "BuildStep.h"

#include <algorithm>
#include <ostream>
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

int runBuildSteps(BuildContext& ctx, const std::vector<std::string>& only, std::ostream& errors)
{
    auto& all = steps();
    std::stable_sort(all.begin(), all.end(), [](const Step& a, const Step& b) { return a.order < b.order; });
    int failed = 0;
    size_t ran = 0;
    for (const Step& step : all) {
        if (!only.empty() && std::find(only.begin(), only.end(), step.name) == only.end())
            continue;
        ++ran;
        if (!step.fn(ctx)) {
            errors << "databuilder: step '" << step.name << "' failed\n";
            ++failed;
        }
    }
    ctx.log << "databuilder: " << ran - failed << " of " << ran << " steps done\n";
    return failed;
}
