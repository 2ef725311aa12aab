#pragma once
// Base of the objects that travel through the binary object archive.
#include <cstdint>
#include <string_view>

namespace loadcase {
class Archive;
class ArchiveReader;
class ArchiveWriter;
}  // namespace loadcase

namespace model {

class SerializableObject {
  public:
    virtual ~SerializableObject() = default;

    // The class name written into the archive's new-class tag (at most 63 characters).
    virtual std::string_view className() const = 0;

    // The schema number written with the class name; reading refuses any other.
    virtual std::uint16_t schema() const = 0;

    // Writes the object's own fields (the class tag is the caller's).
    virtual void store(loadcase::ArchiveWriter& out) const = 0;

    // Replaces the object's fields by those read; throws loadcase::ArchiveError on bad input.
    virtual void load(loadcase::ArchiveReader& in) = 0;

    // Stores or loads the object, by the archive's direction.
    void Serialize(loadcase::Archive& archive);

  protected:
    SerializableObject() = default;
    SerializableObject(const SerializableObject&) = default;
    SerializableObject& operator=(const SerializableObject&) = default;
    SerializableObject(SerializableObject&&) = default;
    SerializableObject& operator=(SerializableObject&&) = default;
};

}  // namespace model
