#pragma once
// The content of one loadcase entry: body key, entity key, entry text and kind.
#include <string>

#include "entry_record/entry_kind.h"
#include "entry_record/persistent_key.h"

namespace model {

class CActionsData : public SerializableObject {
  public:
    static constexpr std::string_view kClassName = "CActionsData";

    // Two empty keys, an empty text and kind 0 (the state an entry is read into).
    CActionsData() = default;

    // Copies both keys and the text.
    CActionsData(CPersistentKey bodyKey, CPersistentKey entityKey, std::string text, EntryKind kind)
        : bodyKey_(std::move(bodyKey)),
          entityKey_(std::move(entityKey)),
          text_(std::move(text)),
          kind_(kind) {}

    // Key of the body holding the entity; empty in assembly sessions and for tables and settings.
    const CPersistentKey& bodyKey() const { return bodyKey_; }

    // Key of the picked face, edge or vertex; empty when there is none.
    const CPersistentKey& entityKey() const { return entityKey_; }

    // The entry text (narrow characters).
    const std::string& text() const { return text_; }

    // Replaces the entry text (the explorer's Modify).
    void setText(std::string text) { text_ = std::move(text); }

    // The entry kind (0 to 8, see entry_kind.h).
    EntryKind kind() const { return kind_; }

    friend bool operator==(const CActionsData& a, const CActionsData& b) {
        return a.bodyKey_ == b.bodyKey_ && a.entityKey_ == b.entityKey_ && a.text_ == b.text_ &&
               a.kind_ == b.kind_;
    }

    std::string_view className() const override { return kClassName; }
    std::uint16_t schema() const override { return 1; }

    // Body key, entity key, text with its length prefix, 32-bit kind; no object tags of their own.
    void store(loadcase::ArchiveWriter& out) const override;
    void load(loadcase::ArchiveReader& in) override;

  private:
    CPersistentKey bodyKey_;
    CPersistentKey entityKey_;
    std::string text_;
    EntryKind kind_ = 0;
};

}  // namespace model
