// Entry list operations as the explorer and the commands use them.
#include <gtest/gtest.h>

#include "loadcase/entry_list.h"

using loadcase::EntryList;
using Outcome = EntryList::AddOutcome;
using Bytes = std::vector<std::uint8_t>;

namespace {

const Bytes kBody{1};
const Bytes kFaceA{0xA};
const Bytes kFaceB{0xB};

std::vector<std::string> texts(const EntryList& list) {
    std::vector<std::string> out;
    for (const auto& e : list) out.push_back(e.text());
    return out;
}

TEST(EntryListAdd, SameTextOnTwoFacesIsKeptTwiceWithOneNewText) {
    EntryList list;
    EXPECT_EQ(list.add(kBody, kFaceA, "face;fix,6=XYZ", model::kKindReaction), Outcome::AddedNewText);
    EXPECT_EQ(list.add(kBody, kFaceB, "face;fix,6=XYZ", model::kKindReaction), Outcome::AddedSameText);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].entityKey().bytes(), kFaceB);
}

TEST(EntryListAdd, SameTextOnTheSameEntityIsADuplicate) {
    EntryList list;
    list.add(kBody, kFaceA, "face;pressure=5", model::kKindAction);
    EXPECT_EQ(list.add(kBody, kFaceA, "face;pressure=5", model::kKindAction), Outcome::Duplicate);
    EXPECT_EQ(list.size(), 1u);
}

TEST(EntryListAdd, CallWithoutEntityIsADuplicateOfAnySameText) {
    EntryList list;
    list.add(kBody, kFaceA, "accel=0", model::kKindAction);
    EXPECT_EQ(list.add({}, {}, "accel=0", model::kKindAction), Outcome::Duplicate);
    EXPECT_EQ(list.add({}, {}, "accel=1", model::kKindAction), Outcome::AddedNewText);
    EXPECT_EQ(list.size(), 2u);
}

TEST(EntryListAdd, LaterEntriesOfTheEntityDoNotBlockASameTextEntry) {
    // Face B already carries a material; the reaction that face A has must still be added to face B.
    EntryList list;
    list.add(kBody, kFaceA, "face;fix,6=XYZ", model::kKindReaction);
    list.add(kBody, kFaceB, "Steel: 210000,0.3", model::kKindMaterial);
    EXPECT_EQ(list.add(kBody, kFaceB, "face;fix,6=XYZ", model::kKindReaction), Outcome::AddedSameText);
    EXPECT_EQ(list.countOfKind(model::kKindReaction), 2u);
}

TEST(EntryListAdd, SameEntityKeyInAnotherBodyIsAnotherEntity) {
    EntryList list;
    list.add(Bytes{1}, kFaceA, "face;pressure=5", model::kKindAction);
    EXPECT_EQ(list.add(Bytes{2}, kFaceA, "face;pressure=5", model::kKindAction), Outcome::AddedSameText);
}

TEST(EntryListReplace, LeavesOneEntryOfTheKindAtTheEnd) {
    EntryList list;
    list.replaceKind("ELASTIC:0,1e-06,0,0,0,0,0,0", model::kKindSolveParameters);
    list.add(kBody, kFaceA, "face;pressure=5", model::kKindAction);
    list.append(model::CActions({}, {}, "ELASTIC:0,stale", model::kKindSolveParameters));
    list.replaceKind("BUCKLE:3,1,0,0,0,0,0,0", model::kKindSolveParameters);
    EXPECT_EQ(texts(list), (std::vector<std::string>{"face;pressure=5", "BUCKLE:3,1,0,0,0,0,0,0"}));
    EXPECT_EQ(list.indicesOfKind(model::kKindSolveParameters), (std::vector<std::size_t>{1}));
    EXPECT_TRUE(list[1].entityKey().empty());
    EXPECT_TRUE(list[1].bodyKey().empty());
}

TEST(EntryListEdit, RemoveAndRenameActOnEveryEntryWithTheText) {
    EntryList list;
    list.add(kBody, kFaceA, "shared", model::kKindMaterial);
    list.add(kBody, kFaceB, "shared", model::kKindMaterial);
    list.add({}, {}, "other", model::kKindTable);
    list.add({}, {}, "shared2", model::kKindAction);

    EXPECT_EQ(list.renameText("shared", "renamed"), 2u);
    EXPECT_EQ(texts(list), (std::vector<std::string>{"renamed", "renamed", "other", "shared2"}));
    EXPECT_EQ(list.removeText("renamed"), 2u);
    EXPECT_EQ(texts(list), (std::vector<std::string>{"other", "shared2"}));
    EXPECT_EQ(list.removeText("nothing"), 0u);
    list.removeAt(5);  // out of range: no effect
    list.removeAt(0);
    EXPECT_EQ(texts(list), (std::vector<std::string>{"shared2"}));
}

TEST(EntryListFind, MatchesTextAndKindTogether) {
    EntryList list;
    list.add({}, {}, "same", model::kKindAction);
    list.add({}, {}, "Bracket:0", model::kKindLoadcase);
    EXPECT_NE(list.find("same", model::kKindAction), nullptr);
    EXPECT_EQ(list.find("same", model::kKindTable), nullptr);
    EXPECT_EQ(list.find("Bracket:0", model::kKindLoadcase), &list[1]);
    EXPECT_TRUE(list.containsText("Bracket:0"));
    EXPECT_FALSE(list.containsText("Bracket"));
    list.clear();
    EXPECT_TRUE(list.empty());
}

}  // namespace
