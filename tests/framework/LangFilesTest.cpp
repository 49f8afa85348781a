// The shipped language files, read as the program reads them (the real profile reader under
// Wine): every screen is there, every line is a valid entry, the three languages define the
// same entries, the English texts are the documented ones, and each file is its UTF-8 source.
// Also large synthetic language files through the real reader.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>
#include "framework/lang/LangResTable.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "tests/framework/TempFolder.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

const int32_t kLanguages[] = {0x0409, 0x0407, 0x0411};

const char16_t* const kScreens[] = {
    u"QK_UTILITY_APP",       u"MAIN_WINDOW",   u"SELECT_LANG_DLG", u"MSG_CONFIRM_SAVE_FILE",
    u"PRT_SELECT_DLG",       u"PORT_ADD_DLG",  u"MENU_ITEM",       u"PRT_STATUS",
    u"PRINTER_SETTING_VIEW", u"PLUGIN_COMMON", u"QKUEJ_DLL",
};

std::u16string LangFolder() {
    return FromWide(StageDir()) + u"LANG";
}

std::u16string Digits(int n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

// Reads a raw list ("a\0b\0\0") through the real reader with a buffer that grows until the
// answer is no longer size - 2.
template <typename Read> std::vector<std::u16string> RawList(Read read) {
    for (uint32_t size = 4096;; size *= 2) {
        std::vector<char16_t> buffer(size, 0);
        const uint32_t n = read(buffer.data(), size);
        if (n + 2 >= size && size < (1u << 24))
            continue;
        std::vector<std::u16string> items;
        for (uint32_t pos = 0; pos < size && buffer[pos];) {
            std::u16string item(buffer.data() + pos);
            pos += static_cast<uint32_t>(item.size()) + 1;
            items.push_back(std::move(item));
        }
        return items;
    }
}

struct Line {
    std::u16string key;
    std::vector<std::u16string> pieces; // the value cut at "||"
};

// Every section of a language file with its lines, as the real reader gives them.
std::map<std::u16string, std::vector<Line>> ReadWholeFile(const std::u16string& file) {
    os::IProfile& profile = os::RealProfile();
    std::map<std::u16string, std::vector<Line>> sections;
    for (const auto& name :
         RawList([&](char16_t*b, uint32_t n) { return profile.GetSectionNamesRaw(file, b, n); })) {
        auto& lines = sections[name];
        for (const auto& text : RawList(
                 [&](char16_t*b, uint32_t n) { return profile.GetSectionRaw(file, name, b, n); })) {
            Line line;
            const size_t eq = text.find(u'=');
            line.key = text.substr(0, eq);
            if (eq != std::u16string::npos)
                CLangResTable::SplitText(std::u16string_view(text).substr(eq + 1), u"||",
                                         line.pieces);
            lines.push_back(std::move(line));
        }
    }
    return sections;
}

std::string Narrow(std::u16string_view s) {
    std::string out;
    for (char16_t c : s)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

TEST(ShippedLanguageFiles, EveryScreenLoadsInEveryLanguageWithOnlyValidLines) {
    for (int32_t lang : kLanguages) {
        const std::u16string file = LangFolder() + u"\\" + CLangResTable::LangFileName(lang);
        const auto sections = ReadWholeFile(file);
        ASSERT_FALSE(sections.empty()) << Narrow(file);
        for (const char16_t* screen : kScreens) {
            CLangResTable table;
            ASSERT_EQ(table.LoadLangFile(LangFolder(), lang, 0x409), 2);
            ASSERT_EQ(table.LoadScreenTexts(screen), 0);

            size_t lines = 0;
            struct Kind {
                const char16_t* suffix;
                LangListKind list;
            };
            const Kind kinds[] = {{u"_CAP", LangListKind::Captions},
                                  {u"_CMB", LangListKind::ComboItems},
                                  {u"_LSTCTRL", LangListKind::ListColumns},
                                  {u"_MSG", LangListKind::ScreenMessages},
                                  {u"_STR", LangListKind::ScreenStrings}};
            for (const Kind& kind : kinds) {
                auto it = sections.find(std::u16string(screen) + kind.suffix);
                if (it == sections.end())
                    continue;
                lines += it->second.size();
                // Every line became an entry, and every entry has a text.
                int32_t entries = 0;
                for (int32_t i = 0; i < table.Count(kind.list); ++i) {
                    if (const CLangInfoBase* entry = table.Entry(kind.list, i)) {
                        ++entries;
                        EXPECT_FALSE(entry->m_strText.empty())
                            << Narrow(file) << " " << Narrow(entry->m_strKey);
                        EXPECT_NE(entry->m_strText[0], u']') << Narrow(entry->m_strKey);
                    }
                }
                EXPECT_EQ(entries, static_cast<int32_t>(it->second.size()))
                    << Narrow(file) << " " << Narrow(it->first);
            }
            EXPECT_GT(lines, 0u) << Narrow(file) << " has nothing for " << Narrow(screen);
        }
    }
}

TEST(ShippedLanguageFiles, TheThreeLanguagesDefineTheSameEntries) {
    // Section -> key -> the numbers of the entry (item data, column and alignment, or the
    // value of the interface-type messages that start-up parses).
    using Shape = std::map<std::u16string, std::map<std::u16string, std::vector<std::u16string>>>;
    auto shapeOf = [](int32_t lang) {
        Shape shape;
        const auto sections =
            ReadWholeFile(LangFolder() + u"\\" + CLangResTable::LangFileName(lang));
        for (const auto& [name, lines] : sections) {
            for (const Line& line : lines) {
                std::vector<std::u16string> numbers;
                const bool combo = name.ends_with(u"_CMB");
                const bool column = name.ends_with(u"_LSTCTRL");
                for (size_t i = 1; i < line.pieces.size(); ++i)
                    if (combo || (column && i != 2))
                        numbers.push_back(line.pieces[i]);
                if (name == u"PORT_ADD_DLG_MSG" &&
                    (line.key == u"MSG_100" || line.key == u"MSG_101"))
                    numbers = line.pieces;
                EXPECT_EQ(shape[name].count(line.key), 0u) << "repeated key " << Narrow(line.key);
                shape[name][line.key] = numbers;
            }
        }
        return shape;
    };
    const Shape english = shapeOf(0x0409);
    for (int32_t lang : {0x0407, 0x0411}) {
        const Shape other = shapeOf(lang);
        EXPECT_EQ(other.size(), english.size()) << std::hex << lang;
        for (const auto& [section, keys] : english) {
            auto it = other.find(section);
            ASSERT_NE(it, other.end()) << std::hex << lang << " lacks " << Narrow(section);
            EXPECT_EQ(it->second, keys) << std::hex << lang << " differs in " << Narrow(section);
        }
    }
}

TEST(ShippedLanguageFiles, EnglishTextsAreTheDocumentedOnes) {
    struct Text {
        const char16_t* screen;
        LangListKind list;
        int32_t number;
        const char16_t* text;
    };
    const Text texts[] = {
        {u"QK_UTILITY_APP", LangListKind::ScreenMessages, 0,
         u"You must have Administrator rights to run this software."},
        {u"QK_UTILITY_APP", LangListKind::ScreenMessages, 4,
         u"Cannot launch the printer because it is in use by another application."},
        {u"QK_UTILITY_APP", LangListKind::ScreenMessages, 6, u"This operation is not supported."},
        {u"QK_UTILITY_APP", LangListKind::ScreenMessages, 7, u"Saving to the file failed."},
        {u"MAIN_WINDOW", LangListKind::ScreenStrings, 0, u"Communicating with the printer"},
        {u"SELECT_LANG_DLG", LangListKind::ScreenStrings, 0, u"Select Language"},
        {u"PRT_SELECT_DLG", LangListKind::ScreenMessages, 0,
         u"Please select the printer you want to setup."},
        {u"PRT_SELECT_DLG", LangListKind::ScreenMessages, 1,
         u"Do you really want to delete the selected port?"},
        {u"PRT_SELECT_DLG", LangListKind::ScreenMessages, 2, u"The connected printer is not %s."},
        {u"PRT_SELECT_DLG", LangListKind::ScreenMessages, 3,
         u"Cannot communicate with the printer."},
        {u"PRT_SELECT_DLG", LangListKind::ScreenMessages, 4,
         u"Cannot launch the printer because it is in use by another application."},
        {u"PRT_SELECT_DLG", LangListKind::ScreenStrings, 1, u"Serial"},
        {u"PRT_SELECT_DLG", LangListKind::ScreenStrings, 2, u"Parallel"},
        {u"PRT_SELECT_DLG", LangListKind::ScreenStrings, 3, u"USB"},
        {u"PRT_SELECT_DLG", LangListKind::ScreenStrings, 4, u"NET"},
        {u"PRT_SELECT_DLG", LangListKind::ScreenStrings, 5, u"Select"},
        {u"PRT_SELECT_DLG", LangListKind::ScreenStrings, 6, u"Bluetooth"},
        {u"PORT_ADD_DLG", LangListKind::ScreenMessages, 0, u"A communication error occurred."},
        {u"PORT_ADD_DLG", LangListKind::ScreenMessages, 1,
         u"Communication test completed successfully."},
        {u"PORT_ADD_DLG", LangListKind::ScreenMessages, 2,
         u"The device ID does not match the connected printer."},
        {u"PORT_ADD_DLG", LangListKind::ScreenMessages, 3, u"Cannot find the printer."},
        {u"PORT_ADD_DLG", LangListKind::ScreenStrings, 0, u"Add Port"},
        {u"PORT_ADD_DLG", LangListKind::ScreenStrings, 13,
         u"Select the communication interface to %s."},
        {u"PORT_ADD_DLG", LangListKind::ScreenStrings, 1034, u"Run Paring"},
        {u"PORT_ADD_DLG", LangListKind::ScreenStrings, 5018, u"Paring"},
        {u"PORT_ADD_DLG", LangListKind::ScreenStrings, 5019, u"Run TarrowNet Config"},
        {u"PORT_ADD_DLG", LangListKind::ScreenStrings, 5020, u"TarrowNet Config Running..."},
        {u"PRT_STATUS", LangListKind::ScreenStrings, 0, u"Online"},
        {u"PRT_STATUS", LangListKind::ScreenStrings, 2, u"Cannot Get Status"},
        {u"PRT_STATUS", LangListKind::ScreenStrings, 14, u"Feeding paper"},
        {u"PRT_STATUS", LangListKind::ScreenStrings, 15, u"Offline"},
        {u"PRT_STATUS", LangListKind::ScreenStrings, 16, u"Awaiting paper removal"},
        {u"PRT_STATUS", LangListKind::ScreenStrings, 21, u"Unknown"},
        {u"PRT_STATUS", LangListKind::ScreenStrings, 22, u"Port:"},
        {u"PRT_STATUS", LangListKind::ScreenStrings, 24, u"Status:"},
        {u"PRT_STATUS", LangListKind::ScreenStrings, 27, u"Cleaning"},
        {u"PRT_STATUS", LangListKind::ScreenStrings, 28, u"Unknown"},
        {u"PRT_STATUS", LangListKind::ScreenStrings, 29, u"Paper layout error"},
        {u"PRT_STATUS", LangListKind::ScreenStrings, 100, u"Printer Name:"},
        {u"PRINTER_SETTING_VIEW", LangListKind::ScreenMessages, 0,
         u"The device ID does not match the connected printer."},
        {u"PRINTER_SETTING_VIEW", LangListKind::ScreenMessages, 1,
         u"A communication error occurred."},
        {u"PRINTER_SETTING_VIEW", LangListKind::ScreenMessages, 2,
         u"Could not get some settings from the printer."},
        {u"PLUGIN_COMMON", LangListKind::ScreenMessages, 0,
         u"Do you want to save your changes to the settings to the printer?"},
        {u"QKUEJ_DLL", LangListKind::ScreenMessages, 0,
         u"Do you want to change the electronic journal setting for this printer port?"},
        {u"QKUEJ_DLL", LangListKind::ScreenMessages, 1,
         u"Could not find the required files. \r\nPlease reinstall."},
    };
    for (const Text& t : texts) {
        CLangResTable table;
        ASSERT_EQ(table.LoadLangFile(LangFolder(), 0x409, 0x409), 2);
        ASSERT_EQ(table.LoadScreenTexts(t.screen), 0);
        std::u16string text;
        EXPECT_EQ(table.GetText(t.list, t.number, text), 0) << Narrow(t.screen) << " " << t.number;
        EXPECT_EQ(text, t.text) << Narrow(t.screen) << " " << t.number;
    }

    // All 23 status codes have their text.
    CLangResTable status;
    ASSERT_EQ(status.LoadLangFile(LangFolder(), 0x409, 0x409), 2);
    ASSERT_EQ(status.LoadScreenTexts(u"PRT_STATUS"), 0);
    for (int i = 0; i <= 21; ++i)
        EXPECT_EQ(status.Entry(LangListKind::ScreenStrings, i) != nullptr, true) << i;

    // Captions and the journal page's controls.
    CLangResTable journal;
    ASSERT_EQ(journal.LoadLangFile(LangFolder(), 0x409, 0x409), 2);
    ASSERT_EQ(journal.LoadScreenTexts(u"QKUEJ_DLL"), 0);
    bool check = false;
    for (int i = 0; i < journal.Count(LangListKind::Captions); ++i) {
        const CLangInfoBase* entry = journal.Entry(LangListKind::Captions, i);
        if (entry->m_nCtrlID == 10019)
            check = entry->m_strText == u"Enable Electronic Journal";
    }
    EXPECT_TRUE(check);
}

TEST(ShippedLanguageFiles, LanguageNamesAndTheAddPortCombos) {
    for (int32_t lang : kLanguages) {
        CLangResTable table;
        ASSERT_EQ(table.LoadLangFile(LangFolder(), lang, 0x409), 2);
        ASSERT_EQ(table.LoadScreenTexts(u"SELECT_LANG_DLG"), 0);
        EXPECT_EQ(table.FindComboItemText(0x0409), u"English");
        EXPECT_EQ(table.FindComboItemText(0x0407), u"Deutsch");
        EXPECT_EQ(table.FindComboItemText(0x0411), u"\u65e5\u672c\u8a9e");
        EXPECT_EQ(table.FindComboItemText(0x040C), u"");

        CLangResTable port;
        ASSERT_EQ(port.LoadLangFile(LangFolder(), lang, 0x409), 2);
        ASSERT_EQ(port.LoadScreenTexts(u"PORT_ADD_DLG"), 0);
        std::map<int32_t, std::vector<int32_t>> items;
        for (int i = 0; i < port.Count(LangListKind::ComboItems); ++i) {
            const auto* combo =
                dynamic_cast<const CComboBoxResInfo*>(port.Entry(LangListKind::ComboItems, i));
            ASSERT_NE(combo, nullptr);
            items[combo->m_nCtrlID].push_back(combo->m_nItemData);
        }
        // The dialog selects positions 4, 0, 1 and 0 of these.
        EXPECT_GE(items[1017].size(), 5u);
        EXPECT_GE(items[1019].size(), 1u);
        EXPECT_GE(items[1020].size(), 2u);
        EXPECT_GE(items[1021].size(), 1u);
        for (const auto& [id, data] : items)
            for (int32_t value : data)
                EXPECT_GE(value, 0) << id;

        // Interface types: "%d,%d,%d,%d,%d" of indexes 0 to 4, and the default one.
        std::u16string types, def;
        ASSERT_EQ(port.GetText(LangListKind::ScreenMessages, 100, types), 0);
        ASSERT_EQ(port.GetText(LangListKind::ScreenMessages, 101, def), 0);
        std::vector<std::u16string> parts;
        CLangResTable::SplitText(types, u",", parts);
        EXPECT_EQ(parts.size(), 5u);
        for (const auto& part : parts) {
            int32_t value = -1;
            EXPECT_TRUE(CLangResTable::ParseNumber(part, value));
            EXPECT_LE(value, 4);
        }
        int32_t defaultType = -1;
        EXPECT_TRUE(CLangResTable::ParseNumber(def, defaultType));
        EXPECT_LE(defaultType, 4);
    }
}

TEST(ShippedLanguageFiles, TranslationsAreReadAsUnicode) {
    CLangResTable japanese;
    ASSERT_EQ(japanese.LoadLangFile(LangFolder(), 0x411, 0x409), 2);
    ASSERT_EQ(japanese.LoadScreenTexts(u"PRT_STATUS"), 0);
    EXPECT_EQ(japanese.TextOr(LangListKind::ScreenStrings, 0, u""),
              u"\u30aa\u30f3\u30e9\u30a4\u30f3");
    CLangResTable german;
    ASSERT_EQ(german.LoadLangFile(LangFolder(), 0x407, 0x409), 2);
    ASSERT_EQ(german.LoadScreenTexts(u"PORT_ADD_DLG"), 0);
    EXPECT_EQ(german.TextOr(LangListKind::ScreenStrings, 0, u""), u"Anschluss hinzuf\u00fcgen");
    std::u16string cancel;
    ASSERT_EQ(german.GetText(LangListKind::CommonStrings, 2, cancel), 0);
    EXPECT_EQ(cancel, u"Abbrechen");
}

TEST(ShippedLanguageFiles, EachFileIsItsUtf8Source) {
    for (int32_t lang : kLanguages) {
        const std::u16string name = CLangResTable::LangFileName(lang);
        std::vector<uint8_t> dat, source;
        ASSERT_TRUE(os::RealFileSystem().ReadFile(LangFolder() + u"\\" + name, dat));
        std::string folder = QK_TEST_SOURCE_DIR;
        const std::u16string src = FromWide(std::wstring(folder.begin(), folder.end())) +
                                   u"/resources/LANG/src/" + name.substr(0, 4) + u".txt";
        ASSERT_TRUE(os::RealFileSystem().ReadFile(src, source)) << Narrow(src);
        const int n = MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(source.data()),
                                          static_cast<int>(source.size()), nullptr, 0);
        std::wstring text(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(source.data()),
                            static_cast<int>(source.size()), text.data(), n);
        std::wstring expected = L"\xFEFF";
        for (wchar_t c : text) {
            if (c == L'\n')
                expected += L'\r';
            if (c != L'\r')
                expected += c;
        }
        ASSERT_EQ(dat.size(), expected.size() * 2) << Narrow(name) << ": run make-dat.sh";
        EXPECT_EQ(std::memcmp(dat.data(), expected.data(), dat.size()), 0)
            << Narrow(name) << ": run make-dat.sh";
    }
}

// ---- synthetic files through the real reader ----

TEST(RealLanguageFile, TenThousandEntriesOfOneScreenAreAllRead) {
    TempFolder temp;
    std::u16string text = u"[CMN_STR]\r\nSTR_7=Common seven\r\n[BIG_STR]\r\n";
    for (int i = 0; i < 10000; ++i)
        text += u"STR_" + Digits(i) + u"=Entry number " + Digits(i) + u"\r\n";
    text += u"[BIG_CAP]\r\n";
    for (int i = 0; i < 10000; ++i)
        text += u"IDC_" + Digits(i) + u"=]CMN_STR_7\r\n";
    WriteUtf16File(temp.Path() + u"\\0409.DAT", text);

    CLangResTable table;
    ASSERT_EQ(table.LoadLangFile(temp.Path(), 0x411, 0x409), 1);
    ASSERT_EQ(table.LoadScreenTexts(u"BIG"), 0);
    ASSERT_EQ(table.Count(LangListKind::ScreenStrings), 10000);
    ASSERT_EQ(table.Count(LangListKind::Captions), 10000);
    for (int i = 0; i < 10000; ++i) {
        ASSERT_EQ(table.TextOr(LangListKind::ScreenStrings, i, u""), u"Entry number " + Digits(i));
        ASSERT_EQ(table.Entry(LangListKind::Captions, i)->m_strText, u"Common seven");
    }
}

TEST(RealLanguageFile, LinesLongerThan2048Characters) {
    TempFolder temp;
    std::u16string first = u"S_1=";
    first.append(2049 - first.size(), u'a');
    const std::u16string veryLong(7000, u'v');
    const std::u16string text =
        u"[SCR_STR]\r\n" + first + u"S_2=tail\r\nS_3=" + veryLong + u"\r\nS_4=after\r\n";
    WriteUtf16File(temp.Path() + u"\\0409.DAT", text);
    CLangResTable table;
    ASSERT_EQ(table.LoadLangFile(temp.Path(), 0x409, 0x409), 2);
    ASSERT_EQ(table.LoadScreenTexts(u"SCR"), 0);
    EXPECT_EQ(table.TextOr(LangListKind::ScreenStrings, 1, u""), first.substr(4) + u"S_2=tail");
    EXPECT_EQ(table.TextOr(LangListKind::ScreenStrings, 2, u""), u"tail");
    EXPECT_EQ(table.TextOr(LangListKind::ScreenStrings, 3, u""), veryLong);
    EXPECT_EQ(table.TextOr(LangListKind::ScreenStrings, 4, u""), u"after");
}

} // namespace
} // namespace qk::test
