#include "loadcase/entry_list.h"

#include <algorithm>

namespace loadcase {

EntryList::AddOutcome EntryList::add(const Bytes& bodyKey, const Bytes& entityKey, std::string text,
                                     model::EntryKind kind) {
    bool textSeen = false;
    for (const auto& entry : entries_) {
        if (entry.text() != text) continue;
        textSeen = true;
        const bool sameEntity = entry.entityKey().bytes() == entityKey && entry.bodyKey().bytes() == bodyKey;
        if (entityKey.empty() || sameEntity) return AddOutcome::Duplicate;
    }
    entries_.emplace_back(bodyKey, entityKey, std::move(text), kind);
    return textSeen ? AddOutcome::AddedSameText : AddOutcome::AddedNewText;
}

void EntryList::replaceKind(std::string text, model::EntryKind kind) {
    std::erase_if(entries_, [kind](const model::CActions& e) { return e.kind() == kind; });
    entries_.emplace_back(Bytes{}, Bytes{}, std::move(text), kind);
}

std::size_t EntryList::removeText(std::string_view text) {
    return std::erase_if(entries_, [text](const model::CActions& e) { return e.text() == text; });
}

std::vector<std::string> EntryList::removeForEntity(const Bytes& bodyKey, const Bytes& entityKey,
                                                    std::string_view head, model::EntryKind kind) {
    std::vector<std::string> removed;
    std::erase_if(entries_, [&](const model::CActions& e) {
        const bool match = e.kind() == kind && e.entityKey().bytes() == entityKey &&
                           e.bodyKey().bytes() == bodyKey && e.text().starts_with(head);
        if (match) removed.push_back(e.text());
        return match;
    });
    return removed;
}

void EntryList::removeAt(std::size_t index) {
    if (index < entries_.size()) entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::size_t EntryList::renameText(std::string_view oldText, std::string_view newText) {
    std::size_t changed = 0;
    for (auto& entry : entries_) {
        if (entry.text() != oldText) continue;
        entry.setText(std::string(newText));
        ++changed;
    }
    return changed;
}

const model::CActions* EntryList::find(std::string_view text, model::EntryKind kind) const {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const model::CActions& e) { return e.kind() == kind && e.text() == text; });
    return it == entries_.end() ? nullptr : &*it;
}

bool EntryList::containsText(std::string_view text) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [text](const model::CActions& e) { return e.text() == text; });
}

std::vector<std::size_t> EntryList::indicesOfKind(model::EntryKind kind) const {
    std::vector<std::size_t> indices;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].kind() == kind) indices.push_back(i);
    }
    return indices;
}

std::size_t EntryList::countOfKind(model::EntryKind kind) const {
    return static_cast<std::size_t>(std::count_if(
        entries_.begin(), entries_.end(), [kind](const model::CActions& e) { return e.kind() == kind; }));
}

}  // namespace loadcase
