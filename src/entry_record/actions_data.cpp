#include "entry_record/actions_data.h"

#include "entry_record/archive_reader.h"
#include "entry_record/archive_writer.h"

namespace model {

void CActionsData::store(loadcase::ArchiveWriter& out) const {
    bodyKey_.store(out);
    entityKey_.store(out);
    out.writeString(text_);
    out.writeU32(kind_);
}

void CActionsData::load(loadcase::ArchiveReader& in) {
    // Read into a fresh record so that a failure part-way leaves this one unchanged.
    CActionsData read;
    read.bodyKey_.load(in);
    read.entityKey_.load(in);
    read.text_ = in.readString();
    read.kind_ = in.readU32();
    *this = std::move(read);
}

}  // namespace model
