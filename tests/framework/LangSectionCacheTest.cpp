// The language file's sections kept between tables, on real files under Wine: read once while
// the file stays as it was, read again once it is rewritten, replaced or removed.
#include <gtest/gtest.h>
#include <string>
#include "framework/lang/LangResTable.h"
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
    EXPECT_EQ(once, 7u); // the two common sections and the screen's five
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

} // namespace
} // namespace qk::test
