#pragma once
// Persistent keys made from geometry. A key must find the same face, edge or vertex again when
// the same file is opened another time, whatever objects the reader made, so it is built from
// what the geometry is rather than from where it sits in memory:
//
//   body key:   "B" + hash of the solid's signature                     + "#" + occurrence
//   entity key: "F" | "E" | "V" + the body's hash + hash of the entity's signature + "#" + occurrence
//
// A signature is the entity's geometric type followed by rounded measures (area or length or
// volume, centroid, box corners). Rounding to a quantum tied to the model size absorbs the last
// bits a reader may change. Two entities of one body with equal signatures (rare: mirrored twins
// have different centroids) are told apart by the occurrence, counted in the body's own order.
#include <cstdint>
#include <string>
#include <unordered_map>

#include "host/geometry.h"

namespace hostapp {

class Signature {
  public:
    explicit Signature(double quantum) : quantum_(quantum) {}

    Signature& add(std::int64_t code);
    // A measure rounded to the quantum.
    Signature& add(double value);
    Signature& add(const host::Point3& p);

    std::uint64_t hash() const { return hash_; }

  private:
    double quantum_;
    std::uint64_t hash_ = 1469598103934665603ull;  // FNV-1a offset basis
};

// "B" + 16 hex digits + "#" + occurrence, as bytes.
host::KeyBytes makeBodyKey(std::uint64_t bodyHash, int occurrence);
// `kind` ('F', 'E' or 'V') + body hash + entity hash + "#" + occurrence, as bytes.
host::KeyBytes makeEntityKey(char kind, std::uint64_t bodyHash, std::uint64_t entityHash, int occurrence);

// Gives each hash its occurrence number: 0 for the first time a hash is met, 1 for the second...
class OccurrenceCounter {
  public:
    int next(std::uint64_t hash);

  private:
    std::unordered_map<std::uint64_t, int> seen_;
};

}  // namespace hostapp
