#pragma once
// Objects in the archive: a class tag, then the object's own fields.
#include <memory>

#include "entry_record/archive_reader.h"
#include "entry_record/archive_writer.h"
#include "entry_record/class_registry.h"

namespace loadcase {

// Writes the class tag of `object` and then its fields.
void writeObject(ArchiveWriter& out, const model::SerializableObject& object);

// Reads a class tag, creates the object by its class name through `registry` and reads its fields.
// Throws ArchiveError for an unknown class, a schema other than the registered one, or bad fields.
std::unique_ptr<model::SerializableObject> readObject(ArchiveReader& in,
                                                      const model::ClassRegistry& registry);

}  // namespace loadcase
