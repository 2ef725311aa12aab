#include "entry_record/serializable_object.h"

#include "entry_record/archive.h"

namespace model {

void SerializableObject::Serialize(loadcase::Archive& archive) {
    if (archive.IsStoring()) {
        store(archive.writer());
    } else {
        load(archive.reader());
    }
}

}  // namespace model
