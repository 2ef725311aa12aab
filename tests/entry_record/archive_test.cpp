// The object-archive encoding at the level of counts, strings and class tags.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry_record/archive_error.h"
#include "entry_record/archive_reader.h"
#include "entry_record/archive_writer.h"

using loadcase::ArchiveError;
using loadcase::ArchiveReader;
using loadcase::ArchiveWriter;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes head(const Bytes& bytes, std::size_t n) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n));
}

struct CountCase {
    std::uint64_t count;
    Bytes encoded;
};

class CountForm : public testing::TestWithParam<CountCase> {};

TEST_P(CountForm, WritesAndReadsBack) {
    ArchiveWriter out;
    out.writeCount(GetParam().count);
    EXPECT_EQ(out.bytes(), GetParam().encoded);
    ArchiveReader in(out.bytes());
    EXPECT_EQ(in.readCount(), GetParam().count);
    EXPECT_EQ(in.remaining(), 0u);
}

// Counts 2 and 70000 in whole files: LoadcaseFileBytes; here the edges of the 16-bit form.
INSTANTIATE_TEST_SUITE_P(SixteenAndThirtyTwoBit, CountForm,
                         testing::Values(CountCase{0, {0x00, 0x00}}, CountCase{0xFFFE, {0xFE, 0xFF}},
                                         CountCase{0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}}));

struct LengthCase {
    std::size_t length;
    Bytes prefix;
};

class NarrowStringLength : public testing::TestWithParam<LengthCase> {};

TEST_P(NarrowStringLength, UsesTheShortestPrefixAndReadsBack) {
    std::string text(GetParam().length, 'x');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
    ArchiveWriter out;
    out.writeString(text);
    const Bytes& prefix = GetParam().prefix;
    ASSERT_EQ(out.bytes().size(), prefix.size() + text.size());
    EXPECT_EQ(head(out.bytes(), prefix.size()), prefix);
    ArchiveReader in(out.bytes());
    EXPECT_EQ(in.readString(), text);
    EXPECT_EQ(in.remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(AllThreeWidths, NarrowStringLength,
                         testing::Values(LengthCase{0, {0x00}}, LengthCase{254, {0xFE}},
                                         LengthCase{255, {0xFF, 0xFF, 0x00}},
                                         LengthCase{300, {0xFF, 0x2C, 0x01}},
                                         LengthCase{65533, {0xFF, 0xFD, 0xFF}},
                                         // 0xFFFE is the wide marker, so this length needs 32 bits
                                         LengthCase{65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                                         LengthCase{70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}));

// Wide texts are marked 0xFF 0xFE, then take the narrow length forms; they read back as UTF-8,
// with a lone surrogate replaced.
TEST(WideString, IsMarkedAndReadsAsNarrowUtf8Text) {
    ArchiveWriter out;
    out.writeWideString(u"face;pressure=5");
    EXPECT_EQ(head(out.bytes(), 6), (Bytes{0xFF, 0xFE, 0xFF, 15, 'f', 0x00}));
    out.writeWideString(std::u16string(300, u'q'));
    out.writeWideString(std::u16string(70000, u'q'));
    out.writeWideString(u"20\u00B0C");                    // degree sign
    out.writeWideString(std::u16string{0xD83D, 0xDE00});  // surrogate pair
    out.writeWideString(std::u16string{u'a', 0xD800});    // lone surrogate
    ArchiveReader in(out.bytes());
    for (const std::string& text :
         {std::string("face;pressure=5"), std::string(300, 'q'), std::string(70000, 'q'),
          std::string("20\xC2\xB0"
                      "C"),
          std::string("\xF0\x9F\x98\x80"), std::string("a\xEF\xBF\xBD")})
        EXPECT_EQ(in.readString(), text);
    EXPECT_EQ(in.remaining(), 0u);
}

// Byte arrays (the entity keys), a new class and then its index, and the 32-bit count are laid out
// and read back in whole loadcase files by LoadcaseFileBytes (SmallListMatchesTheLayoutByteForByte,
// LongListUsesThe32BitCountAndOneClassDefinition); the refusals below cover their lengths.

TEST(ClassTag, IndexesBeyond0x7FFEUseTheBigTag) {
    ArchiveWriter out;
    for (int i = 0; i < 40000; ++i) out.writeClassTag("A", 1);  // indexes 1 to 40001
    out.writeClassTag("B", 1);                                  // class index 40002 = 0x9C42
    const std::size_t before = out.bytes().size();
    out.writeClassTag("B", 1);
    EXPECT_EQ(Bytes(out.bytes().begin() + static_cast<long>(before), out.bytes().end()),
              (Bytes{0xFF, 0x7F, 0x42, 0x9C, 0x00, 0x80}));
    ArchiveReader in(out.bytes());
    for (int i = 0; i < 40000; ++i) ASSERT_EQ(in.readClassTag().name, "A");
    EXPECT_EQ(in.readClassTag().name, "B");
    EXPECT_EQ(in.readClassTag().name, "B");
    EXPECT_EQ(in.remaining(), 0u);
}

// Tag sequences the writer never produces must be refused, not followed.
TEST(ClassTag, RefusesTagsThatNameNoClass) {
    const Bytes newClassA{0xFF, 0xFF, 0x01, 0x00, 0x01, 0x00, 'A'};
    auto after = [&](Bytes tail) {
        Bytes all = newClassA;
        all.insert(all.end(), tail.begin(), tail.end());
        return all;
    };
    const std::vector<Bytes> bad = {
        {0x00, 0x00},                                 // null object
        after({0x02, 0x00}),                          // reference to the object read before
        after({0x02, 0x80}),                          // class index of an object slot
        after({0x09, 0x80}),                          // class index never defined
        after({0xFF, 0x7F, 0x01, 0x00, 0x00, 0x00}),  // big tag without the class flag
        after({0xFF, 0x7F, 0x05, 0x00, 0x00, 0x80}),  // big class tag never defined
        {0xFF, 0xFF, 0x01, 0x00, 0x40, 0x00},         // class name of 64 characters
        {0xFF, 0xFF, 0x01, 0x00, 0x08, 0x00, 'C'},    // class name cut short
    };
    for (const auto& bytes : bad) {
        ArchiveReader in(bytes);
        if (bytes.size() > newClassA.size() && head(bytes, newClassA.size()) == newClassA) in.readClassTag();
        EXPECT_THROW(in.readClassTag(), ArchiveError) << "input of " << bytes.size() << " bytes";
    }
}

TEST(Reader, RefusesLengthsBeyondTheInputWithoutAllocating) {
    const std::vector<Bytes> bad = {
        {0x05, 'a', 'b'},                            // text of 5, 2 left
        {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F},  // 32-bit text length 2^31-2
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,   // 64-bit text length
         0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
        {0xFF, 0xFE, 0xFF, 0x03, 'a', 0x00, 'b'},  // wide text of 3 units, 1.5 left
    };
    for (const auto& bytes : bad) {
        ArchiveReader in(bytes);
        EXPECT_THROW(in.readString(), ArchiveError);
    }
    const Bytes negativeKey{0xFE, 0xFF, 0xFF, 0xFF};
    ArchiveReader keyIn(negativeKey);
    EXPECT_THROW(keyIn.readByteArray(), ArchiveError);
    const Bytes hugeKey{0xFF, 0xFF, 0xFF, 0x7F, 1, 2};
    ArchiveReader hugeIn(hugeKey);
    EXPECT_THROW(hugeIn.readByteArray(), ArchiveError);
}

TEST(Reader, ReportsWhereTheInputEnded) {
    const Bytes bytes{0x01, 0x02, 0x03};
    ArchiveReader in(bytes);
    EXPECT_EQ(in.readU16(), 0x0201);
    try {
        in.readU32();
        FAIL() << "no error";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.offset(), 2u);
    }
}

}  // namespace
