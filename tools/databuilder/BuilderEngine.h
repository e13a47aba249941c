#pragma once
// The engine without a window, for builder steps that make meshes or scenes. Made on first use
// and kept until the builder ends.
namespace Ogre {
class Root;
}

Ogre::Root& builderEngine();
