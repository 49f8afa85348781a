// The same profile cases against the fake and the real implementation: what the fake
// answers is what the platform answers.
#include <gtest/gtest.h>
#include <array>
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/platform/os/OsWorlds.h"

namespace qk::test {
namespace {

constexpr char16_t kSentinel = 0xCCCC;

template <typename World> class ProfileContract : public ::testing::Test {
protected:
    World world;
    os::IProfile& profile = world.Profile();
    std::u16string Path(const std::u16string& name) { return world.Root() + u"\\" + name; }
    std::u16string Ini(const std::u16string& text,
                       TextEncoding encoding = TextEncoding::Utf16LeBom) {
        const std::u16string file = Path(u"test.ini");
        world.PutText(file, text, encoding);
        return file;
    }
};

struct WorldNames {
    template <typename T> static std::string GetName(int) { return T::kName; }
};
using Worlds = ::testing::Types<FakeWorld, RealWorld, CachedWorld, ImageWorld>;
TYPED_TEST_SUITE(ProfileContract, Worlds, WorldNames);

// A raw read into a buffer of `size` characters inside a larger one filled with sentinels.
struct RawRead {
    uint32_t answer;
    std::u16string buffer; // the whole buffer, sentinels included
};

template <typename Read> RawRead ReadRaw(uint32_t size, Read read) {
    std::u16string buffer(size + 4, kSentinel);
    const uint32_t answer = read(buffer.data(), size);
    return {answer, buffer};
}

std::u16string Cells(std::u16string text, size_t size) {
    text.resize(size, kSentinel);
    return text;
}

// ---- GetString ---------------------------------------------------------------------------

TYPED_TEST(ProfileContract, GetStringFindsValuesCaseInsensitivelyAndTrimsBlanks) {
    const auto file = this->Ini(u"[Font]\r\nEnableFontA = 1 \r\n  Name=\t Sans Serif\r\n"
                                u"[Other]\r\nEnableFontA=2\r\n");
    struct Row {
        const char16_t* section;
        const char16_t* key;
        const char16_t* def;
        const char16_t* expected;
    } rows[] = {
        {u"Font", u"EnableFontA", u"x", u"1"},     {u"FONT", u"enablefonta", u"x", u"1"},
        {u" Font ", u" EnableFontA ", u"x", u"1"}, // blanks around the names are dropped
        {u"Font", u"Name", u"x", u"Sans Serif"},   {u"Other", u"EnableFontA", u"x", u"2"},
        {u"Font", u"Missing", u"dflt", u"dflt"},   {u"Missing", u"EnableFontA", u"dflt", u"dflt"},
        {u"Font", u"Missing", u"dflt  ", u"dflt"}, // the default loses trailing spaces
        {u"Font", u"Missing", u"", u""},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        EXPECT_EQ(Show(this->profile.GetString(file, r.section, r.key, r.def)), Show(r.expected))
            << "row " << i;
    }
}

TYPED_TEST(ProfileContract, GetStringStripsOnePairOfQuotes) {
    const auto file = this->Ini(u"[S]\r\na=\"quoted\"\r\nb='single'\r\nc=\"open\r\n"
                                u"d=\"mixed'\r\ne=\"\"\r\nf=\"\r\ng=\"a\"b\"\r\n");
    struct Row {
        const char16_t* key;
        const char16_t* expected;
    } rows[] = {
        {u"a", u"quoted"}, {u"b", u"single"}, {u"c", u"\"open"}, {u"d", u"\"mixed'"},
        {u"e", u""},       {u"f", u"\""},     {u"g", u"a\"b"},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(Show(this->profile.GetString(file, u"S", rows[i].key, u"-")),
                  Show(rows[i].expected))
            << "row " << i;
    }
}

TYPED_TEST(ProfileContract, GetStringReadsTheFirstOfTwoSectionsWithTheSameName) {
    const auto file = this->Ini(u"[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nx=3\r\nz=4\r\n");
    EXPECT_EQ(Show(this->profile.GetString(file, u"A", u"x", u"-")), "1");
    EXPECT_EQ(Show(this->profile.GetString(file, u"A", u"z", u"-")), "-");
}

TYPED_TEST(ProfileContract, GetStringOfAMissingFileOrFolderIsTheDefault) {
    EXPECT_EQ(Show(this->profile.GetString(this->Path(u"none.ini"), u"S", u"k", u"d")), "d");
    EXPECT_EQ(Show(this->profile.GetString(this->Path(u"nofolder\\none.ini"), u"S", u"k", u"d")),
              "d");
}

TYPED_TEST(ProfileContract, GetStringReturnsLongValuesWhole) {
    std::u16string value(3000, u'v');
    value += u"end";
    const auto file = this->Ini(u"[S]\r\nlong=" + value + u"\r\nq=\"" + value + u"\"\r\n");
    EXPECT_EQ(this->profile.GetString(file, u"S", u"long", u""), value);
    EXPECT_EQ(this->profile.GetString(file, u"S", u"q", u""), value);
}

// ---- GetInt ------------------------------------------------------------------------------

TYPED_TEST(ProfileContract, GetIntReadsTheLeadingNumber) {
    const auto file = this->Ini(u"[N]\r\na=42\r\nb=-12abc\r\nc=+7\r\nd=abc\r\ne=\r\nf= 9 \r\n"
                                u"g=0x1F\r\nh=4294967295\r\ni=\"12\"\r\nj=3.9\r\nk=007\r\n"
                                u"l=2147483648\r\nm=-0\r\n");
    struct Row {
        const char16_t* key;
        int expected;
    } rows[] = {
        {u"a", 42}, {u"b", -12},      {u"c", 7},  {u"d", 0},
        {u"e", -5}, {u"f", 9},        {u"g", 31}, {u"h", -1},
        {u"i", 12}, {u"j", 3},        {u"k", 7},  {u"l", static_cast<int>(0x80000000u)},
        {u"m", 0},  {u"missing", -5},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(this->profile.GetInt(file, u"N", rows[i].key, -5), rows[i].expected)
            << "row " << i << " key " << Show(rows[i].key);
    }
    EXPECT_EQ(this->profile.GetInt(this->Path(u"none.ini"), u"N", u"a", 77), 77);
}

// ---- Writing -----------------------------------------------------------------------------

TYPED_TEST(ProfileContract, WriteCreatesAnAnsiFileWithSectionsInOrder) {
    const auto file = this->Path(u"new.ini");
    ASSERT_TRUE(this->profile.WriteString(file, u"INFO", u"COUNT", u"2"));
    ASSERT_TRUE(this->profile.WriteString(file, u"PORT_0", u"DeviceName", u"QK-R40"));
    ASSERT_TRUE(this->profile.WriteString(file, u"info", u"Extra", u"  x y "));
    ASSERT_TRUE(this->profile.WriteString(file, u"PORT_0", u"devicename", u"QK-R41"));
    const std::vector<uint8_t> bytes = this->world.Bytes(file);
    const std::string text(bytes.begin(), bytes.end());
    // Leading blanks of a value are dropped when written, trailing ones when the file is
    // read again (before the last write here).
    EXPECT_EQ(text, "[INFO]\r\nCOUNT=2\r\nExtra=x y\r\n[PORT_0]\r\nDeviceName=QK-R41\r\n");
    EXPECT_EQ(Show(this->profile.GetString(file, u"INFO", u"Extra", u"")), "x y");
}

TYPED_TEST(ProfileContract, WriteKeepsAUtf16FileUtf16) {
    const auto file = this->Ini(u"[S]\r\na=\u65E5\u672C\r\n");
    ASSERT_TRUE(this->profile.WriteString(file, u"S", u"b", u"\u8A9E"));
    const std::vector<uint8_t> bytes = this->world.Bytes(file);
    TextEncoding encoding = TextEncoding::Ansi;
    EXPECT_EQ(Show(DecodeText(bytes, &encoding)), Show(u"[S]\r\na=\u65E5\u672C\r\nb=\u8A9E\r\n"));
    EXPECT_EQ(encoding, TextEncoding::Utf16LeBom);
}

TYPED_TEST(ProfileContract, WriteFailsWithoutTheFolder) {
    EXPECT_FALSE(this->profile.WriteString(this->Path(u"nofolder\\x.ini"), u"S", u"k", u"v"));
    EXPECT_FALSE(this->world.Files().Exists(this->Path(u"nofolder")));
}

TYPED_TEST(ProfileContract, WriteFailsOnAReadOnlyFile) {
    const auto file = this->Ini(u"[S]\r\nk=old\r\n", TextEncoding::Ansi);
    this->world.SetReadOnly(file, true);
    if (!this->world.ReadOnlyIsEnforced(file)) {
        this->world.SetReadOnly(file, false);
        GTEST_SKIP() << "this machine lets the process write read-only files (run as root)";
    }
    EXPECT_FALSE(this->profile.WriteString(file, u"S", u"k", u"new"));
    EXPECT_FALSE(this->profile.DeleteKey(file, u"S", u"k"));
    EXPECT_FALSE(this->profile.DeleteSection(file, u"S"));
    EXPECT_EQ(Show(this->profile.GetString(file, u"S", u"k", u"")), "old");
    this->world.SetReadOnly(file, false);
}

TYPED_TEST(ProfileContract, DeleteKeyAndDeleteSection) {
    const auto file =
        this->Ini(u"[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n", TextEncoding::Ansi);
    ASSERT_TRUE(this->profile.DeleteKey(file, u"a", u"X"));
    ASSERT_TRUE(this->profile.DeleteKey(file, u"A", u"missing"));
    ASSERT_TRUE(this->profile.DeleteSection(file, u"b"));
    ASSERT_TRUE(this->profile.DeleteSection(file, u"Missing"));
    const std::vector<uint8_t> bytes = this->world.Bytes(file);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[A]\r\ny=2\r\n[C]\r\nw=4\r\n");
    EXPECT_EQ(Show(this->profile.GetString(file, u"B", u"z", u"gone")), "gone");
}

TYPED_TEST(ProfileContract, DeletingFromAMissingFileSucceedsAndCreatesNothing) {
    const auto file = this->Path(u"none.ini");
    EXPECT_TRUE(this->profile.DeleteKey(file, u"S", u"k"));
    EXPECT_TRUE(this->profile.DeleteSection(file, u"S"));
    EXPECT_FALSE(this->world.Files().Exists(file));
    EXPECT_FALSE(this->profile.DeleteKey(this->Path(u"nofolder\\x.ini"), u"S", u"k"));
    EXPECT_FALSE(this->profile.DeleteSection(this->Path(u"nofolder\\x.ini"), u"S"));
}

// ---- Raw section reads -------------------------------------------------------------------

TYPED_TEST(ProfileContract, GetSectionRawAnswersSizeMinusTwoWhenTooSmallOrExact) {
    // The whole section is "a=1\0bb=22\0\0": 10 characters and the list's NUL.
    const auto file = this->Ini(u"[S]\r\na=1\r\nbb=22\r\n");
    struct Row {
        uint32_t size;
        uint32_t answer;
        std::u16string cells; // the first size + 4 cells of the buffer
    } rows[] = {
        {64, 10, std::u16string(u"a=1\0bb=22\0\0", 11)},
        {12, 10, Cells(std::u16string(u"a=1\0bb=22\0\0", 11), 16)},
        {11, 9, Cells(std::u16string(u"a=1\0bb=22\0\0", 11), 15)}, // exact fit
        {10, 8, Cells(std::u16string(u"a=1\0bb=2\0\0", 10), 14)},  // value cut
        {7, 5, Cells(std::u16string(u"a=1\0b\0\0", 7), 11)},       // name cut
        {6, 4, Cells(std::u16string(u"a=1\0\0", 5), 10)},          // the last cell untouched
        {5, 3, Cells(std::u16string(u"a=1\0\0", 5), 9)},
        {4, 2, Cells(std::u16string(u"a=\0\0", 4), 8)},
        {3, 1, Cells(std::u16string(u"a\0\0", 3), 7)},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        RawRead got = ReadRaw(r.size, [&](char16_t* b, uint32_t n) {
            return this->profile.GetSectionRaw(file, u"s", b, n);
        });
        EXPECT_EQ(got.answer, r.answer) << "row " << i << " size " << r.size;
        EXPECT_EQ(Show(got.buffer.substr(0, r.cells.size())), Show(r.cells))
            << "row " << i << " size " << r.size;
    }
}

TYPED_TEST(ProfileContract, GetSectionRawListsLinesWithoutValuesAndSkipsComments) {
    const auto file = this->Ini(u"[S]\r\n; comment\r\nplain\r\n k = v \r\n=novalue\r\n");
    RawRead got = ReadRaw(
        64, [&](char16_t* b, uint32_t n) { return this->profile.GetSectionRaw(file, u"S", b, n); });
    const std::u16string expected(u"plain\0k=v\0=novalue\0\0", 20);
    EXPECT_EQ(got.answer, 19u);
    EXPECT_EQ(Show(got.buffer.substr(0, 20)), Show(expected));
}

TYPED_TEST(ProfileContract, GetSectionRawOfMissingOrEmptySections) {
    const auto file = this->Ini(u"[S]\r\na=1\r\n[Empty]\r\n");
    struct Row {
        std::u16string file;
        const char16_t* section;
        std::u16string cells;
    } rows[] = {
        {file, u"Missing", Cells(std::u16string(u"\0\0", 2), 8)},
        {this->Path(u"none.ini"), u"S", Cells(std::u16string(u"\0\0", 2), 8)},
        {file, u"Empty", Cells(std::u16string(u"\0", 1), 8)},
        {this->Path(u"nofolder\\none.ini"), u"S", Cells(std::u16string(u"\0", 1), 8)},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        RawRead got = ReadRaw(4, [&](char16_t* b, uint32_t n) {
            return this->profile.GetSectionRaw(rows[i].file, rows[i].section, b, n);
        });
        EXPECT_EQ(got.answer, 0u) << "row " << i;
        EXPECT_EQ(Show(got.buffer), Show(rows[i].cells)) << "row " << i;
    }
}

TYPED_TEST(ProfileContract, RawReadsIntoBuffersBelowThreeCharactersOnlyWriteNuls) {
    const auto file = this->Ini(u"[S]\r\na=1\r\n");
    for (uint32_t size = 0; size < 3; ++size) {
        RawRead section = ReadRaw(size, [&](char16_t* b, uint32_t n) {
            return this->profile.GetSectionRaw(file, u"S", b, n);
        });
        RawRead names = ReadRaw(size, [&](char16_t* b, uint32_t n) {
            return this->profile.GetSectionNamesRaw(file, b, n);
        });
        const std::u16string expected = Cells(std::u16string(size, u'\0'), size + 4);
        EXPECT_EQ(section.answer, 0u) << "size " << size;
        EXPECT_EQ(Show(section.buffer), Show(expected)) << "size " << size;
        EXPECT_EQ(names.answer, 0u) << "size " << size;
        EXPECT_EQ(Show(names.buffer), Show(expected)) << "size " << size;
    }
}

TYPED_TEST(ProfileContract, GetSectionNamesRawAnswersSizeMinusTwoWhenTooSmallOrExact) {
    // "AB\0C\0DEF\0\0": 9 characters and the list's NUL.
    const auto file = this->Ini(u"top=1\r\n[AB]\r\n[C]\r\nx=1\r\n[DEF]\r\n");
    struct Row {
        uint32_t size;
        uint32_t answer;
        std::u16string cells;
    } rows[] = {
        {32, 9, std::u16string(u"AB\0C\0DEF\0\0", 10)},
        {11, 9, Cells(std::u16string(u"AB\0C\0DEF\0\0", 10), 15)},
        {10, 8, Cells(std::u16string(u"AB\0C\0DEF\0\0", 10), 14)}, // exact fit
        {9, 7, Cells(std::u16string(u"AB\0C\0DE\0\0", 9), 13)},
        {6, 4, Cells(std::u16string(u"AB\0C\0\0", 6), 10)},
        {5, 3, Cells(std::u16string(u"AB\0\0\0", 5), 9)},
        {4, 2, Cells(std::u16string(u"AB\0\0", 4), 8)},
        {3, 1, Cells(std::u16string(u"A\0\0", 3), 7)},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        RawRead got = ReadRaw(r.size, [&](char16_t* b, uint32_t n) {
            return this->profile.GetSectionNamesRaw(file, b, n);
        });
        EXPECT_EQ(got.answer, r.answer) << "row " << i << " size " << r.size;
        EXPECT_EQ(Show(got.buffer.substr(0, r.cells.size())), Show(r.cells))
            << "row " << i << " size " << r.size;
    }
}

TYPED_TEST(ProfileContract, GetSectionNamesRawOfMissingFilesAndFilesWithoutSections) {
    const auto noSections = this->Ini(u"a=1\r\n");
    struct Row {
        std::u16string file;
        std::u16string cells;
    } rows[] = {
        {this->Path(u"none.ini"), Cells(std::u16string(u"\0", 1), 8)}, // a single NUL
        {noSections, Cells(std::u16string(u"\0", 1), 8)},
        {this->Path(u"nofolder\\none.ini"), Cells(u"", 8)}, // untouched
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        RawRead got = ReadRaw(4, [&](char16_t* b, uint32_t n) {
            return this->profile.GetSectionNamesRaw(rows[i].file, b, n);
        });
        EXPECT_EQ(got.answer, 0u) << "row " << i;
        EXPECT_EQ(Show(got.buffer), Show(rows[i].cells)) << "row " << i;
    }
}

TYPED_TEST(ProfileContract, SectionNamesInA520CharacterBufferWithMoreSectionsThanFit) {
    // 60 sections of 10 characters: 47 fit in 519 characters, the 48th is cut.
    std::u16string text;
    std::u16string all;
    for (int i = 0; i < 60; ++i) {
        char name[16];
        snprintf(name, sizeof name, "MENUITEM%02d", i);
        const std::u16string n(name, name + 10);
        text += u"[" + n + u"]\r\nITEMID=" + n.substr(8) + u"\r\n";
        all += n + std::u16string(1, u'\0');
    }
    const auto file = this->Ini(text);
    RawRead got = ReadRaw(
        520, [&](char16_t* b, uint32_t n) { return this->profile.GetSectionNamesRaw(file, b, n); });
    EXPECT_EQ(got.answer, 518u);
    std::u16string expected = all.substr(0, 518);
    expected += std::u16string(u"\0\0", 2);
    EXPECT_EQ(Show(got.buffer.substr(0, 520)), Show(expected));
    EXPECT_EQ(Show(got.buffer.substr(520)), Show(Cells(u"", 4)));
}

TYPED_TEST(ProfileContract, Utf16FileWithByteOrderMarkReadsJapaneseText) {
    const std::u16string text = u"[CMN_STR]\r\n1=\u65E5\u672C\u8A9E\r\n"
                                u"[QK_UTILITY_APP_MSG]\r\n0=\u7BA1\u7406\u8005\u6A29\u9650\\n"
                                u"\u304C\u5FC5\u8981\u3067\u3059\r\n";
    for (TextEncoding encoding : {TextEncoding::Utf16LeBom, TextEncoding::Utf8Bom}) {
        const auto file = this->Ini(text, encoding);
        EXPECT_EQ(Show(this->profile.GetString(file, u"CMN_STR", u"1", u"")),
                  Show(u"\u65E5\u672C\u8A9E"));
        RawRead got = ReadRaw(64, [&](char16_t* b, uint32_t n) {
            return this->profile.GetSectionRaw(file, u"QK_UTILITY_APP_MSG", b, n);
        });
        const std::u16string expected(u"0=\u7BA1\u7406\u8005\u6A29\u9650\\n"
                                      u"\u304C\u5FC5\u8981\u3067\u3059\0\0",
                                      16);
        EXPECT_EQ(got.answer, 15u);
        EXPECT_EQ(Show(got.buffer.substr(0, 16)), Show(expected));
    }
}

// ---- The fake against the platform, buffer size by buffer size ---------------------------

TEST(ProfileFakeMatchesPlatform, EveryBufferSizeGivesTheSameAnswerAndCells) {
    const std::u16string text =
        u"first=0\r\n[Alpha]\r\nk1=v1\r\n;c=x\r\nlonger_key = a longer value\r\n"
        u"bare\r\n[B]\r\n[Gamma Delta]\r\nq=\"quoted\"\r\n=e\r\n[alpha]\r\n"
        u"k1=dup\r\n";
    FakeWorld fake;
    RealWorld real;
    const std::u16string fakeFile = fake.Root() + u"\\m.ini";
    const std::u16string realFile = real.Root() + u"\\m.ini";
    fake.PutText(fakeFile, text, TextEncoding::Ansi);
    real.PutText(realFile, text, TextEncoding::Ansi);
    for (uint32_t size = 3; size <= 64; ++size) {
        for (const char16_t* section : {u"alpha", u"Gamma Delta", u"B"}) {
            RawRead f = ReadRaw(size, [&](char16_t* b, uint32_t n) {
                return fake.Profile().GetSectionRaw(fakeFile, section, b, n);
            });
            RawRead r = ReadRaw(size, [&](char16_t* b, uint32_t n) {
                return real.Profile().GetSectionRaw(realFile, section, b, n);
            });
            EXPECT_EQ(f.answer, r.answer) << "section " << Show(section) << " size " << size;
            EXPECT_EQ(Show(f.buffer), Show(r.buffer))
                << "section " << Show(section) << " size " << size;
        }
        RawRead f = ReadRaw(size, [&](char16_t* b, uint32_t n) {
            return fake.Profile().GetSectionNamesRaw(fakeFile, b, n);
        });
        RawRead r = ReadRaw(size, [&](char16_t* b, uint32_t n) {
            return real.Profile().GetSectionNamesRaw(realFile, b, n);
        });
        EXPECT_EQ(f.answer, r.answer) << "names, size " << size;
        EXPECT_EQ(Show(f.buffer), Show(r.buffer)) << "names, size " << size;
    }
}

// ---- The section cache against the platform, key by key -----------------------------------

TEST(ProfileCacheMatchesPlatform, EveryKeyReadsTheSameUntilAndAfterARewrite) {
    RealWorld real;
    CachedWorld cached;
    const std::u16string file = real.Root() + u"\\menu.dat";
    const std::u16string keys[] = {u"k1",  u"K1",    u"bare", u"q",     u"n",  u"hex",
                                   u"neg", u"empty", u"gone", u"quote", u" k1"};
    const std::u16string sections[] = {u"Alpha", u"alpha", u"B", u"Gamma Delta", u"None"};
    auto compare = [&](const char* when) {
        for (const auto& section : sections)
            for (const auto& key : keys) {
                EXPECT_EQ(Show(cached.Profile().GetString(file, section, key, u"def  ")),
                          Show(real.Profile().GetString(file, section, key, u"def  ")))
                    << when << " [" << Show(section) << "] " << Show(key);
                EXPECT_EQ(cached.Profile().GetInt(file, section, key, -7),
                          real.Profile().GetInt(file, section, key, -7))
                    << when << " [" << Show(section) << "] " << Show(key);
            }
    };
    compare("no file");
    real.PutText(file,
                 u"[Alpha]\r\nk1=v1\r\n;c=x\r\nbare\r\nq = \"quoted 12\" \r\nn=  42abc\r\n"
                 u"hex=0x1F\r\nneg=-0b101\r\nempty=\r\nquote='\r\n[alpha]\r\nk1=dup\r\n"
                 u"[Gamma Delta]\r\nK1=gd\r\nk1=second\r\n[B]\r\n",
                 TextEncoding::Ansi);
    compare("first text");
    real.PutText(file, u"[Alpha]\r\nk1=v2\r\nn=43\r\n[B]\r\nq=b\r\n", TextEncoding::Ansi);
    compare("rewritten");
}

// The file's list of sections answers for a section it does not have: no read of its own.
// (The blanks around '=' keep the file from being read whole: platforms may trim them apart.)
TEST(ProfileCacheMatchesPlatform, ASectionTheFileDoesNotListCostsNoRead) {
    RealWorld real;
    RecordingProfile reader(real.Profile());
    os::SectionCacheProfile cached(reader, real.Files());
    const std::u16string file = real.Root() + u"\\setting.ini";
    real.PutText(file, u"[LANGUAGE]\r\nLANGID = 0411\r\n", TextEncoding::Ansi);
    EXPECT_EQ(cached.GetInt(file, u"Font", u"EnableFontA", 3), 3);
    EXPECT_EQ(cached.GetString(file, u"Support", u"ARP", u"none"), u"none");
    EXPECT_EQ(cached.GetString(file, u"language", u"LangId", u""), u"0411");
    ASSERT_EQ(reader.Reads().size(), 1u);
    EXPECT_EQ(reader.Reads()[0].section, u"language");
    EXPECT_EQ(reader.NameReads(), 1);
}

// A file that every platform reads alike is read whole, once: its keys, its sections and its
// list of sections answer as the platform's do, without a call to it; a raw read that does
// not fit, and the sections of a file with comments, still go to it.
TEST(ProfileCacheMatchesPlatform, AFileReadWholeAnswersAsThePlatformWithoutAskingIt) {
    RealWorld real;
    RecordingProfile reader(real.Profile());
    os::SectionCacheProfile cached(reader, real.Files());
    const std::u16string utf16 = real.Root() + u"\\lang.dat";
    const std::u16string ascii = real.Root() + u"\\menu.dat";
    real.PutText(utf16,
                 u"[CMN_STR]\r\nSTR_0=QK-R40 Utility\r\nSTR_1=\u65E5\u672C\u8A9E\r\n\r\n"
                 u"[Menu]\r\nbare\r\nq=\"quoted\"\r\nn=42abc\r\nhex=0x1F\r\nempty=\r\n"
                 u"k=first\r\nK=second\r\n[Empty]\r\n[Last]\r\nx=]CMN_STR_1\r\n",
                 TextEncoding::Utf16LeBom);
    real.PutText(ascii, u"; made by hand\n[MENUITEM_1]\nITEMID=1\n;ITEMID=2\nSTRING=Paper\n",
                 TextEncoding::Ansi);
    const std::u16string sections[] = {u"CMN_STR", u"menu", u"Empty",
                                       u"Last",    u"None", u"MENUITEM_1"};
    const std::u16string keys[] = {u"STR_0", u"str_1", u"bare", u"q",      u"n",      u"hex",
                                   u"empty", u"k",     u"x",    u"ITEMID", u"STRING", u"gone"};
    auto raw = [&](auto read) {
        return std::make_pair(
            ReadRaw(512, [&](char16_t* b, uint32_t n) { return read(cached, b, n); }),
            ReadRaw(512, [&](char16_t* b, uint32_t n) { return read(real.Profile(), b, n); }));
    };
    for (const std::u16string& file : {utf16, ascii}) {
        for (const auto& section : sections)
            for (const auto& key : keys) {
                EXPECT_EQ(Show(cached.GetString(file, section, key, u"def")),
                          Show(real.Profile().GetString(file, section, key, u"def")))
                    << "[" << Show(section) << "] " << Show(key);
                EXPECT_EQ(cached.GetInt(file, section, key, -7),
                          real.Profile().GetInt(file, section, key, -7))
                    << "[" << Show(section) << "] " << Show(key);
            }
        const auto names = raw([&](os::IProfile& p, char16_t* b, uint32_t n) {
            return p.GetSectionNamesRaw(file, b, n);
        });
        EXPECT_EQ(names.first.answer, names.second.answer);
        EXPECT_EQ(Show(names.first.buffer.substr(0, names.second.answer + 1)),
                  Show(names.second.buffer.substr(0, names.second.answer + 1)));
    }
    for (const auto& section : {u"CMN_STR", u"menu", u"Last"}) {
        const auto got = raw([&](os::IProfile& p, char16_t* b, uint32_t n) {
            return p.GetSectionRaw(utf16, section, b, n);
        });
        EXPECT_EQ(got.first.answer, got.second.answer) << Show(section);
        EXPECT_EQ(Show(got.first.buffer.substr(0, got.second.answer + 1)),
                  Show(got.second.buffer.substr(0, got.second.answer + 1)))
            << Show(section);
    }
    EXPECT_EQ(reader.Reads().size(), 0u);
    EXPECT_EQ(reader.NameReads(), 0);

    // An exact fit is the platform's to answer (it says "too small"), as are listings that may
    // show comments.
    char16_t buffer[64];
    const uint32_t exact = static_cast<uint32_t>(std::u16string_view(u"x=]CMN_STR_1").size()) + 2;
    EXPECT_EQ(cached.GetSectionRaw(utf16, u"Last", buffer, exact), exact - 2);
    cached.GetSectionRaw(ascii, u"MENUITEM_1", buffer, 64);
    EXPECT_EQ(reader.Reads().size(), 2u);
}

} // namespace
} // namespace qk::test
