#pragma once
// The FEM Explorer of one host session: it fixes the session's folders, owns the loadcase's entry
// list and shows it as a tree, saves the loadcase file after every change, and keeps the running
// command's record.
#include <array>
#include <string>

#include "addon/addon_command.h"
#include "host/host_interfaces.h"
#include "loadcase/entry_list.h"
#include "model/entry_kind.h"
#include "platform/ref_ptr.h"
#include "ui/tree_control.h"

class CKolvaneInterface;

class CShowUICommand : public CAddOnCommand {
public:
    static constexpr int kTreeId = 10;
    static constexpr int kMenuModify = 32771;
    static constexpr int kMenuDelete = 32772;
    static constexpr int kSectionCount = 8;
    using Bytes = loadcase::EntryList::Bytes;

    CShowUICommand(CKolvaneInterface* addOn, std::string sessionName);

    std::string className() const override { return "CShowUICommand"; }
    // The explorer is started by the host showing its panel, not by a start routine.
    void Start() override {}

    const std::string& sessionName() const { return sessionName_; }
    ui::Window* panel() const { return panel_; }
    bool isPartSession() const { return partSession_; }

    // ---- the running command ----
    void setCurrentCommand(platform::RefPtr<host::IQuarnelAddOnCommand> command);
    host::IQuarnelAddOnCommand* currentCommand() const { return currentCommand_.get(); }
    void clearCurrentCommand() { currentCommand_ = nullptr; }
    // The two host objects a command's selection work fills; its end releases them.
    platform::RefPtr<platform::IUnknown>& commandObject(int which) { return commandObjects_[which & 1]; }
    void releaseCommandObjects();
    // The explorer's command-site operation without arguments (after a deletion in the tree).
    void clearSiteStatus();

    // ---- the toolbox above the tree: made when the panel is first shown, ended with the explorer ----
    CAddOnCommand* toolbox() const { return toolbox_.get(); }
    void setToolbox(platform::RefPtr<CAddOnCommand> toolbox) { toolbox_ = std::move(toolbox); }

    // ---- the loadcase ----
    const loadcase::EntryList& entries() const { return entries_; }
    int analysisType() const { return analysisType_; }
    int solveIndex() const { return solveIndex_; }
    void setAnalysisType(int type) { analysisType_ = type; }
    void setSolveIndex(int index) { solveIndex_ = index; }
    bool isChanged() const { return changed_; }
    void markChanged() { changed_ = true; }

    // Appends an entry under its kind's section unless the same text already stands for the
    // entity, then saves. A new text gets a tree line; a known one does not.
    void addEntry(const Bytes& bodyKey, const Bytes& entityKey, const std::string& text, model::EntryKind kind);
    // Replaces every entry of `kind` by one with `text`, then saves; with `show` the section's
    // lines are replaced by one line with the text.
    void replaceSectionEntry(const std::string& text, model::EntryKind kind, bool show);
    // Removes the entries of `kind` and every line of its section (an assembly keeps one material).
    void removeKind(model::EntryKind kind);
    // Writes the whole list to the loadcase file.
    void save();
    // Reads the loadcase file into the list when the list is empty and the file exists.
    void load() { loadFrom(loadcaseFilePath()); }
    // Reads the loadcase file `path` into the list when the list is empty and the file exists.
    // A damaged file is reported, leaves the list empty and is moved aside before a save would
    // overwrite it.
    void loadFrom(const std::string& path);
    void clearEntries() { entries_.clear(); }
    // The loadcase file of the current job base path.
    std::string loadcaseFilePath() const;

    // ---- the tree ----
    ui::TreeControl& tree() { return tree_; }
    ui::TreeItem sectionItem(model::EntryKind kind) const;
    // Deletes every line and adds the eight section lines again.
    void rebuildSections();
    // Adds a line under its section for each entry of kinds 1 to 7 the section does not show yet.
    void fillTree();

    // ---- IQuarnelAddOnCommand ----
    platform::Status get_IsPersistent(platform::VariantBool* answer) override;
    platform::Status get_HasPanel(platform::VariantBool* answer) override;
    platform::Status OnShowUI(ui::Window* window) override;

protected:
    void terminate() override;

private:
    void takeSession(const platform::RefPtr<host::IQDSession>& session);
    void fixFolders();
    void placeTree(ui::Window* window);
    void showContextMenu(ui::TreeItem item);
    void modifyLine(ui::TreeItem item);
    void deleteLine(ui::TreeItem item);
    // Before the first save over a file that was found damaged, moves that file aside.
    bool keepDamagedFile();

    CKolvaneInterface* addOn_;
    std::string sessionName_;
    ui::Window* panel_ = nullptr;
    bool partSession_ = false;
    platform::RefPtr<host::IQuarnelAddOnCommand> currentCommand_;
    platform::RefPtr<platform::IUnknown> commandObjects_[2];
    platform::RefPtr<CAddOnCommand> toolbox_;

    loadcase::EntryList entries_;
    ui::TreeControl tree_{kTreeId};
    std::array<ui::TreeItem, kSectionCount> sections_{};
    int analysisType_ = 0;
    int solveIndex_ = 0;
    bool changed_ = false;
    std::string damagedFile_;  // a loadcase file that failed to load and is not yet moved aside
};
