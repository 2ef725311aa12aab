#include "loadcase/loadcase_document.h"

#include <algorithm>

#include "loadcase/analysis_code.h"
#include "loadcase/loadcase_file.h"
#include "platform/paths.h"
#include "ui/prompts.h"

namespace loadcase {

void Document::openProject(const std::string& projectFolder, const std::string& sessionName) {
    projectFolder_ = projectFolder;
    sessionName_ = sessionName;
    jobBasePath_ = platform::joinPath(projectFolder_, sessionName_);
    meshPath_ = jobBasePath_ + ".meb";
}

void Document::switchTo(const std::string& name, std::string meshPath) {
    jobBasePath_ = platform::joinPath(projectFolder_, name);
    meshPath_ = std::move(meshPath);
    clear();
}

std::string Document::loadcaseName() const {
    const auto slash = jobBasePath_.rfind(platform::kPathSeparator);
    return slash == std::string::npos ? jobBasePath_ : jobBasePath_.substr(slash + 1);
}

const std::vector<std::string>& Document::sectionLines(int section) const {
    static const std::vector<std::string> none;
    return (section >= 0 && section < kSectionCount) ? lines_[section] : none;
}

void Document::addEntry(const Bytes& bodyKey, const Bytes& entityKey, const std::string& text,
                        model::EntryKind kind) {
    const auto outcome = entries_.add(bodyKey, entityKey, text, kind);
    if (outcome == EntryList::AddOutcome::AddedNewText && hasSection(kind)) {
        lines_[kind].push_back(text);
        notify(kind);
    }
    if (outcome != EntryList::AddOutcome::Duplicate) save();
}

void Document::replaceEntityEntry(const Bytes& bodyKey, const Bytes& entityKey, const std::string& head,
                                  const std::string& text, model::EntryKind kind) {
    bool linesChanged = false;
    for (const std::string& old : entries_.removeForEntity(bodyKey, entityKey, head, kind)) {
        if (entries_.containsText(old) || !hasSection(kind)) continue;
        std::erase(lines_[kind], old);
        linesChanged = true;
    }
    if (linesChanged) notify(kind);
    addEntry(bodyKey, entityKey, text, kind);
    save();
}

void Document::replaceSectionEntry(const std::string& text, model::EntryKind kind, bool show) {
    entries_.replaceKind(text, kind);
    if (show && hasSection(kind)) {
        lines_[kind] = {text};
        notify(kind);
    }
    save();
}

void Document::removeKind(model::EntryKind kind) {
    while (!entries_.indicesOfKind(kind).empty()) entries_.removeAt(entries_.indicesOfKind(kind).front());
    if (hasSection(kind)) {
        lines_[kind].clear();
        notify(kind);
    }
}

int Document::loadcaseEntryType() const {
    const auto indices = entries_.indicesOfKind(model::kKindLoadcase);
    return indices.empty() ? -1 : typeOfLoadcaseText(entries_[indices.front()].data().text());
}

void Document::renameLine(int section, std::size_t index, const std::string& newText) {
    if (section < 0 || section >= kSectionCount || index >= lines_[section].size()) return;
    const std::string oldText = lines_[section][index];
    lines_[section][index] = newText;
    entries_.renameText(oldText, newText);
    notify(section);
    save();
}

void Document::deleteLine(int section, std::size_t index) {
    if (section < 0 || section >= kSectionCount || index >= lines_[section].size()) return;
    const std::string text = lines_[section][index];
    lines_[section].erase(lines_[section].begin() + static_cast<std::ptrdiff_t>(index));
    entries_.removeText(text);
    notify(section);
    save();
}

void Document::deleteSection(int section) {
    if (section < 0 || section >= kSectionCount) return;
    removeKind(static_cast<model::EntryKind>(section));
    save();
}

void Document::save() {
    const std::string path = loadcaseFilePath();
    if (!damagedFile_.empty() && damagedFile_ == path && !keepDamagedFile()) return;
    // An empty loadcase without a file is not given one: the file would list it in the Loadcase
    // dialog as a loadcase nobody made (the session-named one before any loadcase is chosen).
    if (entries_.empty() && !platform::pathExists(path)) return;
    LoadcaseFile::save(path, entries_);  // a file that cannot be written is not saved
}

bool Document::keepDamagedFile() {
    const auto result = LoadcaseFile::setAsideDamaged(damagedFile_);
    if (!result.ok() && platform::pathExists(damagedFile_)) {
        ui::showMessage("The damaged loadcase file " + damagedFile_ + " could not be moved aside (" +
                        result.error + "); the loadcase is not saved.");
        return false;
    }
    damagedFile_.clear();
    return true;
}

void Document::loadFrom(const std::string& path) {
    if (!entries_.empty()) return;
    auto result = LoadcaseFile::load(path);
    if (result.ok()) {
        entries_ = std::move(result.entries);
    } else if (result.outcome == LoadResult::Outcome::Damaged) {
        damagedFile_ = path;
        ui::showMessage(result.error + "\nThe file is kept as " + path +
                        ".damaged before anything is saved in its place.");
    }
    showLoadedEntries();
}

// Each entry of kinds 1 to 7 gets a line under its section unless the section shows its text already.
void Document::showLoadedEntries() {
    for (const auto& entry : entries_) {
        const auto kind = entry.data().kind();
        if (kind < model::kKindMaterial || kind > model::kKindSolveParameters) continue;
        auto& lines = lines_[kind];
        const std::string text = entry.data().text();
        if (std::find(lines.begin(), lines.end(), text) == lines.end()) lines.push_back(text);
    }
    notify(kAllSections);
}

void Document::clear() {
    entries_.clear();
    for (auto& lines : lines_) lines.clear();
    notify(kAllSections);
}

int Document::observe(Observer observer) {
    observers_.emplace_back(nextObserverId_, std::move(observer));
    return nextObserverId_++;
}

void Document::forget(int observerId) {
    std::erase_if(observers_, [observerId](const auto& entry) { return entry.first == observerId; });
}

void Document::notify(int section) const {
    // A copy: a view may register or forget views while it is told.
    const auto observers = observers_;
    for (const auto& [id, observer] : observers) observer(section);
}

}  // namespace loadcase
