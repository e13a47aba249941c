#include "world/BoxTree.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

using Ogre::Vector3;

struct Builder {
    const std::vector<Vector3>& boxMin;
    const std::vector<Vector3>& boxMax;
    std::vector<Vector3>& centre;
    float pad;
    std::vector<BoxTreeNode>& nodes;
    std::vector<uint32_t>& order;

    uint32_t build(uint32_t start, uint32_t end)
    {
        const uint32_t index = static_cast<uint32_t>(nodes.size());
        nodes.emplace_back();
        Vector3 lo(std::numeric_limits<float>::max()), hi(-std::numeric_limits<float>::max());
        Vector3 clo = lo, chi = hi;
        for (uint32_t i = start; i < end; ++i) {
            const uint32_t t = order[i];
            lo.makeFloor(boxMin[t]);
            hi.makeCeil(boxMax[t]);
            clo.makeFloor(centre[t]);
            chi.makeCeil(centre[t]);
        }
        nodes[index].min = lo - Vector3(pad);
        nodes[index].max = hi + Vector3(pad);
        const Vector3 spread = chi - clo;
        if (end - start <= 4 || spread.x + spread.y + spread.z <= 0.0f) {
            nodes[index].first = start;
            nodes[index].count = end - start;
            return index;
        }
        const int axis = spread.x >= spread.y && spread.x >= spread.z ? 0 : (spread.y >= spread.z ? 1 : 2);
        const uint32_t mid = (start + end) / 2;
        std::nth_element(order.begin() + start, order.begin() + mid, order.begin() + end,
                         [&](uint32_t a, uint32_t b) { return centre[a][axis] < centre[b][axis]; });
        build(start, mid);
        const uint32_t second = build(mid, end);
        nodes[index].first = second;
        nodes[index].count = 0;
        return index;
    }
};

}  // namespace

void buildBoxTree(const std::vector<Vector3>& boxMin, const std::vector<Vector3>& boxMax, float pad,
                  std::vector<BoxTreeNode>& nodes, std::vector<uint32_t>& order, std::vector<Vector3>* centres)
{
    nodes.clear();
    const uint32_t count = static_cast<uint32_t>(std::min(boxMin.size(), boxMax.size()));
    order.resize(count);
    std::iota(order.begin(), order.end(), 0u);
    if (count == 0)
        return;
    std::vector<Vector3> own;
    std::vector<Vector3>& centre = centres ? *centres : own;
    centre.resize(count);
    Builder b{boxMin, boxMax, centre, pad, nodes, order};
    for (uint32_t t = 0; t < count; ++t)
        b.centre[t] = (boxMin[t] + boxMax[t]) * 0.5f;
    nodes.reserve(2 * count / 4 + 2);
    b.build(0, count);
}

bool enterBox(const Vector3& min, const Vector3& max, const Vector3& origin, const Vector3& direction, float& entry)
{
    float t0 = 0.0f;
    float t1 = std::numeric_limits<float>::infinity();
    for (int k = 0; k < 3; ++k) {
        if (direction[k] == 0.0f) {
            if (origin[k] < min[k] || origin[k] > max[k])
                return false;
            continue;
        }
        const float inverse = 1.0f / direction[k];
        float a = (min[k] - origin[k]) * inverse;
        float b = (max[k] - origin[k]) * inverse;
        if (a > b)
            std::swap(a, b);
        t0 = std::max(t0, a);
        t1 = std::min(t1, b);
        if (t0 > t1)
            return false;
    }
    entry = t0;
    return true;
}
