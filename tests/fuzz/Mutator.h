#pragma once
// Damages a file's bytes the ways a disk, a bad copy or a hostile hand would: bit flips, cuts,
// huge counts and sizes, non-finite and absurd floats, random spans, spans cut out or repeated;
// text sources also get numbers swapped for extremes, names that point nowhere, over-long
// values and lines dropped or repeated. A case is a pure function of its seed.
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// splitmix64: a seed per case that does not depend on the cases before it.
uint64_t mixSeed(uint64_t x);

class CaseRandom {
public:
    explicit CaseRandom(uint64_t seed) : state_(seed) {}
    uint64_t next();
    // 0 .. n-1 (0 when n is 0).
    size_t below(size_t n) { return n ? static_cast<size_t>(next() % n) : 0; }
    bool chance(int percent) { return static_cast<int>(below(100)) < percent; }

private:
    uint64_t state_;
};

// 1 to 3 damages of a binary file; `what` gets a short description of each.
std::vector<uint8_t> mutateBinary(const std::vector<uint8_t>& original, CaseRandom& random, std::string& what);
// The same for a text source: mostly damage that keeps it readable as text, sometimes binary.
std::vector<uint8_t> mutateText(const std::vector<uint8_t>& original, CaseRandom& random, std::string& what);

}  // namespace fuzz
