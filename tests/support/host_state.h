#pragma once
// State shared by every object of one fake host: the failures planned for host operations, the
// log of the operations called (in order) and the source of fresh persistent keys.
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "host/geometry.h"
#include "platform/status.h"

namespace testhost {

using platform::Status;

// Operations are named "Interface::Operation", e.g. "IQDSessions::Item". Naming an operation the
// host does not have throws std::invalid_argument, so a misspelt name cannot pass unnoticed.
class HostState {
  public:
    // The next call of `operation`, on any object of the host, answers `status`.
    // Planned several times, it fails that many calls in a row.
    void failNext(const std::string& operation, Status status = platform::kFail);
    // Lets `succeeding` calls of `operation` pass, then fails the one after.
    void failAfter(const std::string& operation, int succeeding, Status status = platform::kFail);
    // Every call of `operation` fails until the failures are cleared.
    void failAlways(const std::string& operation, Status status = platform::kFail);
    void clearFailures();

    // Records a call of an operation known by `names` (the first is logged) and answers the
    // planned status, kOk when nothing is planned.
    Status enter(std::initializer_list<std::string_view> names);

    int callCount(std::string_view operation) const;

    // A key no other object of this host has: a sort letter, a zero byte (keys are bytes, not
    // text) and a serial number.
    host::KeyBytes newKey(char sort);

    // Throws std::invalid_argument unless `operation` is an operation of the host contract.
    static void checkOperationName(std::string_view operation);

  private:
    struct Planned {
        int skip = 0;
        Status status = platform::kFail;
    };
    Status planned(std::string_view operation);

    std::map<std::string, std::deque<Planned>, std::less<>> next_;
    std::map<std::string, Status, std::less<>> always_;
    std::vector<std::string> calls_;
    std::uint32_t serial_ = 0;
};

}  // namespace testhost
