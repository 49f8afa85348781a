// The language file's sections kept between tables, on real files under Wine: read once while
// the file stays as it was, read again once it is rewritten, replaced or removed.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "framework/lang/LangResTable.h"
#include "framework/lang/LangSectionCache.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/framework/TempFolder.h"

namespace qk::test {
namespace {

struct CachedWorld {
    TempFolder folder;
    RecordingProfile reader{os::RealProfile()};
    std::u16string File() const { return folder.Path() + u"\\0409.DAT"; }

    // A new table of screen SCR: its string 0, or what LoadLangFile answered when it failed.
    std::u16string Load() {
        CLangResTable table(reader, os::RealFileSystem());
        const int32_t chosen = table.LoadLangFile(folder.Path(), 0x409, 0x409);
        if (chosen < 0)
            return u"<no file>";
        table.LoadScreenTexts(u"SCR");
        return table.TextOr(LangListKind::ScreenStrings, 0, u"<none>");
    }
    size_t Reads() const { return reader.Reads().size(); }
};

TEST(LangSectionCache, TablesShareSectionsUntilTheFileChanges) {
    CachedWorld w;
    WriteUtf16File(w.File(), u"[CMN_STR]\r\n1=Common\r\n[SCR_STR]\r\nSTR_0=First\r\n");
    EXPECT_EQ(w.Load(), u"First");
    const size_t once = w.Reads();
    EXPECT_EQ(once, 2u) << "only the sections the file lists are read";
    EXPECT_EQ(w.Load(), u"First");
    EXPECT_EQ(w.Reads(), once) << "a second table of an unchanged file reads nothing";

    // Rewritten at once with a text of the same length: read again.
    WriteUtf16File(w.File(), u"[CMN_STR]\r\n1=Common\r\n[SCR_STR]\r\nSTR_0=Other\r\n");
    EXPECT_EQ(w.Load(), u"Other");
    EXPECT_EQ(w.Reads(), 2 * once);
    WriteUtf16File(w.File(), u"[CMN_STR]\r\n1=Shared text\r\n[SCR_STR]\r\nSTR_0=]CMN_STR_1\r\n");
    EXPECT_EQ(w.Load(), u"Shared text");

    ASSERT_TRUE(os::RealFileSystem().DeleteFile(w.File()));
    EXPECT_EQ(w.Load(), u"<no file>");
    WriteUtf16File(w.File(), u"[SCR_STR]\r\nSTR_0=Again\r\n");
    EXPECT_EQ(w.Load(), u"Again");
}

TEST(LangSectionCache, AReaderOfItsOwnIsNotServedAnotherReadersSections) {
    CachedWorld w;
    WriteUtf16File(w.File(), u"[SCR_STR]\r\nSTR_0=Kept\r\n");
    EXPECT_EQ(w.Load(), u"Kept");
    RawSectionProfile other;
    other.SetSection(u"SCR_STR", {u"STR_0=Its own"});
    CLangResTable table(other, os::RealFileSystem());
    ASSERT_EQ(table.LoadLangFile(w.folder.Path(), 0x409, 0x409), kLangRequestedFile);
    table.LoadScreenTexts(u"SCR");
    EXPECT_EQ(table.TextOr(LangListKind::ScreenStrings, 0, u"<none>"), u"Its own");
}

TEST(LangSectionCache, OnlyListedSectionsAreReadAndTheyAreFoundInAnyCase) {
    CachedWorld w;
    // A list of sections longer than the first buffer, the screen's own in lower case.
    std::u16string file;
    for (int i = 0; i < 200; ++i) {
        const std::string number = std::to_string(i);
        file += u"[FILLER_" + std::u16string(number.begin(), number.end()) + u"]\r\nx=1\r\n";
    }
    file += u"[scr_str]\r\nSTR_0=Lower case\r\n[Cmn_Msg]\r\n1=Message\r\n";
    WriteUtf16File(w.File(), file);
    EXPECT_EQ(w.Load(), u"Lower case");
    std::vector<std::u16string> read;
    for (const auto& each : w.reader.Reads())
        read.push_back(each.section);
    EXPECT_EQ(read, (std::vector<std::u16string>{u"CMN_MSG", u"SCR_STR"}));
    EXPECT_EQ(w.reader.NameReads(), 1) << "the list is read whole at once, however long";
}

TEST(LangSectionCache, ATablesTextsOutliveTheSectionsTheCacheLetsGo) {
    CachedWorld w;
    // Big enough that a section let go is given back to the system, not kept in the heap.
    std::u16string file = u"[SCR_CAP]\r\n1001=Caption||7\r\n[SCR_STR]\r\nSTR_0=First\r\n"
                          u"STR_1=Two\\nlines\r\n";
    for (int i = 2; i < 3000; ++i) {
        const std::string number = std::to_string(i);
        file += u"STR_" + std::u16string(number.begin(), number.end()) + u"=" +
                std::u16string(100, u'x') + u"\r\n";
    }
    WriteUtf16File(w.File(), file);
    CLangResTable table(w.reader, os::RealFileSystem());
    ASSERT_EQ(table.LoadLangFile(w.folder.Path(), 0x409, 0x409), kLangRequestedFile);
    table.LoadScreenTexts(u"SCR");

    WriteUtf16File(w.File(), u"[SCR_STR]\r\nSTR_0=Other\r\n");
    EXPECT_EQ(w.Load(), u"Other") << "the cache holds the new file's sections now";
    CLangSectionCache::Shared().Clear();

    EXPECT_EQ(table.TextOr(LangListKind::ScreenStrings, 0, u"<none>"), u"First");
    EXPECT_EQ(table.TextOr(LangListKind::ScreenStrings, 1, u"<none>"), u"Two\r\nlines");
    EXPECT_EQ(table.TextOr(LangListKind::ScreenStrings, 2999, u"<none>"),
              std::u16string(100, u'x'));
    const CLangInfoBase* caption = table.Entry(LangListKind::Captions, 0);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->m_strKey, u"1001");
    EXPECT_EQ(caption->m_strText, u"Caption");
}

} // namespace
} // namespace qk::test
