#pragma once
// Failures planned for the host's operations, so that a test or a script can see what the add-on
// does when the host fails a call, as a real host may at any time: "fail the next call of
// IQDSessions::Item", "fail the 3rd call of IQDCommandSite::ClearStatus from now". Operations are
// named "Interface::Operation" as the host contract names them. Every host object asks the plan
// at the top of each operation (failsAsPlanned); a planned call answers the general failure status
// and does nothing else.
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace hostapp {

class FailurePlan {
  public:
    // The next call of `operation` fails. Planned again, it fails the call after that too.
    // Throws std::invalid_argument unless `operation` is an operation of the host contract, so that
    // a misspelt name cannot pass unnoticed.
    void failNext(const std::string& operation) { failNth(operation, 1); }
    // The n-th call of `operation` from now fails (n from 1); the calls before it pass.
    void failNth(const std::string& operation, int n);
    // Forgets the planned failures and the call counts.
    void clear();

    // Counts a call of the operation known by `names` (an operation two interfaces share has two)
    // and answers whether it is planned to fail.
    bool enter(std::initializer_list<std::string_view> names);
    // How often `operation` was called since the last clear.
    int calls(std::string_view operation) const;
    // Planned failures that have not happened yet.
    bool pending() const;

    static bool isOperation(std::string_view operation);

  private:
    struct Entry {
        int calls = 0;
        std::vector<int> failing;  // the call numbers planned to fail
    };
    std::map<std::string, Entry, std::less<>> entries_;
};

// The plan every host object of this process consults.
FailurePlan& failurePlan();

// At the top of a host operation: true when this call of `operation` is planned to fail.
inline bool failsAsPlanned(std::string_view operation) {
    return failurePlan().enter({operation});
}
inline bool failsAsPlanned(std::initializer_list<std::string_view> names) {
    return failurePlan().enter(names);
}

}  // namespace hostapp
