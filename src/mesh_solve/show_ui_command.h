#pragma once
// The FEM Explorer of one host session: it fixes the session's folders, owns the session's loadcase
// document and shows it as a tree, and keeps the running command's record.
#include <array>
#include <functional>
#include <map>
#include <string>

#include "host/host_interfaces.h"
#include "loadcase/document_command.h"
#include "loadcase/loadcase_document.h"
#include "platform/ref_ptr.h"
#include "ui/tree_control.h"

class CShowUICommand;

// What the explorer asks of the add-on above it: the toolbox it shows above the tree, the commands
// the toolbox starts, the separate results window, and word that the explorer has ended.
struct ExplorerHooks {
    std::function<void(CShowUICommand& explorer, ui::Window* panel)> openToolbox;
    std::function<platform::RefPtr<CAddOnCommand>(std::int32_t id, CShowUICommand& explorer)> createCommand;
    std::function<void(const loadcase::Document& document)> openResultsWindow;
    std::function<void(const std::string& sessionName)> ended;
};

class CShowUICommand : public CAddOnCommand, public loadcase::DocumentOwner {
  public:
    static constexpr int kTreeId = 10;
    static constexpr int kMenuModify = 32771;
    static constexpr int kMenuDelete = 32772;
    static constexpr int kSectionCount = loadcase::Document::kSectionCount;

    explicit CShowUICommand(std::string sessionName, ExplorerHooks hooks = {});

    std::string className() const override { return "CShowUICommand"; }
    // The explorer is started by the host showing its panel, not by a start routine.
    void Start() override {}

    // ---- CommandOwner ----
    const std::string& sessionName() const override { return sessionName_; }
    bool isPartSession() const override { return partSession_; }
    platform::RefPtr<host::IQDPartSession> partSession() const override { return partSessionObject_; }
    const addon::LengthUnits& lengthUnits() const override { return units_; }
    void commandEnded() override;
    // ---- DocumentOwner ----
    loadcase::Document& document() override { return document_; }
    const loadcase::Document& document() const { return document_; }

    // Makes this explorer's session the library's current one (its part session, units and
    // projects root), for the commands about to start in it.
    void makeSessionCurrent() const;

    ui::Window* panel() const { return panel_; }
    const ExplorerHooks& hooks() const { return hooks_; }

    // ---- the running command ----
    void setCurrentCommand(platform::RefPtr<host::IQuarnelAddOnCommand> command);
    host::IQuarnelAddOnCommand* currentCommand() const { return currentCommand_.get(); }
    // The two host objects a command's selection work fills; its end releases them.
    platform::RefPtr<platform::IUnknown>& commandObject(int which) { return commandObjects_[which & 1]; }
    // The command last started for menu item `id` (from the menu or the toolbox), whose window a
    // toolbox button pressed again brings back; null when none was.
    void recordStarted(std::int32_t id, platform::RefPtr<CAddOnCommand> command);
    CAddOnCommand* startedCommand(std::int32_t id) const;
    // The explorer's command-site operation without arguments (after a deletion in the tree).
    void clearSiteStatus();

    // ---- the toolbox above the tree: made when the panel is first shown, ended with the explorer ----
    CAddOnCommand* toolbox() const { return toolbox_.get(); }
    void setToolbox(platform::RefPtr<CAddOnCommand> toolbox) { toolbox_ = std::move(toolbox); }

    // ---- the tree: the document's section lines ----
    ui::TreeControl& tree() { return tree_; }
    ui::TreeItem sectionItem(model::EntryKind kind) const;

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
    // Shows the document's lines of `section` (every section for Document::kAllSections).
    void showSection(int section);
    void rebuildTree();
    // Asks the host to redraw its view; a failure only leaves the view for its next redraw.
    void redrawView();
    void showContextMenu(ui::TreeItem item);
    void modifyLine(ui::TreeItem item);
    void deleteLine(ui::TreeItem item);
    // Deletes the entries of a section line after the user agrees; the Loadcase line is refused.
    void deleteSection(int section);
    // The section (0 to 7) of a section line or of a line under one; -1 for neither.
    int sectionOf(ui::TreeItem item) const;

    std::string sessionName_;
    ExplorerHooks hooks_;
    ui::Window* panel_ = nullptr;
    bool partSession_ = false;
    platform::RefPtr<host::IQDPartSession> partSessionObject_;
    addon::LengthUnits units_;
    std::string projectsRoot_;
    platform::RefPtr<host::IQuarnelAddOnCommand> currentCommand_;
    platform::RefPtr<platform::IUnknown> commandObjects_[2];
    platform::RefPtr<CAddOnCommand> toolbox_;
    std::map<std::int32_t, platform::RefPtr<CAddOnCommand>> started_;

    loadcase::Document document_;
    ui::TreeControl tree_{kTreeId};
    std::array<ui::TreeItem, kSectionCount> sections_{};
};
