#include "model/persistent_key.h"

#include "loadcase/archive_reader.h"
#include "loadcase/archive_writer.h"

namespace model {

void CPersistentKey::store(loadcase::ArchiveWriter& out) const {
    out.writeByteArray(bytes_);
}

void CPersistentKey::load(loadcase::ArchiveReader& in) {
    bytes_ = in.readByteArray();
}

}  // namespace model
