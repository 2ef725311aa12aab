// The huge-page tunable the solver restarts itself with joins the user's tunables and never
// overrides a value the user gave it.
#include <gtest/gtest.h>

#include "base/malloc_tunables.h"

namespace tarvsolv::testing {
namespace {

TEST(MallocTunables, JoinTheUsersOnesAndKeepTheUsersHugePageChoice) {
    EXPECT_EQ(tunablesWithHugePages(nullptr), "glibc.malloc.hugetlb=1");
    EXPECT_EQ(tunablesWithHugePages(""), "glibc.malloc.hugetlb=1");
    EXPECT_EQ(tunablesWithHugePages("glibc.malloc.check=3"), "glibc.malloc.check=3:glibc.malloc.hugetlb=1");
    EXPECT_EQ(tunablesWithHugePages("glibc.malloc.hugetlb=0"), std::nullopt);
    EXPECT_EQ(tunablesWithHugePages("glibc.malloc.check=3:glibc.malloc.hugetlb=2"), std::nullopt);
    // A name that only begins like it is another tunable.
    EXPECT_EQ(tunablesWithHugePages("glibc.malloc.hugetlbx=1"),
              "glibc.malloc.hugetlbx=1:glibc.malloc.hugetlb=1");
}

}  // namespace
}  // namespace tarvsolv::testing
