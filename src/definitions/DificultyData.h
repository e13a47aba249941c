#pragma once
// The play's global tuning numbers: the rests computer-driven Ovni take between bursts of fire.
// One definition with a fixed name, "Dificulty".
#include <string>

class DificultyData {
public:
    static constexpr const char* kName = "Dificulty";

    DificultyData() = default;

    // Each returns whether it read or wrote the whole file; on failure the values stay as they were.
    virtual bool readIni();
    virtual bool readCache();
    virtual bool writeCache() const;
    virtual ~DificultyData() = default;

    const std::string& getName() const { return name_; }

    float aiOvRestScale = 0.0f;  // fixed 0.5 after either reader; not stored
    float aiOvRestFireL = 0.0f;
    float aiOvRestFireLadd = 0.0f;
    float aiOvRestFireH = 0.0f;
    float aiOvRestFireHadd = 0.0f;

private:
    std::string name_ = kName;
};
