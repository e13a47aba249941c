// Rebuilds every definition cache from the .ini sources in the game tree's definition folders.
#include "BuildStep.h"
#include "DefinitionSources.h"

#include "platform/Platform.h"

#include <map>
#include <ostream>
#include <set>

namespace {
struct DefinitionClass {
    const DefinitionFamily* family;
    DefinitionRebuildFn rebuild;
};

std::map<std::string, DefinitionClass>& definitionClasses()
{
    static std::map<std::string, DefinitionClass> all;
    return all;
}

std::set<std::string>& classesBuiltElsewhere()
{
    static std::set<std::string> all;
    return all;
}

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool buildDefinitions(BuildContext& ctx)
{
    std::set<std::string> folders;
    for (const auto& entry : definitionClasses())
        folders.insert(entry.second.family->sourceDir);

    bool ok = true;
    int built = 0;
    for (const std::string& folder : folders) {
        for (const std::string& file : platform::listDirectory(folder)) {
            if (!endsWith(file, ".ini"))
                continue;
            const std::string path = folder + file;
            const std::string name = file.substr(0, file.size() - 4);
            if (!ctx.onlyName.empty() && name != ctx.onlyName)
                continue;
            IniSource source;
            if (!source.load(path)) {
                ctx.log << "definitions: " << path << " cannot be read\n";
                ok = false;
                continue;
            }
            const std::string className = source.text("Build", "Class");
            if (className.empty()) {
                ctx.log << "definitions: " << path << " names no [Build] Class; not a definition\n";
                continue;
            }
            if (classesBuiltElsewhere().count(className))
                continue;
            const auto found = definitionClasses().find(className);
            if (found == definitionClasses().end()) {
                ctx.log << "definitions: " << path << ": unknown class '" << className << "'\n";
                ok = false;
                continue;
            }
            if (folder != found->second.family->sourceDir) {
                ctx.log << "definitions: " << path << ": a " << className << " source belongs in "
                        << found->second.family->sourceDir << "\n";
                ok = false;
                continue;
            }
            if (!found->second.rebuild(name)) {
                ctx.log << "definitions: " << path << ": the " << className << " cache was not written\n";
                ok = false;
                continue;
            }
            ++built;
        }
    }
    ctx.log << "definitions: " << built << " caches written\n";
    return ok;
}
}  // namespace

DefinitionClassRegistrar::DefinitionClassRegistrar(const char* className, const DefinitionFamily& family,
                                                   DefinitionRebuildFn fn)
{
    definitionClasses()[className] = DefinitionClass{&family, fn};
}

DefinitionClassBuiltElsewhere::DefinitionClassBuiltElsewhere(const char* className)
{
    classesBuiltElsewhere().insert(className);
}

DATABUILDER_STEP("definitions", 20, buildDefinitions);
