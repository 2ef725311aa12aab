#pragma once
// The ordered list of the current loadcase's entries (insertion order is file order).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "entry_record/actions.h"

namespace loadcase {

class EntryList {
  public:
    using Bytes = model::CPersistentKey::Bytes;

    // What `add` did.
    enum class AddOutcome {
        Duplicate,      // an entry with the same text already stands for this entity: nothing added
        AddedNewText,   // added; no entry had this text before (the explorer adds a tree line)
        AddedSameText,  // added; the text was already there for another entity (no new tree line)
    };

    // Appends an entry unless one with the same text already stands for the same entity. A call that
    // names no entity (empty entity key) counts as standing for every entity.
    AddOutcome add(const Bytes& bodyKey, const Bytes& entityKey, std::string text, model::EntryKind kind);

    // Removes every entry of `kind`, then appends one with `text` and empty keys.
    void replaceKind(std::string text, model::EntryKind kind);

    // Appends `entry` as it stands (reading a file).
    void append(model::CActions entry) { entries_.push_back(std::move(entry)); }

    // Removes every entry whose text is `text`, whatever its kind; answers how many.
    std::size_t removeText(std::string_view text);

    // Removes the entries of `kind` that stand for this entity and whose text begins with `head`;
    // answers their texts.
    std::vector<std::string> removeForEntity(const Bytes& bodyKey, const Bytes& entityKey,
                                             std::string_view head, model::EntryKind kind);

    // Removes the entry at `index` (no-op when out of range).
    void removeAt(std::size_t index);

    // Gives every entry whose text is `oldText` the text `newText`; answers how many.
    std::size_t renameText(std::string_view oldText, std::string_view newText);

    // The first entry with `text` and `kind`, or nullptr.
    const model::CActions* find(std::string_view text, model::EntryKind kind) const;

    // True when some entry has `text`, whatever its kind.
    bool containsText(std::string_view text) const;

    // Positions of the entries of `kind`, in list order.
    std::vector<std::size_t> indicesOfKind(model::EntryKind kind) const;

    // Number of entries of `kind`.
    std::size_t countOfKind(model::EntryKind kind) const;

    // Empties the list.
    void clear() { entries_.clear(); }

    // Read access in list order.
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const model::CActions& operator[](std::size_t i) const { return entries_[i]; }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

    friend bool operator==(const EntryList&, const EntryList&) = default;

  private:
    std::vector<model::CActions> entries_;
};

}  // namespace loadcase
