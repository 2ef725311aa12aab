#pragma once
// The FEM Explorer of one host session: it fixes the session's folders, keeps the running
// command's record, and ends with the session's add-on life.
#include <string>

#include "addon/addon_command.h"
#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"

class CKolvaneInterface;

class CShowUICommand : public CAddOnCommand {
public:
    CShowUICommand(CKolvaneInterface* addOn, std::string sessionName);

    std::string className() const override { return "CShowUICommand"; }
    // The explorer is started by the host showing its panel, not by a start routine.
    void Start() override {}

    const std::string& sessionName() const { return sessionName_; }
    ui::Window* panel() const { return panel_; }
    bool isPartSession() const { return partSession_; }

    // The command the user started last (a menu pick or a toolbox button).
    void setCurrentCommand(platform::RefPtr<host::IQuarnelAddOnCommand> command);
    host::IQuarnelAddOnCommand* currentCommand() const { return currentCommand_.get(); }
    void clearCurrentCommand() { currentCommand_ = nullptr; }
    // The two host objects a command's selection work fills; its end releases them.
    platform::RefPtr<platform::IUnknown>& commandObject(int which) { return commandObjects_[which & 1]; }
    void releaseCommandObjects();

    // The explorer's command-site operation without arguments (after a deletion in the tree).
    void clearSiteStatus();

    platform::Status get_IsPersistent(platform::VariantBool* answer) override;
    platform::Status get_HasPanel(platform::VariantBool* answer) override;
    platform::Status OnShowUI(ui::Window* window) override;

protected:
    void terminate() override;
    // The folders and names of the session, creating the folders.
    void fixFolders();
    // Makes the session the library's current one by its kind; throws HostError on host failure.
    void takeSession(const platform::RefPtr<host::IQDSession>& session);

private:
    CKolvaneInterface* addOn_;
    std::string sessionName_;
    ui::Window* panel_ = nullptr;
    bool partSession_ = false;
    platform::RefPtr<host::IQuarnelAddOnCommand> currentCommand_;
    platform::RefPtr<platform::IUnknown> commandObjects_[2];
};
