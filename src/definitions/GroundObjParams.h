#pragma once
// A ground object: an emplacement, building or radar post standing on the ground.
#include "definitions/goParams.h"

class GroundObjParams : public goParams {
public:
    static constexpr uint32_t kTypeCode = 2;

    // Defaults, then the cache "<name>.ZVO".
    explicit GroundObjParams(const std::string& name);

    bool readIni() override;
    bool readCache() override;
    bool writeCache() const override;
    // 1 to 5 give 30 to 34, anything else 35.
    uint32_t mapCode(uint32_t code) const override;

    Ogre::Vector3 groundOffset = Ogre::Vector3::ZERO;
    Ogre::Vector3 MainWeapPos = Ogre::Vector3::ZERO;

protected:
    GroundObjParams(const std::string& name, DefaultsOnly);
};
