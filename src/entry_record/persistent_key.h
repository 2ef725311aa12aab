#pragma once
// The host's persistent identifier of a body or entity, kept as an opaque byte array.
#include <cstdint>
#include <vector>

#include "entry_record/serializable_object.h"

namespace model {

class CPersistentKey : public SerializableObject {
  public:
    using Bytes = std::vector<std::uint8_t>;

    static constexpr std::string_view kClassName = "CPersistentKey";

    // An empty key (no body or entity: assembly documents, tables, settings).
    CPersistentKey() = default;

    // A copy of the host's key bytes; an absent host key is passed as an empty array.
    explicit CPersistentKey(Bytes bytes) : bytes_(std::move(bytes)) {}

    // The key bytes, as the host wants them back when it looks the entity up again.
    const Bytes& bytes() const { return bytes_; }

    // True when the key holds no bytes.
    bool empty() const { return bytes_.empty(); }

    friend bool operator==(const CPersistentKey& a, const CPersistentKey& b) { return a.bytes_ == b.bytes_; }

    std::string_view className() const override { return kClassName; }
    std::uint16_t schema() const override { return 1; }

    // 32-bit signed byte count, then the bytes.
    void store(loadcase::ArchiveWriter& out) const override;
    void load(loadcase::ArchiveReader& in) override;

  private:
    Bytes bytes_;
};

}  // namespace model
