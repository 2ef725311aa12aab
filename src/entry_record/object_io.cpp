#include "entry_record/object_io.h"

namespace loadcase {

void writeObject(ArchiveWriter& out, const model::SerializableObject& object) {
    out.writeClassTag(object.className(), object.schema());
    object.store(out);
}

std::unique_ptr<model::SerializableObject> readObject(ArchiveReader& in,
                                                      const model::ClassRegistry& registry) {
    const std::size_t at = in.offset();
    const ClassRef ref = in.readClassTag();
    auto object = registry.create(ref.name);
    if (!object) in.fail("the unknown class name \"" + ref.name + "\"", at);
    if (object->schema() != ref.schema) {
        in.fail("class " + ref.name + " has schema " + std::to_string(ref.schema) + " instead of " +
                    std::to_string(object->schema()),
                at);
    }
    object->load(in);
    return object;
}

}  // namespace loadcase
