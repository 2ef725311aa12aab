#include "documents/entity_signature.h"

#include <cmath>
#include <cstdio>

namespace hostapp {

Signature& Signature::add(std::int64_t code) {
    auto bits = static_cast<std::uint64_t>(code);
    for (int i = 0; i < 8; ++i) {
        hash_ ^= (bits >> (8 * i)) & 0xFFu;
        hash_ *= 1099511628211ull;  // FNV-1a prime
    }
    return *this;
}

Signature& Signature::add(double value) {
    // -0 and +0 and tiny noise around zero all round to the same step.
    const double steps = std::round(value / quantum_);
    return add(static_cast<std::int64_t>(steps == 0.0 ? 0.0 : steps));
}

Signature& Signature::add(const host::Point3& p) {
    return add(p.x).add(p.y).add(p.z);
}

namespace {
host::KeyBytes toBytes(const std::string& text) {
    return host::KeyBytes(text.begin(), text.end());
}

std::string hex(std::uint64_t value) {
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(value));
    return buffer;
}
}  // namespace

host::KeyBytes makeBodyKey(std::uint64_t bodyHash, int occurrence) {
    return toBytes("B" + hex(bodyHash) + "#" + std::to_string(occurrence));
}

host::KeyBytes makeEntityKey(char kind, std::uint64_t bodyHash, std::uint64_t entityHash, int occurrence) {
    return toBytes(std::string(1, kind) + hex(bodyHash) + hex(entityHash) + "#" + std::to_string(occurrence));
}

int OccurrenceCounter::next(std::uint64_t hash) {
    auto [it, inserted] = seen_.try_emplace(hash, 0);
    return inserted ? 0 : ++it->second;
}

}  // namespace hostapp
