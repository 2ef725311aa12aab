#pragma once
// One entry of the loadcase list; it owns the entry's data.
#include "entry_record/actions_data.h"

namespace model {

class CActions : public SerializableObject {
  public:
    static constexpr std::string_view kClassName = "CActions";

    // An entry with empty data, as created by class name before it is read.
    CActions() = default;

    // Builds the entry and its data, copying both keys and the text.
    CActions(const CPersistentKey::Bytes& bodyKey, const CPersistentKey::Bytes& entityKey, std::string text,
             EntryKind kind)
        : data_(CPersistentKey(bodyKey), CPersistentKey(entityKey), std::move(text), kind) {}

    // The entry's data.
    const CActionsData& data() const { return data_; }
    CActionsData& data() { return data_; }

    // Shortcuts to the data's fields.
    const CPersistentKey& bodyKey() const { return data_.bodyKey(); }
    const CPersistentKey& entityKey() const { return data_.entityKey(); }
    const std::string& text() const { return data_.text(); }
    EntryKind kind() const { return data_.kind(); }
    void setText(std::string text) { data_.setText(std::move(text)); }

    friend bool operator==(const CActions& a, const CActions& b) { return a.data_ == b.data_; }

    std::string_view className() const override { return kClassName; }
    std::uint16_t schema() const override { return 1; }

    // The entry writes nothing of its own: only its data, in place.
    void store(loadcase::ArchiveWriter& out) const override;
    void load(loadcase::ArchiveReader& in) override;

  private:
    CActionsData data_;
};

}  // namespace model
