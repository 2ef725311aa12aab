#pragma once
// The add-on as the host sees it: the "Tarvenic" menu, the state of its items, and the commands
// its items start, and the runs of the mesher and the solver it follows in the host's idle. One
// instance lives as long as the host keeps a reference to it.
#include <string>
#include <unordered_map>

#include "host/addon_interfaces.h"
#include "platform/ref_ptr.h"

class CShowUICommand;

class CKolvaneInterface
    : public platform::ImplementsDispatch<host::IQuarnelAddOn, host::IQuarnelProgramRuns> {
  public:
    CKolvaneInterface();

    platform::Status get_RootMenuItem(std::int32_t* id) override;
    platform::Status get_HasSubItems(std::int32_t id, platform::VariantBool* has) override;
    platform::Status get_SubItems(std::int32_t id, platform::IntArray* items) override;
    platform::Status get_ItemText(std::int32_t id, platform::AutoString* text) override;
    platform::Status OnItemHighlighted(std::int32_t id) override;
    platform::Status get_MenuItemState(std::int32_t id, const platform::AutoString& session,
                                       std::int32_t* state) override;
    platform::Status OnMenuBuilt() override;
    platform::Status get_ItemHasToolbarButton(std::int32_t id, platform::VariantBool* answer) override;
    platform::Status InvokeCommand(std::int32_t id, const platform::AutoString& session,
                                   host::IQuarnelAddOnCommand** command) override;
    platform::Status OnSessionOpened(const platform::AutoString& session) override;
    platform::Status OnSessionClosed(const platform::AutoString& session) override;
    platform::Status OnHostIdle() override;
    platform::Status get_Extension(const platform::Variant& argument,
                                   platform::IUnknown** extension) override;
    platform::Status get_WantsEvents(platform::VariantBool* answer) override;

    platform::Status get_RunActive(std::int32_t program, platform::VariantBool* active) override;
    platform::Status get_RunText(std::int32_t program, platform::AutoString* text) override;

    // The explorer open for `session`, or null.
    CShowUICommand* explorerFor(const std::string& session) const;
    void removeExplorer(const std::string& session);
    // Ends every open explorer and empties the map (the library is being unloaded).
    void closeAllExplorers();
    std::size_t explorerCount() const { return explorers_.size(); }

  private:
    ~CKolvaneInterface() override;

    void openExplorer(const std::string& session, host::IQuarnelAddOnCommand** command);
    void startCommand(std::int32_t id, CShowUICommand* explorer, host::IQuarnelAddOnCommand** command);
    void openHelp();

    platform::IntArray subMenu_;
    std::unordered_map<std::string, platform::RefPtr<CShowUICommand>> explorers_;
};
