#pragma once
// An aircraft. Same fields and cache layout as a ground object, its own type code and role.
#include "definitions/goParams.h"

class AirObjParams : public goParams {
public:
    static constexpr uint32_t kTypeCode = 4;

    // Defaults, then the cache "<name>.ZVO".
    explicit AirObjParams(const std::string& name);

    bool readIni() override;
    bool readCache() override;
    bool writeCache() const override;
    // Always 1.
    uint32_t mapCode(uint32_t code) const override;

    Ogre::Vector3 groundOffset = Ogre::Vector3::ZERO;
    Ogre::Vector3 MainWeapPos = Ogre::Vector3::ZERO;

protected:
    AirObjParams(const std::string& name, DefaultsOnly);
};
