// The text table's portable core: choosing the file, reading sections with the growing
// buffer, the line walk, entry parsing, references and escapes, lookups.
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>
#include "framework/lang/LangResTable.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/fakes/FakeFileSystem.h"
#include "tests/support/fakes/FakeProfile.h"

namespace qk::test {
namespace {

const std::u16string kFolder = u"C:\\Program\\LANG";

std::u16string Digits(int n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

std::u16string TextOf(const CLangResTable& table, LangListKind kind, int32_t index) {
    std::u16string text = u"<untouched>";
    table.GetText(kind, index, text);
    return text;
}

int32_t Code(const CLangResTable& table, LangListKind kind, int32_t index) {
    std::u16string text;
    return table.GetText(kind, index, text);
}

// A table over an INI text held by the in-memory profile.
struct IniWorld {
    FakeFileSystem files;
    FakeProfile profile{files};
    RecordingProfile recorder{profile};
    CLangResTable table{recorder, files};

    void AddFile(int32_t lang, const std::u16string& text) {
        profile.SetFileText(kFolder + u"\\" + CLangResTable::LangFileName(lang), text);
    }
};

// A table over raw section lines, so that only the table's own line handling is seen.
struct RawWorld {
    FakeFileSystem files;
    RawSectionProfile raw;
    RecordingProfile recorder{raw};
    CLangResTable table{recorder, files};

    RawWorld() { files.AddFile(kFolder + u"\\0409.DAT", {}); }
    void Load(const std::u16string& screen = u"SCR") {
        ASSERT_EQ(table.LoadLangFile(kFolder, 0x409, 0x409), 2);
        ASSERT_EQ(table.LoadScreenTexts(screen), 0);
    }
};

TEST(LangParse, NumbersAreDecimalOrHexAndNothingElse) {
    struct Case {
        std::u16string piece;
        bool ok;
        int32_t value;
    };
    const Case cases[] = {
        {u"0", true, 0},
        {u"7", true, 7},
        {u"00012", true, 12},
        {u"0x1F", true, 31},
        {u"0X1f", true, 31},
        {u"0x", true, 0},
        {u"0X", true, 0},
        {u"2147483647", true, 2147483647},
        {u"2147483648", true, 2147483647},
        {u"99999999999999999999999", true, 2147483647},
        {u"0xFFFFFFFF", true, 2147483647},
        {u"0x123456789ABCDEF0", true, 2147483647},
        {u"0x7fffffff", true, 2147483647},
        {u"", false, 0},
        {u"-1", false, 0},
        {u"+1", false, 0},
        {u" 1", false, 0},
        {u"1 ", false, 0},
        {u"12a", false, 0},
        {u"0x1G", false, 0},
        {u"x1", false, 0},
        {u"0x-1", false, 0},
        {u"1.5", false, 0},
    };
    for (const Case& c : cases) {
        int32_t value = 4242;
        EXPECT_EQ(CLangResTable::ParseNumber(c.piece, value), c.ok)
            << std::string(c.piece.begin(), c.piece.end());
        EXPECT_EQ(value, c.ok ? c.value : 4242) << std::string(c.piece.begin(), c.piece.end());
    }
}

TEST(LangParse, SplitTextKeepsEmptyPiecesAndAppends) {
    using List = std::vector<std::u16string>;
    auto split = [](std::u16string_view text) {
        List list;
        const int32_t size = CLangResTable::SplitText(text, u"||", list);
        EXPECT_EQ(size, static_cast<int32_t>(list.size()));
        return list;
    };
    EXPECT_EQ(split(u"a||b"), (List{u"a", u"b"}));
    EXPECT_EQ(split(u"a||"), (List{u"a", u""}));
    EXPECT_EQ(split(u"||a"), (List{u"", u"a"}));
    EXPECT_EQ(split(u"a||||b"), (List{u"a", u"", u"b"}));
    EXPECT_EQ(split(u"a|b"), (List{u"a|b"}));
    EXPECT_EQ(split(u""), (List{u""}));

    List list{u"key"};
    EXPECT_EQ(CLangResTable::SplitText(u"x||y", u"||", list), 3);
    EXPECT_EQ(list, (List{u"key", u"x", u"y"}));
}

TEST(LangParse, EscapesBecomeLineBreaksThenTabs) {
    std::u16string text = u"Line1\\nLine2\\tEnd\\n";
    CLangResTable::ReplaceEscapes(text);
    EXPECT_EQ(text, u"Line1\r\nLine2\tEnd\r\n");
    std::u16string plain = u"C:\\path";
    CLangResTable::ReplaceEscapes(plain);
    EXPECT_EQ(plain, u"C:\\path");
}

TEST(LangParse, FileNameIsFourUpperHexDigits) {
    EXPECT_EQ(CLangResTable::LangFileName(0x409), u"0409.DAT");
    EXPECT_EQ(CLangResTable::LangFileName(0x41a), u"041A.DAT");
    EXPECT_EQ(CLangResTable::LangFileName(0x12345), u"12345.DAT");
    EXPECT_EQ(CLangResTable::LangFileName(0), u"0000.DAT");
}

TEST(LangLoad, RequestedFileMissingFallsBackToEnglish) {
    IniWorld w;
    w.AddFile(0x409, u"[CMN_STR]\r\nSTR_0=x\r\n");
    EXPECT_EQ(w.table.LoadLangFile(kFolder, 0x411, 0x409), 1);
    EXPECT_TRUE(w.table.IsFileChosen());
    EXPECT_EQ(w.table.FileName(), u"0409.DAT");
    EXPECT_EQ(w.table.LangId(), 0x409);
    EXPECT_EQ(w.table.Folder(), kFolder);
}

TEST(LangLoad, RequestedFilePresentIsUsed) {
    IniWorld w;
    w.AddFile(0x409, u"[CMN_STR]\r\nSTR_0=English\r\n");
    w.AddFile(0x411, u"[CMN_STR]\r\nSTR_0=Japanese\r\n");
    EXPECT_EQ(w.table.LoadLangFile(kFolder, 0x411, 0x409), 2);
    EXPECT_EQ(w.table.FileName(), u"0411.DAT");
    ASSERT_EQ(w.table.LoadScreenTexts(u"ANY"), 0);
    EXPECT_EQ(TextOf(w.table, LangListKind::CommonStrings, 0), u"Japanese");
}

TEST(LangLoad, NeitherFileKeepsThePreviousChoiceButClearsTheFlagAndEntries) {
    IniWorld w;
    w.AddFile(0x409, u"[CMN_STR]\r\nSTR_0=English\r\n");
    ASSERT_EQ(w.table.LoadLangFile(kFolder, 0x409, 0x409), 2);
    ASSERT_EQ(w.table.LoadScreenTexts(u"ANY"), 0);
    ASSERT_EQ(w.table.Count(LangListKind::CommonStrings), 1);

    EXPECT_EQ(w.table.LoadLangFile(u"C:\\Elsewhere", 0x411, 0x407), -1);
    EXPECT_FALSE(w.table.IsFileChosen());
    EXPECT_EQ(w.table.Count(LangListKind::CommonStrings), 0);
    EXPECT_EQ(w.table.Folder(), kFolder);
    EXPECT_EQ(w.table.FileName(), u"0409.DAT");
    w.recorder.ClearReads();
    EXPECT_EQ(w.table.LoadScreenTexts(u"ANY"), -2);
    EXPECT_TRUE(w.recorder.Reads().empty());
}

TEST(LangLoad, EmptyFolderFailsEvenWhenTheFileIsInTheWorkingFolder) {
    IniWorld w;
    w.files.AddFile(u"0409.DAT", {});
    w.files.AddFile(u"\\0409.DAT", {});
    w.files.AddFile(u"C:\\0409.DAT", {});
    EXPECT_EQ(w.table.LoadLangFile(u"", 0x409, 0x409), -1);
    EXPECT_FALSE(w.table.IsFileChosen());
}

TEST(LangLoad, ScreenTextsNeedAFileAndAName) {
    IniWorld w;
    EXPECT_EQ(w.table.LoadScreenTexts(u"PRT_STATUS"), -2);
    EXPECT_TRUE(w.recorder.Reads().empty());
    w.AddFile(0x409, u"[CMN_STR]\r\nSTR_0=x\r\n");
    ASSERT_EQ(w.table.LoadLangFile(kFolder, 0x409, 0x409), 2);
    EXPECT_EQ(w.table.LoadScreenTexts(u""), -3);
    EXPECT_TRUE(w.recorder.Reads().empty());
}

TEST(LangLoad, SectionsAreReadInTheFixedOrderFromTheChosenFile) {
    IniWorld w;
    w.AddFile(0x409, u"[CMN_STR]\r\nSTR_0=x\r\n");
    ASSERT_EQ(w.table.LoadLangFile(kFolder, 0x411, 0x409), 1);
    ASSERT_EQ(w.table.LoadScreenTexts(u"SCR"), 0);
    std::vector<std::u16string> order;
    for (const auto& read : w.recorder.Reads()) {
        EXPECT_EQ(read.file, kFolder + u"\\0409.DAT");
        if (order.empty() || order.back() != read.section)
            order.push_back(read.section);
    }
    EXPECT_EQ(order, (std::vector<std::u16string>{u"CMN_STR", u"CMN_MSG", u"SCR_CAP", u"SCR_CMB",
                                                  u"SCR_LSTCTRL", u"SCR_MSG", u"SCR_STR"}));
}

TEST(LangLoad, SectionBufferStartsAt520AndDoublesUntilItFits) {
    IniWorld w;
    std::u16string text = u"[SCR_STR]\r\n";
    std::u16string expected[40];
    for (int i = 0; i < 40; ++i) {
        expected[i] = u"Text number " + Digits(i) + u" with some length";
        text += u"STR_" + Digits(i) + u"=" + expected[i] + u"\r\n";
    }
    w.AddFile(0x409, text);
    ASSERT_EQ(w.table.LoadLangFile(kFolder, 0x409, 0x409), 2);
    ASSERT_EQ(w.table.LoadScreenTexts(u"SCR"), 0);

    std::vector<RecordingProfile::SectionRead> reads;
    for (const auto& read : w.recorder.Reads()) {
        if (read.section == u"SCR_STR")
            reads.push_back(read);
    }
    ASSERT_GE(reads.size(), 3u);
    for (size_t i = 0; i < reads.size(); ++i) {
        EXPECT_EQ(reads[i].size, 520u << i);
        if (i + 1 < reads.size()) {
            EXPECT_EQ(reads[i].answer, reads[i].size - 2);
        }
    }
    EXPECT_LT(reads.back().answer, reads.back().size - 2);
    ASSERT_EQ(w.table.Count(LangListKind::ScreenStrings), 40);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, i), expected[i]);
}

// A big section is read whole a few times, not once per 260 characters.
TEST(LangLoad, BigSectionTakesFewWholeSectionReads) {
    IniWorld w;
    std::u16string text = u"[SCR_STR]\r\n";
    for (int i = 0; text.size() < 300000; ++i)
        text += u"STR_" + Digits(i % 1000) + u"=" + std::u16string(90, u'a' + i % 26) + u"\r\n";
    w.AddFile(0x409, text);
    ASSERT_EQ(w.table.LoadLangFile(kFolder, 0x409, 0x409), 2);
    ASSERT_EQ(w.table.LoadScreenTexts(u"SCR"), 0);
    size_t reads = 0;
    for (const auto& read : w.recorder.Reads())
        reads += read.section == u"SCR_STR";
    EXPECT_LE(reads, 12u);
    EXPECT_EQ(w.table.Count(LangListKind::ScreenStrings), 1000);
}

TEST(LangLoad, MissingSectionIsReadOnceAndAddsNothing) {
    IniWorld w;
    w.AddFile(0x409, u"[OTHER_STR]\r\nSTR_0=x\r\n");
    ASSERT_EQ(w.table.LoadLangFile(kFolder, 0x409, 0x409), 2);
    ASSERT_EQ(w.table.LoadScreenTexts(u"SCR"), 0);
    EXPECT_EQ(w.recorder.Reads().size(), 7u);
    for (int k = 0; k < kLangListCount; ++k)
        EXPECT_EQ(w.table.Count(static_cast<LangListKind>(k)), 0);
}

TEST(LangLoad, ReloadingEmptiesTheTableAndScreensAddUp) {
    IniWorld w;
    w.AddFile(0x409, u"[A_CAP]\r\nIDC_1=One\r\n[A_STR]\r\nSTR_1=A\r\n"
                     u"[B_CAP]\r\nIDC_2=Two\r\n[B_STR]\r\nSTR_1=B\r\n");
    ASSERT_EQ(w.table.LoadLangFile(kFolder, 0x409, 0x409), 2);
    ASSERT_EQ(w.table.LoadScreenTexts(u"A"), 0);
    ASSERT_EQ(w.table.LoadScreenTexts(u"B"), 0);
    // Captions append, indexed entries replace.
    EXPECT_EQ(w.table.Count(LangListKind::Captions), 2);
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 1), u"B");
    ASSERT_EQ(w.table.LoadScreenTexts(u"A"), 0);
    EXPECT_EQ(w.table.Count(LangListKind::Captions), 3);
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 1), u"A");

    ASSERT_EQ(w.table.LoadLangFile(kFolder, 0x409, 0x409), 2);
    for (int k = 0; k < kLangListCount; ++k)
        EXPECT_EQ(w.table.Count(static_cast<LangListKind>(k)), 0);
}

TEST(LangLines, StringEntriesNeedExactlyOnePartAndTheLastLineOfANumberWins) {
    RawWorld w;
    w.raw.SetSection(u"SCR_STR", {u"STR_5=A||B", u"STR_6=A", u"X_6=B", u"STR_7=only"});
    w.Load();
    EXPECT_EQ(Code(w.table, LangListKind::ScreenStrings, 5), -1);
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 6), u"B");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 7), u"only");
    const CLangInfoBase* entry = w.table.Entry(LangListKind::ScreenStrings, 6);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->m_strKey, u"X_6");
    EXPECT_EQ(entry->m_nCtrlID, 6);
    EXPECT_EQ(entry->m_nOption, -1);
}

TEST(LangLines, KeyNumbersComeFromTheLastUnderscorePiece) {
    RawWorld w;
    w.raw.SetSection(u"SCR_MSG", {u"IDS_=empty", u"IDS_-1=negative", u"0x1F=hex", u"0x=zero",
                                  u"7=bare", u"A_B_12=deep", u"=novalue_key", u"K_3=",
                                  u"no equals sign", u"S_4=a=b", u"S 8=space", u"S_9 =blank"});
    w.Load();
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenMessages, 31), u"hex");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenMessages, 0), u"zero");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenMessages, 7), u"bare");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenMessages, 12), u"deep");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenMessages, 4), u"a=b");
    EXPECT_EQ(Code(w.table, LangListKind::ScreenMessages, 3), -1);
    // Nothing is trimmed: "S 8" and "9 " are no numbers.
    EXPECT_EQ(Code(w.table, LangListKind::ScreenMessages, 8), -1);
    EXPECT_EQ(Code(w.table, LangListKind::ScreenMessages, 9), -1);
    EXPECT_EQ(w.table.Count(LangListKind::ScreenMessages), 32);
}

TEST(LangLines, ListColumnsNeedFourPartsAndKeepTheirNumbers) {
    RawWorld w;
    w.raw.SetSection(u"SCR_LSTCTRL",
                     {u"IDC_LIST_1005=Name||2||120||1", u"IDC_LIST_1005=Short||2||120",
                      u"IDC_LIST_1006=Opt||0||-1||2||9||extra", u"IDC_LIST_1007=Bad||x||0x10||y"});
    w.Load();
    ASSERT_EQ(w.table.Count(LangListKind::ListColumns), 3);
    const auto* first =
        dynamic_cast<const CListCtrlResInfo*>(w.table.Entry(LangListKind::ListColumns, 0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_nCtrlID, 1005);
    EXPECT_EQ(first->m_strText, u"Name");
    EXPECT_EQ(first->m_nColumn, 2);
    EXPECT_EQ(first->m_nWidth, 120);
    EXPECT_EQ(first->m_nAlign, 1);
    EXPECT_EQ(first->m_nOption, -1);
    const auto* second =
        dynamic_cast<const CListCtrlResInfo*>(w.table.Entry(LangListKind::ListColumns, 1));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->m_nCtrlID, 1006);
    EXPECT_EQ(second->m_nWidth, -1); // "-1" is no number: the field keeps -1
    EXPECT_EQ(second->m_nAlign, 2);
    EXPECT_EQ(second->m_nOption, 9);
    const auto* third =
        dynamic_cast<const CListCtrlResInfo*>(w.table.Entry(LangListKind::ListColumns, 2));
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->m_nColumn, -1);
    EXPECT_EQ(third->m_nWidth, 16);
    EXPECT_EQ(third->m_nAlign, -1);
}

TEST(LangLines, ComboItemsNeedItemDataAndServeTheLanguageLookup) {
    RawWorld w;
    w.raw.SetSection(u"SCR_CMB",
                     {u"IDC_COMBO_1000=English||1033", u"IDC_COMBO_1000=NoData",
                      u"IDC_OTHER_1001=Other||1041", u"IDC_COMBO_1000=Japanese||0x411||4",
                      u"IDC_COMBO_1000=Second English||1033"});
    w.Load();
    ASSERT_EQ(w.table.Count(LangListKind::ComboItems), 4);
    EXPECT_EQ(w.table.FindComboItemText(1033), u"English");
    EXPECT_EQ(w.table.FindComboItemText(1041), u"Japanese");
    EXPECT_EQ(w.table.FindComboItemText(0x407), u"");
    const auto* japanese =
        dynamic_cast<const CComboBoxResInfo*>(w.table.Entry(LangListKind::ComboItems, 2));
    ASSERT_NE(japanese, nullptr);
    EXPECT_EQ(japanese->m_nItemData, 0x411);
    EXPECT_EQ(japanese->m_nOption, 4);
}

TEST(LangLines, CaptionsKeepFileOrderAndTheirOption) {
    RawWorld w;
    w.raw.SetSection(u"SCR_CAP", {u"IDC_B_1002=Second||5", u"IDC_A_1001=First", u"IDC_1003=||1"});
    w.Load();
    ASSERT_EQ(w.table.Count(LangListKind::Captions), 3);
    EXPECT_EQ(w.table.Entry(LangListKind::Captions, 0)->m_nCtrlID, 1002);
    EXPECT_EQ(w.table.Entry(LangListKind::Captions, 0)->m_nOption, 5);
    EXPECT_EQ(w.table.Entry(LangListKind::Captions, 1)->m_nCtrlID, 1001);
    EXPECT_EQ(w.table.Entry(LangListKind::Captions, 1)->m_nOption, -1);
    EXPECT_EQ(TextOf(w.table, LangListKind::Captions, 2), u"");
}

TEST(LangLines, TextEscapesApplyToEveryKind) {
    RawWorld w;
    w.raw.SetSection(u"SCR_STR", {u"STR_1=Line1\\nLine2"});
    w.raw.SetSection(u"SCR_CAP", {u"IDC_1=A\\tB"});
    w.raw.SetSection(u"CMN_MSG", {u"MSG_2=X\\nY"});
    w.Load();
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 1), u"Line1\r\nLine2");
    EXPECT_EQ(TextOf(w.table, LangListKind::Captions, 0), u"A\tB");
    EXPECT_EQ(TextOf(w.table, LangListKind::CommonMessages, 2), u"X\r\nY");
}

TEST(LangLines, ReferencesTakeCommonEntriesOnlyInScreenSections) {
    RawWorld w;
    w.raw.SetSection(u"CMN_MSG", {u"MSG_3=Busy"});
    w.raw.SetSection(u"CMN_STR", {u"STR_1=One\\nLine", u"STR_2=]CMN_STR_1"});
    w.raw.SetSection(u"SCR_STR", {u"STR_0=]CMN_MSG_3", u"STR_1=]CMN_MSG_99", u"STR_2=]OTHER",
                                  u"STR_3=]", u"STR_4=]CMN_STR_1_2", u"STR_5=]CMN_STR_1",
                                  u"STR_6=]CMN_STR_x", u"STR_7=x]CMN_STR_1", u"STR_8=]XCMN_STR_1"});
    w.raw.SetSection(u"SCR_CAP", {u"IDC_9=]CMN_MSG_3"});
    w.raw.SetSection(u"SCR_MSG", {u"MSG_0=]CMN_STR_1"});
    w.Load();
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 0), u"Busy");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 1), u"");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 2), u"]OTHER");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 3), u"]");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 4), u"]CMN_STR_1_2");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 5), u"One\r\nLine");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 6), u"");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 7), u"x]CMN_STR_1");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 8), u"One\r\nLine");
    EXPECT_EQ(TextOf(w.table, LangListKind::Captions, 0), u"Busy");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenMessages, 0), u"One\r\nLine");
    // The common sections resolve no references themselves.
    EXPECT_EQ(TextOf(w.table, LangListKind::CommonStrings, 2), u"]CMN_STR_1");
}

TEST(LangLines, GetTextTellsHolesFromIndexesOutOfRange) {
    RawWorld w;
    w.raw.SetSection(u"SCR_STR", {u"STR_3=three"});
    w.Load();
    std::u16string text = u"kept";
    EXPECT_EQ(w.table.GetText(LangListKind::ScreenStrings, -1, text), -3);
    EXPECT_EQ(w.table.GetText(LangListKind::ScreenStrings, 4, text), -3);
    EXPECT_EQ(w.table.GetText(LangListKind::ScreenStrings, 2, text), -1);
    EXPECT_EQ(text, u"kept");
    EXPECT_EQ(w.table.GetText(LangListKind::ScreenStrings, 3, text), 0);
    EXPECT_EQ(text, u"three");
    EXPECT_EQ(w.table.TextOr(LangListKind::ScreenStrings, 2, u"English"), u"English");
    EXPECT_EQ(w.table.TextOr(LangListKind::ScreenStrings, 3, u"English"), u"three");
    EXPECT_EQ(w.table.GetText(LangListKind::CommonStrings, 0, text), -3);
}

TEST(LangLines, HugeNumbersAreIgnoredWithoutAHugeTable) {
    RawWorld w;
    w.raw.SetSection(u"SCR_STR", {u"STR_2147483647=max", u"STR_0xFFFFFFFF=hexmax",
                                  u"STR_65536=over", u"STR_65535=last"});
    w.Load();
    EXPECT_EQ(w.table.Count(LangListKind::ScreenStrings), 65536);
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 65535), u"last");
}

// The walk steps over a line by at most 2048 characters plus one: a longer line is entered
// at its 2050th character and the rest is taken as a line of its own.
TEST(LangWalk, LinesLongerThan2048AreReenteredAt2049) {
    RawWorld w;
    std::u16string first = u"S_1=";
    first.append(2049 - first.size(), u'a');
    const std::u16string rest = u"S_2=tail";
    w.raw.SetSection(u"SCR_STR", {first + rest, u"S_3=next"});
    w.Load();
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 1), first.substr(4) + rest);
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 2), u"tail");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 3), u"next");
}

TEST(LangWalk, VeryLongLinesAreTakenWholeAndTheWalkGoesOn) {
    RawWorld w;
    std::u16string longText(6000, u'x');
    std::u16string exact(2048 - 4, u'y');
    w.raw.SetSection(u"SCR_STR", {u"S_1=" + longText, u"S_4=" + exact, u"S_5=after"});
    w.Load();
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 1), longText);
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 4), exact);
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 5), u"after");
}

// A line of exactly 2049 characters makes the walk land on its terminating zero, which reads
// as the empty line that ends the section.
TEST(LangWalk, ALineOf2049CharactersEndsTheSection) {
    RawWorld w;
    std::u16string line = u"S_1=";
    line.append(2049 - line.size(), u'z');
    w.raw.SetSection(u"SCR_STR", {u"S_0=before", line, u"S_2=lost"});
    w.Load();
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 0), u"before");
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 1), line.substr(4));
    EXPECT_EQ(w.table.Count(LangListKind::ScreenStrings), 2);
}

TEST(LangWalk, TenThousandEntriesAreAllRead) {
    RawWorld w;
    std::vector<std::u16string> strings, captions;
    for (int i = 0; i < 10000; ++i) {
        strings.push_back(u"STR_" + Digits(i) + u"=String " + Digits(i));
        captions.push_back(u"IDC_" + Digits(20000 + i) + u"=Caption " + Digits(i));
    }
    w.raw.SetSection(u"BIG_STR", strings);
    w.raw.SetSection(u"BIG_CAP", captions);
    w.Load(u"BIG");
    ASSERT_EQ(w.table.Count(LangListKind::ScreenStrings), 10000);
    ASSERT_EQ(w.table.Count(LangListKind::Captions), 10000);
    for (int i = 0; i < 10000; ++i) {
        ASSERT_EQ(TextOf(w.table, LangListKind::ScreenStrings, i), u"String " + Digits(i));
        ASSERT_EQ(w.table.Entry(LangListKind::Captions, i)->m_nCtrlID, 20000 + i);
    }
}

TEST(LangWalk, ASectionThatFitsTheBufferExactlyIsReadAgainAndComplete) {
    RawWorld w;
    // "S_1=" + text + zero, and the final zero: exactly 520 characters.
    std::u16string text(520 - 2 - 4, u'q');
    w.raw.SetSection(u"SCR_STR", {u"S_1=" + text});
    w.Load();
    EXPECT_EQ(TextOf(w.table, LangListKind::ScreenStrings, 1), text);
    int reads = 0;
    for (const auto& read : w.recorder.Reads())
        reads += read.section == u"SCR_STR";
    EXPECT_EQ(reads, 2);
}

} // namespace
} // namespace qk::test
