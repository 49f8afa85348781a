// The platform's private-profile functions called directly, as the design relies on them:
// buffers filled with 0xCCCC sentinels, then the exact answer, contents and terminators
// checked. The last error after a profile call is not checked: nothing relies on it.
#include <windows.h>
#include <gtest/gtest.h>
#include "platform/Text.h"
#include "tests/platform/os/OsWorlds.h"

namespace qk::test {
namespace {

constexpr wchar_t kCell = 0xCCCC;

class ProfileApi : public ::testing::Test {
protected:
    RealWorld world;
    std::wstring Path(const std::u16string& name) { return ToWide(world.Root() + u"\\" + name); }
    std::wstring Ini(const std::u16string& text, TextEncoding encoding = TextEncoding::Ansi) {
        world.PutText(world.Root() + u"\\api.ini", text, encoding);
        return Path(u"api.ini");
    }
};

std::u16string Cells(const wchar_t* buffer, size_t n) {
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), n);
}

std::u16string Expect(std::u16string text, size_t n) {
    text.resize(n, static_cast<char16_t>(kCell));
    return text;
}

TEST_F(ProfileApi, SectionReadAnswersSizeMinusTwoWhenTooSmallAndOnAnExactFit) {
    // The section is "LANGID=0409\0MODE=1\0\0": 19 characters and the list's NUL.
    const std::wstring file = Ini(u"[LANGUAGE]\r\nLANGID=0409\r\nMODE=1\r\n");
    const std::u16string whole(u"LANGID=0409\0MODE=1\0\0", 20);
    struct Row {
        DWORD size;
        DWORD answer;
        std::u16string cells; // the first size + 2 cells
    } rows[] = {
        {40, 19, Expect(whole, 42)},
        {21, 19, Expect(whole, 23)},
        {20, 18, Expect(whole, 22)}, // exact fit: all there, yet size - 2
        {19, 17, Expect(std::u16string(u"LANGID=0409\0MODE=\0\0", 19), 21)}, // value lost
        {18, 16, Expect(std::u16string(u"LANGID=0409\0MODE\0\0", 18), 20)},  // no '='
        {15, 13, Expect(std::u16string(u"LANGID=0409\0M\0\0", 15), 17)},     // name cut
        {12, 10, Expect(std::u16string(u"LANGID=040\0\0", 12), 14)},         // value cut
        {3, 1, Expect(std::u16string(u"L\0\0", 3), 5)},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        wchar_t buffer[64];
        std::fill(std::begin(buffer), std::end(buffer), kCell);
        const DWORD answer = GetPrivateProfileSectionW(L"language", buffer, r.size, file.c_str());
        EXPECT_EQ(answer, r.answer) << "row " << i << " size " << r.size;
        EXPECT_EQ(Show(Cells(buffer, r.cells.size())), Show(r.cells))
            << "row " << i << " size " << r.size;
    }
}

TEST_F(ProfileApi, SectionNamesInTheMenuFilesBufferOf520Characters) {
    // 60 item sections of 11 characters plus APP_SETTING and SETTINGS: more than fit.
    std::u16string text = u"[APP_SETTING]\r\nTITLE=x\r\n[SETTINGS]\r\nLEVEL1_INDENT=6\r\n";
    std::u16string all = std::u16string(u"APP_SETTING\0SETTINGS\0", 21);
    for (int i = 10; i < 70; ++i) {
        const std::u16string name =
            u"MENUITEM_" + std::u16string(1, u'0' + i / 10) + std::u16string(1, u'0' + i % 10);
        text += u"[" + name + u"]\r\nITEMID=" + name.substr(9) + u"\r\n";
        all += name + std::u16string(1, u'\0');
    }
    ASSERT_GT(all.size(), 520u);
    const std::wstring file = Ini(text);
    std::vector<wchar_t> buffer(530, kCell);
    const DWORD answer = GetPrivateProfileSectionNamesW(buffer.data(), 520, file.c_str());
    EXPECT_EQ(answer, 518u); // the caller's sign that the names did not fit
    std::u16string expected = all.substr(0, 518) + std::u16string(u"\0\0", 2);
    EXPECT_EQ(Show(Cells(buffer.data(), 520)), Show(expected));
    EXPECT_EQ(buffer[520], kCell);

    // With room for all of them, the answer is the length without the final NUL.
    std::vector<wchar_t> big(1024, kCell);
    const DWORD full = GetPrivateProfileSectionNamesW(big.data(), 1024, file.c_str());
    EXPECT_EQ(full, all.size());
    EXPECT_EQ(Show(Cells(big.data(), all.size() + 2)),
              Show(all + std::u16string(1, u'\0') + std::u16string(1, kCell)));
}

TEST_F(ProfileApi, MissingSectionsAndFiles) {
    const std::wstring file = Ini(u"[S]\r\na=1\r\n[Empty]\r\n");
    const std::wstring none = Path(u"none.ini");
    struct Row {
        const wchar_t* what;
        std::wstring file;
        const wchar_t* section;
        std::u16string cells;
    } rows[] = {
        {L"missing section", file, L"Nope", Expect(std::u16string(u"\0\0", 2), 6)},
        {L"missing file", none, L"S", Expect(std::u16string(u"\0\0", 2), 6)},
        {L"empty section", file, L"Empty", Expect(std::u16string(u"\0", 1), 6)},
    };
    for (const Row& r : rows) {
        wchar_t buffer[6];
        std::fill(std::begin(buffer), std::end(buffer), kCell);
        EXPECT_EQ(GetPrivateProfileSectionW(r.section, buffer, 4, r.file.c_str()), 0u)
            << Show(FromWide(r.what));
        EXPECT_EQ(Show(Cells(buffer, 6)), Show(r.cells)) << Show(FromWide(r.what));
    }
    // Section names of a missing file: a single NUL, not a double-NUL list.
    wchar_t names[6];
    std::fill(std::begin(names), std::end(names), kCell);
    EXPECT_EQ(GetPrivateProfileSectionNamesW(names, 4, none.c_str()), 0u);
    EXPECT_EQ(Show(Cells(names, 6)), Show(Expect(std::u16string(u"\0", 1), 6)));
    // A missing value: the default, and the answer is its length.
    wchar_t value[8];
    std::fill(std::begin(value), std::end(value), kCell);
    EXPECT_EQ(GetPrivateProfileStringW(L"S", L"b", L"dflt", value, 8, file.c_str()), 4u);
    EXPECT_EQ(Show(Cells(value, 6)), Show(Expect(std::u16string(u"dflt\0", 5), 6)));
}

TEST_F(ProfileApi, StringReadIntoASmallBufferAnswersSizeMinusOne) {
    const std::wstring file = Ini(u"[S]\r\nname=QK-R40 Utility\r\n");
    wchar_t value[12];
    std::fill(std::begin(value), std::end(value), kCell);
    EXPECT_EQ(GetPrivateProfileStringW(L"S", L"name", L"", value, 8, file.c_str()), 7u);
    EXPECT_EQ(Show(Cells(value, 9)), Show(Expect(std::u16string(u"QK-R40 \0", 8), 9)));
}

TEST_F(ProfileApi, Utf16FileWithByteOrderMarkIsReadAsUtf16) {
    const std::wstring file =
        Ini(u"[CMN_MSG]\r\n3=\u51E6\u7406\u4E2D\r\n", TextEncoding::Utf16LeBom);
    wchar_t value[16];
    std::fill(std::begin(value), std::end(value), kCell);
    EXPECT_EQ(GetPrivateProfileStringW(L"CMN_MSG", L"3", L"", value, 16, file.c_str()), 3u);
    EXPECT_EQ(Show(Cells(value, 4)), Show(std::u16string(u"\u51E6\u7406\u4E2D\0", 4)));
}

TEST_F(ProfileApi, NullValueDeletesTheKeyAndNullKeyDeletesTheSection) {
    const std::wstring file = Ini(u"[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
    EXPECT_TRUE(WritePrivateProfileStringW(L"A", L"x", nullptr, file.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringW(L"b", nullptr, nullptr, file.c_str()));
    const std::vector<uint8_t> bytes = world.Bytes(FromWide(file));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[A]\r\ny=2\r\n");
    // Deleting what is not there still succeeds.
    EXPECT_TRUE(WritePrivateProfileStringW(L"A", L"missing", nullptr, file.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringW(L"Missing", nullptr, nullptr, file.c_str()));
    // A file whose folder is missing cannot be written.
    const std::wstring lost = Path(u"nofolder\\x.ini");
    EXPECT_FALSE(WritePrivateProfileStringW(L"A", L"x", L"1", lost.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

} // namespace
} // namespace qk::test
