#pragma once
// A bounding-volume tree over axis-aligned boxes, shared by the mesh cache (a mesh's triangles)
// and the damage registry (the bodies' world boxes).
#include <OgreVector.h>

#include <cstdint>
#include <vector>

struct BoxTreeNode {
    Ogre::Vector3 min, max;  // padded
    uint32_t first = 0;      // leaf: first entry of the item order; inner: index of the second child
    uint32_t count = 0;      // items in a leaf, 0 for an inner node (its first child follows it)
};

// Builds the nodes over the item boxes, splitting at the median of the widest spread of their
// centres down to four items a leaf; every node box is padded by pad. order lists the item
// numbers in leaf order. No items give no nodes. centres is scratch, kept by a caller that
// builds often.
void buildBoxTree(const std::vector<Ogre::Vector3>& boxMin, const std::vector<Ogre::Vector3>& boxMax, float pad,
                  std::vector<BoxTreeNode>& nodes, std::vector<uint32_t>& order,
                  std::vector<Ogre::Vector3>* centres = nullptr);

// The ray parameter, from 0 on, where the ray enters the box; false when it misses.
bool enterBox(const Ogre::Vector3& min, const Ogre::Vector3& max, const Ogre::Vector3& origin,
              const Ogre::Vector3& direction, float& entry);
