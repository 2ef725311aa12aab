#pragma once
// The two interfaces the host defines and the add-on implements: the add-on itself (menu, item
// states, commands) and a running command.
#include <cstdint>

#include "platform/automation.h"
#include "platform/unknown.h"

namespace ui {
class Window;
}
namespace render {
class Canvas;
}

namespace host {

using platform::AutoString;
using platform::IDispatch;
using platform::IntArray;
using platform::IUnknown;
using platform::Status;
using platform::Variant;
using platform::VariantBool;

class IQDCommandSite;

// Menu item states.
enum MenuItemState : std::int32_t {
    kItemAvailable = 1,
    kItemUnavailable = 2,
    kItemChecked = 3,
    kItemUnchecked = 4,
};

class IQuarnelAddOnCommand : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQuarnelAddOnCommand);
    using Base = IDispatch;

    virtual Status putref_CommandSite(IUnknown* site) = 0;      // 1
    virtual Status get_CommandSite(IQDCommandSite** site) = 0;  // 2
    virtual Status get_IsPersistent(VariantBool* answer) = 0;   // 3
    virtual Status get_HasPanel(VariantBool* answer) = 0;       // 4
    virtual Status OnShowUI(ui::Window* window) = 0;            // 5
    virtual Status OnDrawOverlay(render::Canvas* canvas) = 0;   // 6
    virtual Status OnMouseDown(std::int32_t x, std::int32_t y, std::int32_t flags,
                               VariantBool* handled) = 0;  // 7
    virtual Status OnMouseUp(std::int32_t x, std::int32_t y, std::int32_t flags,
                             VariantBool* handled) = 0;  // 8
    virtual Status OnMouseMove(std::int32_t x, std::int32_t y, std::int32_t flags,
                               VariantBool* handled) = 0;                                           // 9
    virtual Status OnDoubleClick(std::int32_t x, std::int32_t y, VariantBool* handled) = 0;         // 10
    virtual Status OnMouseWheel(std::int32_t delta, std::int32_t flags, VariantBool* handled) = 0;  // 11
    virtual Status OnSelectionChanged() = 0;                                                        // 12
    virtual Status OnTerminate() = 0;                                                               // 13
    virtual Status OnRedraw() = 0;                                                                  // 14
    virtual Status OnKeyDown(std::int32_t key, VariantBool* handled) = 0;                           // 15
    virtual Status OnKeyUp(std::int32_t key, VariantBool* handled) = 0;                             // 16
    virtual Status OnCharacter(std::int32_t character, VariantBool* handled) = 0;                   // 17
    virtual Status OnIdle(VariantBool* moreWork) = 0;                                               // 18
    virtual Status OnViewChanged() = 0;                                                             // 19
    virtual Status OnResume() = 0;                                                                  // 20
    virtual Status On3DRender() = 0;                                                                // 21
};

class IQuarnelAddOn : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQuarnelAddOn);
    using Base = IDispatch;

    virtual Status get_RootMenuItem(std::int32_t* id) = 0;                  // 1
    virtual Status get_HasSubItems(std::int32_t id, VariantBool* has) = 0;  // 2
    virtual Status get_SubItems(std::int32_t id, IntArray* items) = 0;      // 3
    virtual Status get_ItemText(std::int32_t id, AutoString* text) = 0;     // 4
    virtual Status OnItemHighlighted(std::int32_t id) = 0;                  // 5
    virtual Status get_MenuItemState(std::int32_t id, const AutoString& session,
                                     std::int32_t* state) = 0;                          // 6
    virtual Status OnMenuBuilt() = 0;                                                   // 7
    virtual Status get_ItemHasToolbarButton(std::int32_t id, VariantBool* answer) = 0;  // 8
    virtual Status InvokeCommand(std::int32_t id, const AutoString& session,
                                 IQuarnelAddOnCommand** command) = 0;                 // 9
    virtual Status OnSessionOpened(const AutoString& session) = 0;                    // 10
    virtual Status OnSessionClosed(const AutoString& session) = 0;                    // 11
    virtual Status OnHostIdle() = 0;                                                  // 12
    virtual Status get_Extension(const Variant& argument, IUnknown** extension) = 0;  // 13
    virtual Status get_WantsEvents(VariantBool* answer) = 0;                          // 14
};

// What the add-on tells the host of the programs it runs (query the add-on interface for it).
// `program` is 0 for the mesher, 1 for the solver. The host gives the add-on time to follow them
// through OnHostIdle.
class IQuarnelProgramRuns : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQuarnelProgramRuns);
    using Base = IDispatch;
    // True while a run of the program is followed, that is until the add-on has seen its end.
    virtual Status get_RunActive(std::int32_t program, VariantBool* active) = 0;
    // The last line the add-on showed of the program's runs: progress, or how the last one ended.
    virtual Status get_RunText(std::int32_t program, AutoString* text) = 0;
};

}  // namespace host
