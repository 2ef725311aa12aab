#pragma once
// The loadcase of one host session as a document: its entry list, the lines the FEM Explorer shows
// under each section, the analysis type and solve index, the changed flag and the paths of its
// files. Every change that the user makes is written to the loadcase file at once; a damaged file is
// reported and moved aside before anything is saved in its place. Views (the explorer's tree, the
// toolbox) observe it and redraw the section that changed.
#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "entry_record/entry_kind.h"
#include "loadcase/entry_list.h"

namespace loadcase {

class Document {
  public:
    static constexpr int kSectionCount = 8;  // kinds 0 to 7 have a section line; mesher settings do not
    using Bytes = EntryList::Bytes;
    // A view is told which section changed; kAllSections after a reload or a switch of loadcase.
    static constexpr int kAllSections = -1;
    using Observer = std::function<void(int section)>;

    // ---- paths ----
    // Fixes the project folder; the session-named loadcase becomes current (its mesh beside it).
    void openProject(const std::string& projectFolder, const std::string& sessionName);
    const std::string& projectFolder() const { return projectFolder_; }
    const std::string& sessionName() const { return sessionName_; }
    // Project folder + loadcase name: the loadcase's files are this path + ".api_fem", ".txt", ...
    const std::string& jobBasePath() const { return jobBasePath_; }
    const std::string& meshPath() const { return meshPath_; }
    void setMeshPath(std::string path) { meshPath_ = std::move(path); }
    // The loadcase's name: the job base path's part after the project folder.
    std::string loadcaseName() const;
    std::string loadcaseFilePath() const { return jobBasePath_ + ".api_fem"; }
    std::string solverInputPath() const { return jobBasePath_ + ".txt"; }
    std::string resultPath() const { return jobBasePath_ + ".out"; }
    // The loadcase named `name` in the project folder becomes current with `meshPath`; its list is
    // emptied (load() or loadFrom() fills it).
    void switchTo(const std::string& name, std::string meshPath);

    // ---- analysis ----
    int analysisType() const { return analysisType_; }
    int solveIndex() const { return solveIndex_; }
    void setAnalysisType(int type) { analysisType_ = type; }
    void setSolveIndex(int index) { solveIndex_ = index; }
    // The analysis type the loadcase entry names after its colon ("Run:10" -> 10); -1 without one.
    int loadcaseEntryType() const;
    bool isChanged() const { return changed_; }
    void markChanged() { changed_ = true; }

    // ---- entries ----
    const EntryList& entries() const { return entries_; }
    // Appends an entry unless the same text already stands for the entity, then saves. A text no
    // entry had before gets a line in its section; a known one does not.
    void addEntry(const Bytes& bodyKey, const Bytes& entityKey, const std::string& text,
                  model::EntryKind kind);
    // Adds the entry in place of the entries of `kind` that stand for the same entity with a text
    // beginning with `head` (one convection per face), then saves; a replaced text that no longer
    // stands for any entity loses its line.
    void replaceEntityEntry(const Bytes& bodyKey, const Bytes& entityKey, const std::string& head,
                            const std::string& text, model::EntryKind kind);
    // Replaces every entry of `kind` by one with `text`, then saves; with `show` the section's lines
    // are replaced by one line with the text.
    void replaceSectionEntry(const std::string& text, model::EntryKind kind, bool show);
    // Removes the entries of `kind` and every line of its section (an assembly keeps one material).
    void removeKind(model::EntryKind kind);

    // ---- the section lines the explorer shows ----
    const std::vector<std::string>& sectionLines(int section) const;
    // Gives line `index` of `section` the text `newText` and every entry with the old text the new
    // one, then saves.
    void renameLine(int section, std::size_t index, const std::string& newText);
    // Removes line `index` of `section` and every entry with its text, then saves.
    void deleteLine(int section, std::size_t index);
    // Removes every entry of `section`'s kind and every line of the section, then saves: the file
    // and the lines agree afterwards.
    void deleteSection(int section);

    // ---- the loadcase file ----
    // Writes the list to the loadcase file; an empty list creates no file that is not there.
    void save();
    // Reads the current loadcase file into the list when the list is empty and the file exists.
    void load() { loadFrom(loadcaseFilePath()); }
    // Reads the loadcase file `path` into the list when the list is empty and the file exists, and
    // shows its entries. A damaged file is reported, leaves the list empty and is moved aside
    // before a save would overwrite it.
    void loadFrom(const std::string& path);
    // Empties the list and the section lines.
    void clear();

    // Views register here; each is told about every change of the lines or a switch of loadcase.
    // The answer identifies the view for forget(), which a view calls before it goes.
    int observe(Observer observer);
    void forget(int observerId);

  private:
    void notify(int section) const;
    void showLoadedEntries();
    bool keepDamagedFile();
    static bool hasSection(model::EntryKind kind) { return kind < kSectionCount; }

    std::string projectFolder_;
    std::string sessionName_;
    std::string jobBasePath_;
    std::string meshPath_;
    EntryList entries_;
    std::array<std::vector<std::string>, kSectionCount> lines_;
    int analysisType_ = 0;
    int solveIndex_ = 0;
    bool changed_ = false;
    std::string damagedFile_;  // a loadcase file that failed to load and is not yet moved aside
    std::vector<std::pair<int, Observer>> observers_;
    int nextObserverId_ = 1;
};

}  // namespace loadcase
