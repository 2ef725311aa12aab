#pragma once
// What every command needs of the FEM Explorer that made it: the host session it works in and the
// bookkeeping of the running command. The explorer implements it, so the command base does not
// depend on the explorer.
#include <string>

#include "addon_base/host_access.h"
#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"

namespace addon {

class CommandOwner {
  public:
    virtual const std::string& sessionName() const = 0;
    virtual bool isPartSession() const = 0;
    // The explorer's own part session (null for an assembly) and its units, as taken when the
    // explorer last showed: a command works on its session whatever other session is current.
    virtual platform::RefPtr<host::IQDPartSession> partSession() const = 0;
    virtual const LengthUnits& lengthUnits() const = 0;
    // The command has ended: it is no longer the running command, and the host objects its
    // selection work filled are released.
    virtual void commandEnded() = 0;

  protected:
    ~CommandOwner() = default;
};

}  // namespace addon
