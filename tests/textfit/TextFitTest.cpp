// Every text fits, in every language: each window of the program and of each plug-in is opened
// from its template in each shipped language, its texts put in as the window puts them, and
// every caption, combo box item and column header measured with the control's own font
// against the room the control gives it; a pane the program draws itself (the function menu)
// is measured the way it draws its rows. The pseudo-language (English a third longer) runs
// through the same measurement and only reports, so that a layout that just fits English is
// seen before a translator meets it.
//
// Every control also lies inside its parent's client area, and every page inside the page area
// of the main window, which cuts off what reaches past it.
//
// A new window is one row of kWindows; a new language file one entry of kLanguages. The
// coverage case fails for a dialog template or language file that has no row.
//
// The whole table runs once per screen DPI: ctest's textfit_tests at the prefix's 96 DPI, and
// textfit_tests_<DPI>dpi in a prefix of that DPI (scripts/wine-dpi.sh), which tells the
// program the DPI to expect in QK_TEXTFIT_DPI. Every failure names the DPI it was seen at.
#include <oleacc.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include "app/connection/AddPortRules.h"
#include "app/connection/PortRecordText.h"
#include "app/status/StatusRules.h"
#include "platform/Dpi.h"
#include "platform/Text.h"
#include "resource.h"
#include "tests/support/WindowDriver.h"
#include "tests/textfit/LayoutCheck.h"
#include "tests/textfit/MenuPaneCheck.h"
#include "tests/textfit/PseudoLanguage.h"
#include "tests/textfit/TemplateWindow.h"
#include "tests/textfit/TextMeasure.h"

namespace qk::test {
namespace {

// A text that the window's code puts into a control (besides the captions, combo items and
// columns that the language table applies). A control may be given several in turn.
struct CodeText {
    int control;
    std::u16string text;
};
using CodeTexts = std::vector<CodeText> (*)(const ScreenTexts& texts);
// A pane drawn by the program without a template measures itself.
using PaneCheck = void (*)(const ScreenTexts& texts, std::vector<Misfit>& misfits);

struct WindowRow {
    const char* name;      // the test's name
    const wchar_t* module; // file in the program folder
    int templateId;
    // The screen whose captions, combo items and list columns the window applies (none: "").
    std::u16string screen;
    // Texts the window's code sets, from the tables of `reads`.
    CodeTexts codeTexts = nullptr;
    std::vector<std::u16string> reads = {};
    PaneCheck pane = nullptr;
};

constexpr wchar_t kProgram[] = L"QK40UTL.exe";
constexpr wchar_t kJournal[] = L"QKUEJ.dll";
constexpr wchar_t kPaper[] = L"QKUPAPERSTG.dll";
constexpr char16_t kPortAdd[] = u"PORT_ADD_DLG";
constexpr char16_t kStatus[] = u"PRT_STATUS";

// The selection dialog's "Select: <language>" line, the name taken from the language list.
std::vector<CodeText> PrinterSelectTexts(const ScreenTexts& texts) {
    std::u16string language = texts.Of(u"SELECT_LANG_DLG").FindComboItemText(texts.Language());
    if (language.empty())
        language = u"English";
    return {{1032, texts.String(u"PRT_SELECT_DLG", 5) + u": " + language}};
}

// The heading with the model, and every label and button of every interface.
std::vector<CodeText> AddPortTexts(const ScreenTexts& texts) {
    std::vector<CodeText> all{{1030, app::FillPlaceholder(texts.String(kPortAdd, 13), u"QK-R40")}};
    for (int id : app::InterfaceControls())
        for (int iface = 0; iface < app::kInterfaceCount; ++iface)
            if (const int caption = app::ControlCaption(id, iface); caption >= 0)
                all.push_back({id, texts.String(kPortAdd, caption)});
    return all;
}

std::vector<CodeText> PairingTexts(const ScreenTexts& texts) {
    return {{5018, texts.String(kPortAdd, 5018)}};
}

std::vector<CodeText> NetToolTexts(const ScreenTexts& texts) {
    return {{5020, texts.String(kPortAdd, 5020)}};
}

// The name, port and status lines with the longest values they show.
std::vector<CodeText> StatusStripTexts(const ScreenTexts& texts) {
    const std::u16string unknown = texts.String(kStatus, app::kUnknownStatusEntry);
    std::vector<CodeText> all{
        {1021, app::JoinLabel(texts.String(kStatus, app::kNameLabelEntry), u"QK-R40")},
        {1021, app::JoinLabel(texts.String(kStatus, app::kNameLabelEntry), unknown)},
        {1022, app::JoinLabel(texts.String(kStatus, app::kPortLabelEntry), u"192.168.100.100")},
        {1022, app::JoinLabel(texts.String(kStatus, app::kPortLabelEntry),
                              texts.String(kStatus, app::kUnknownPortEntry))},
    };
    const std::u16string label = texts.String(kStatus, app::kStatusLabelEntry);
    for (int32_t code = app::kStatusUnknown; code <= 22; ++code)
        all.push_back(
            {1025, app::JoinLabel(label, texts.String(kStatus, app::StatusTextOf(code).index))});
    return all;
}

const WindowRow kWindows[] = {
    {"PrinterSelect",
     kProgram,
     IDD_PRINTER_SELECT,
     u"PRT_SELECT_DLG",
     PrinterSelectTexts,
     {u"PRT_SELECT_DLG", u"SELECT_LANG_DLG"}},
    {"AddPort", kProgram, IDD_COMM_SETTING, kPortAdd, AddPortTexts, {kPortAdd}},
    {"BtPairing", kProgram, IDD_BT_PAIRING, u"", PairingTexts, {kPortAdd}},
    {"NetTool", kProgram, IDD_NET_TOOL, u"", NetToolTexts, {kPortAdd}},
    {"SelectLang", kProgram, IDD_SELECT_LANG, u"SELECT_LANG_DLG"},
    {"CommState", kProgram, IDD_COMM_STATE, u""},
    {"StatusStrip", kProgram, IDD_STATUS_VIEW, kStatus, StatusStripTexts, {kStatus}},
    {"About", kProgram, IDD_ABOUTBOX, u""},
    {"PageArea", kProgram, IDD_DUMMY_VIEW, u""},
    {"JournalPage", kJournal, IDD_EJ_VIEW, u"QKUEJ_DLL"},
    {"PaperPage", kPaper, IDD_PAPER_VIEW, u"QKUPAPERSTG_DLL"},
    {"LogoPage", L"QKULOGOSTG.dll", IDD_LOGO_VIEW, u"QKULOGOSTG_DLL"},
    {"SettingsFilePage", L"QKUSETFILESTG.dll", IDD_SETFILE_VIEW, u"QKUSETFILESTG_DLL"},
    {"SettingsFileMulti", L"QKUSETFILESTG.dll", IDD_SETFILE_MULTI, u"QKUSETFILESTG_DLL"},
    {"PrinterInfoPage", L"QKUPRNINFO.dll", IDD_PRNINFO_VIEW, u"QKUPRNINFO_DLL"},
    {"MenuPane", kProgram, 0, u"", nullptr, {u"MENU_ITEM"}, MeasureMenuPane},
};

struct Language {
    int32_t id;
    bool pseudo = false;
};
const Language kLanguages[] = {{0x0409}, {0x0407}, {0x0411}, {kPseudoLanguage, true}};

std::string Utf8(std::wstring_view text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(std::max(size, 0)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                          nullptr, nullptr);
    return out;
}

std::string LanguageName(const Language& language) {
    char name[8];
    std::snprintf(name, sizeof(name), "%04X", static_cast<unsigned>(language.id));
    return language.pseudo ? std::string("pseudo ") + name : name;
}

// Test parameters print as their names in gtest's failure lines.
void PrintTo(const WindowRow& row, std::ostream* out) {
    *out << row.name;
}
void PrintTo(const Language& language, std::ostream* out) {
    *out << LanguageName(language);
}

std::string Describe(const WindowRow& row, const Language& language, const Misfit& misfit) {
    std::ostringstream out;
    out << row.name;
    if (row.templateId != 0)
        out << " (template " << row.templateId << ')';
    out << ", control " << misfit.controlId << " (" << Utf8(misfit.className) << ' '
        << Utf8(misfit.part) << "), language " << LanguageName(language) << " at " << SystemDpi()
        << " DPI: \"" << Utf8(misfit.text) << "\" needs " << misfit.needed.cx << 'x'
        << misfit.needed.cy << " px, the control gives " << misfit.room.cx << 'x' << misfit.room.cy
        << " px";
    return out.str();
}

// Writes the pseudo-language's file beside nothing else, from the shipped English file.
bool WritePseudoLanguage(const std::filesystem::path& folder) {
    std::ifstream english(std::filesystem::path(StageDir() + L"LANG\\0409.DAT"), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(english), {}};
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE')
        return false;
    std::u16string text((bytes.size() - 2) / 2, u'\0');
    std::memcpy(text.data(), bytes.data() + 2, text.size() * 2);
    const std::u16string pseudo = PseudoFile(text);
    std::ofstream out(folder / L"0501.DAT", std::ios::binary | std::ios::trunc);
    out.write("\xFF\xFE", 2);
    out.write(reinterpret_cast<const char*>(pseudo.data()),
              static_cast<std::streamsize>(pseudo.size() * 2));
    return out.good();
}

class TextFit : public ::testing::TestWithParam<std::tuple<WindowRow, Language>> {
public:
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        s_pseudoFolder = std::filesystem::path(temp) /
                         (L"qk-textfit-" + std::to_wstring(::GetCurrentProcessId()));
        std::error_code ignored;
        std::filesystem::create_directories(s_pseudoFolder, ignored);
        s_pseudoWritten = WritePseudoLanguage(s_pseudoFolder);
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        std::filesystem::remove_all(s_pseudoFolder, ignored);
    }

protected:
    static std::u16string FolderOf(const Language& language) {
        return FromWide(language.pseudo ? s_pseudoFolder.wstring() : StageDir() + L"LANG");
    }

    static inline std::filesystem::path s_pseudoFolder;
    static inline bool s_pseudoWritten = false;
};

std::vector<std::u16string> ScreensOf(const WindowRow& row) {
    std::vector<std::u16string> screens = row.reads;
    if (!row.screen.empty() &&
        std::find(screens.begin(), screens.end(), row.screen) == screens.end())
        screens.push_back(row.screen);
    return screens;
}

// Opens the row's template, puts its texts in and measures every control.
void MeasureTemplate(const WindowRow& row, const ScreenTexts& texts, std::vector<Misfit>& misfits) {
    const TemplateWindow window(StageDir() + row.module, row.templateId);
    ASSERT_NE(window.Hwnd(), nullptr) << Utf8(window.Error());
    if (!row.screen.empty())
        texts.ApplyTo(window.Hwnd(), row.screen);

    const std::vector<CodeText> codeTexts =
        row.codeTexts ? row.codeTexts(texts) : std::vector<CodeText>{};
    std::vector<int> codeControls;
    for (const CodeText& codeText : codeTexts)
        codeControls.push_back(codeText.control);
    MeasureShownControls(window.Hwnd(), codeControls, misfits);
    for (const CodeText& codeText : codeTexts) {
        HWND control = ::GetDlgItem(window.Hwnd(), codeText.control);
        ASSERT_NE(control, nullptr) << row.name << " has no control " << codeText.control;
        ::SetWindowTextW(control, WidePtr(codeText.text));
        MeasureControl(control, misfits);
    }
}

TEST_P(TextFit, EveryTextFitsItsControl) {
    const auto& [row, language] = GetParam();
    if (language.pseudo) {
        ASSERT_TRUE(s_pseudoWritten) << "the pseudo-language file could not be made";
    }
    const ScreenTexts texts(FolderOf(language), language.id, ScreensOf(row));
    ASSERT_TRUE(texts.FoundRequestedFile()) << "no language file " << LanguageName(language);
    std::vector<Misfit> misfits;
    if (row.pane)
        row.pane(texts, misfits);
    else
        MeasureTemplate(row, texts, misfits);

    for (const Misfit& misfit : misfits) {
        if (language.pseudo)
            std::cout << "would not fit: " << Describe(row, language, misfit) << '\n';
        else
            ADD_FAILURE() << Describe(row, language, misfit);
    }
}

std::string DescribeOverhang(const WindowRow& row, const Language& language,
                             const Overhang& overhang, const char* holder) {
    std::ostringstream out;
    out << row.name;
    if (row.templateId != 0)
        out << " (template " << row.templateId << ')';
    out << ", control " << overhang.controlId << " (" << Utf8(overhang.className) << "), language "
        << LanguageName(language) << " at " << SystemDpi() << " DPI: spans (" << overhang.rect.left
        << ',' << overhang.rect.top << ")-(" << overhang.rect.right << ',' << overhang.rect.bottom
        << ") px, outside " << holder << " of " << overhang.holder.cx << 'x' << overhang.holder.cy
        << " px";
    return out.str();
}

// The plug-ins' windows are pages, shown in the main window's page area, as is the page
// area's own template.
bool IsPage(const WindowRow& row) {
    return ::lstrcmpiW(row.module, kProgram) != 0 || row.templateId == IDD_DUMMY_VIEW;
}

TEST_P(TextFit, EveryControlLiesInsideItsParent) {
    const auto& [row, language] = GetParam();
    if (row.pane)
        GTEST_SKIP() << "drawn by the program, no child windows";
    const ScreenTexts texts(FolderOf(language), language.id, ScreensOf(row));
    const TemplateWindow window(StageDir() + row.module, row.templateId);
    ASSERT_NE(window.Hwnd(), nullptr) << Utf8(window.Error());
    if (!row.screen.empty())
        texts.ApplyTo(window.Hwnd(), row.screen);

    std::vector<Overhang> outside;
    FindOverhangs(window.Hwnd(), outside);
    for (const Overhang& overhang : outside)
        ADD_FAILURE() << DescribeOverhang(row, language, overhang, "its parent's client area");
    if (!IsPage(row))
        return;
    const SIZE room = PageAreaRoom();
    ASSERT_GT(room.cx, 0);
    ASSERT_GT(room.cy, 0);
    std::vector<Overhang> cut;
    CheckFitsRoom(window.Hwnd(), room, cut);
    for (const Overhang& overhang : cut)
        ADD_FAILURE() << DescribeOverhang(row, language, overhang, "the page area");
}

// A button's name as a screen reader hears it through the accessibility library.
std::wstring HeardName(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                            IID_IAccessible, reinterpret_cast<void**>(&object))) ||
        !object)
        return L"";
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring heard;
    if (SUCCEEDED(object->get_accName(self, &name)) && name)
        heard.assign(name, ::SysStringLen(name));
    ::SysFreeString(name);
    object->Release();
    return heard;
}

// Every push button, check box and option button says what it does, in every language.
TEST_P(TextFit, EveryButtonIsHeardByItsName) {
    const auto& [row, language] = GetParam();
    if (row.pane || language.pseudo)
        GTEST_SKIP() << "no buttons, or no shipped language";
    const ScreenTexts texts(FolderOf(language), language.id, ScreensOf(row));
    const TemplateWindow window(StageDir() + row.module, row.templateId);
    ASSERT_NE(window.Hwnd(), nullptr) << Utf8(window.Error());
    if (!row.screen.empty())
        texts.ApplyTo(window.Hwnd(), row.screen);
    // The captions the window's code sets (one of an interface's, for a shared button).
    if (row.codeTexts)
        for (const CodeText& codeText : row.codeTexts(texts))
            ::SetDlgItemTextW(window.Hwnd(), codeText.control, WidePtr(codeText.text));
    for (HWND child = ::GetWindow(window.Hwnd(), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG kind = ::GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
        if (ClassName(child) != L"Button" || kind == BS_GROUPBOX)
            continue;
        std::wstring caption = WindowText(child);
        if (const auto amp = caption.find(L'&'); amp != std::wstring::npos)
            caption.erase(amp, 1);
        const std::wstring heard = HeardName(child);
        EXPECT_TRUE(!heard.empty() && heard == caption)
            << row.name << ", button " << ::GetDlgCtrlID(child) << ", language "
            << LanguageName(language) << ": heard \"" << Utf8(heard) << "\", shows \""
            << Utf8(caption) << '"';
    }
}

std::string TestName(const ::testing::TestParamInfo<TextFit::ParamType>& info) {
    const auto& [row, language] = info.param;
    std::string name = std::string(row.name) + '_' + LanguageName(language);
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(AllWindows, TextFit,
                         ::testing::Combine(::testing::ValuesIn(kWindows),
                                            ::testing::ValuesIn(kLanguages)),
                         TestName);

// The DPI the rows are measured at is the one the run was started for: Wine takes the
// prefix's per-user LogPixels (HKCU\Control Panel\Desktop) as the screen's DPI, and the
// program's manifest (which this test carries) declares it aware of the system DPI, so that
// Windows gives it the real DPI instead of stretching a 96 DPI picture of it.
TEST(TextFitDpi, RunsAtTheDpiOfItsPrefixAndIsAwareOfIt) {
    char expected[16] = {};
    const DWORD length = ::GetEnvironmentVariableA("QK_TEXTFIT_DPI", expected, sizeof(expected));
    const int dpi = length > 0 && length < sizeof(expected) ? std::atoi(expected) : kDesignDpi;
    EXPECT_EQ(SystemDpi(), dpi) << "the prefix's LogPixels did not reach the program";
    EXPECT_TRUE(::IsProcessDPIAware()) << "the manifest's dpiAware setting was not taken";
}

// The program and every plug-in in the program folder: each of their dialog templates has a
// row, and every language file that ships is measured.
TEST(TextFitCoverage, EveryWindowAndLanguageHasARow) {
    std::vector<std::wstring> modules = FilesIn(StageDir(), L"QKU*.dll");
    modules.push_back(kProgram);
    for (const std::wstring& module : modules) {
        const std::vector<int> templates = DialogTemplatesOf(StageDir() + module);
        EXPECT_FALSE(templates.empty()) << Utf8(module) << " holds no dialog template";
        for (int id : templates) {
            const bool listed =
                std::any_of(std::begin(kWindows), std::end(kWindows), [&](const WindowRow& row) {
                    return row.templateId == id && ::lstrcmpiW(row.module, module.c_str()) == 0;
                });
            EXPECT_TRUE(listed) << "dialog template " << id << " of " << Utf8(module)
                                << " has no row in the text-fit table";
        }
    }
    const std::vector<std::wstring> files = FilesIn(StageDir() + L"LANG\\", L"*.DAT");
    EXPECT_FALSE(files.empty());
    for (const std::wstring& file : files) {
        const int32_t id = static_cast<int32_t>(std::wcstol(file.c_str(), nullptr, 16));
        const bool listed =
            std::any_of(std::begin(kLanguages), std::end(kLanguages),
                        [&](const Language& language) { return language.id == id; });
        EXPECT_TRUE(listed) << "language file " << Utf8(file) << " is not measured";
    }
}

} // namespace
} // namespace qk::test
