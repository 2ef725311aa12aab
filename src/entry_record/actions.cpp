#include "entry_record/actions.h"

namespace model {

void CActions::store(loadcase::ArchiveWriter& out) const {
    data_.store(out);
}

void CActions::load(loadcase::ArchiveReader& in) {
    data_.load(in);
}

}  // namespace model
