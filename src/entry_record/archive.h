#pragma once
// An archive of one direction, handed to Serialize: either a writer or a reader.
#include <stdexcept>

#include "entry_record/archive_reader.h"
#include "entry_record/archive_writer.h"

namespace loadcase {

class Archive {
  public:
    // An archive that stores into `writer`.
    explicit Archive(ArchiveWriter& writer) : writer_(&writer) {}

    // An archive that loads from `reader`.
    explicit Archive(ArchiveReader& reader) : reader_(&reader) {}

    // True when objects are written.
    bool IsStoring() const { return writer_ != nullptr; }

    // True when objects are read.
    bool IsLoading() const { return reader_ != nullptr; }

    // The writer of a storing archive.
    ArchiveWriter& writer() const {
        if (writer_ == nullptr) throw std::logic_error("archive is loading, not storing");
        return *writer_;
    }

    // The reader of a loading archive.
    ArchiveReader& reader() const {
        if (reader_ == nullptr) throw std::logic_error("archive is storing, not loading");
        return *reader_;
    }

  private:
    ArchiveWriter* writer_ = nullptr;
    ArchiveReader* reader_ = nullptr;
};

}  // namespace loadcase
