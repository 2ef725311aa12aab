#include "entry_record/persistent_key.h"

#include "entry_record/archive_reader.h"
#include "entry_record/archive_writer.h"

namespace model {

void CPersistentKey::store(loadcase::ArchiveWriter& out) const {
    out.writeByteArray(bytes_);
}

void CPersistentKey::load(loadcase::ArchiveReader& in) {
    bytes_ = in.readByteArray();
}

}  // namespace model
