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

// One list, added to in turn: what each add answers depends on the text, the entity and its body.
TEST(EntryListAdd, OutcomeDependsOnTextEntityAndBody) {
    const struct {
        Bytes body, entity;
        const char* text;
        model::EntryKind kind;
        Outcome outcome;
    } steps[] = {
        {kBody, kFaceA, "face;fix,6=XYZ", model::kKindReaction, Outcome::AddedNewText},
        {kBody, kFaceB, "Steel: 210000,0.3", model::kKindMaterial, Outcome::AddedNewText},
        // Face B's later material does not block the reaction that face A has.
        {kBody, kFaceB, "face;fix,6=XYZ", model::kKindReaction, Outcome::AddedSameText},
        {kBody, kFaceB, "face;fix,6=XYZ", model::kKindReaction, Outcome::Duplicate},
        {Bytes{2}, kFaceA, "face;fix,6=XYZ", model::kKindReaction, Outcome::AddedSameText},
        // Without an entity, any entry of the same text makes a duplicate.
        {{}, {}, "face;fix,6=XYZ", model::kKindReaction, Outcome::Duplicate},
        {{}, {}, "accel=1", model::kKindAction, Outcome::AddedNewText},
    };
    EntryList list;
    for (const auto& s : steps) EXPECT_EQ(list.add(s.body, s.entity, s.text, s.kind), s.outcome) << s.text;
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[2].entityKey().bytes(), kFaceB);
    EXPECT_EQ(list[3].bodyKey().bytes(), Bytes{2});
    EXPECT_EQ(list.countOfKind(model::kKindReaction), 3u);
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
    // Finding matches the text and the kind together.
    EXPECT_EQ(list.find("face;pressure=5", model::kKindAction), &list[0]);
    EXPECT_EQ(list.find("face;pressure=5", model::kKindTable), nullptr);
    EXPECT_TRUE(list.containsText("BUCKLE:3,1,0,0,0,0,0,0"));
    EXPECT_FALSE(list.containsText("BUCKLE"));
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

}  // namespace
