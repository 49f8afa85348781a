// The printer selection dialog driven through its window with the communication library
// stand-in and printer simulators: which rows it shows, every branch of OK, deleting, adding,
// and the language change with its saving.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include "app/connection/PortRecordText.h"
#include "tests/app/PrinterSelectWorld.h"
#include "tests/support/MessageSequence.h"
#include "tests/support/ScriptedPresenter.h"

namespace qk::test {
namespace {

using app::CPrinterSelectDlg;

const char kTwoPrinters[] = "[COM]\r\nCOM7={A}\r\nCOM8={B}\r\n";

std::wstring Slot(const char16_t* slot) {
    return U16ToWide(app::SlotText(slot));
}

class PrinterSelectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(world.printerA.Start());
        ASSERT_TRUE(world.printerB.Start(L"QK-T20"));
        ASSERT_TRUE(world.UseLibrary(kTwoPrinters)) << "QKComm.dll of the build could not be bound";
    }
    void Prepare(ScriptedSelectDlg& dialog) { dialog.SetContext(world.Context()); }

    SelectWorld world;
    ScriptedPresenter presenter;
};

TEST_F(PrinterSelectTest, ShowsOnlyPortsOfTheServedModel) {
    ASSERT_EQ(world.Register(u"COM", u"COM7", u"QK-R40"), 0);
    ASSERT_EQ(world.Register(u"COM", u"COM8", u"QK-T20"), 0);
    ScriptedSelectDlg dialog(world.Choice());
    Prepare(dialog);
    std::vector<std::vector<std::wstring>> rows;
    std::wstring title, label;
    bool okEnabled = false, deleteEnabled = false, marked = false;
    int selected = -2, firstColumnWidth = 0;
    SIZE imageSize{};
    dialog.steps.push_back([&](HWND hwnd) {
        rows = ListRows(hwnd);
        title = WindowText(hwnd);
        label = ChildText(hwnd, CPrinterSelectDlg::kLanguageLabel);
        okEnabled = ::IsWindowEnabled(::GetDlgItem(hwnd, IDOK));
        deleteEnabled = ::IsWindowEnabled(::GetDlgItem(hwnd, CPrinterSelectDlg::kDeletePort));
        marked = ::GetPropW(hwnd, L"QK-R40_UTILITY_QK-R40") != nullptr;
        HWND list = ::GetDlgItem(hwnd, CPrinterSelectDlg::kPortList);
        selected = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
        firstColumnWidth = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
        auto images =
            reinterpret_cast<HIMAGELIST>(::SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        int cx = 0, cy = 0;
        if (images && ::ImageList_GetIconSize(images, &cx, &cy))
            imageSize = {cx, cy};
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);

    ASSERT_EQ(rows.size(), 1u) << "the other model's port must be hidden";
    EXPECT_EQ(rows[0], (std::vector<std::wstring>{L"QK-R40", L"Serial", L"COM7", L""}));
    EXPECT_EQ(selected, 0);
    EXPECT_TRUE(okEnabled);
    EXPECT_TRUE(deleteEnabled);
    EXPECT_EQ(title, L"QK-R40 Utility");
    EXPECT_TRUE(marked) << "a second start finds the dialog by its property";
    EXPECT_EQ(label, L"Select: English");
    EXPECT_EQ(firstColumnWidth, 120) << "1.2 times the 100-pixel floor";
    EXPECT_EQ(imageSize.cx, 1);
    EXPECT_GT(imageSize.cy, 0);
    EXPECT_TRUE(presenter.Shown().empty());
    EXPECT_EQ(world.SavedLanguage(), L"0409") << "Cancel writes the language";
}

// The opening in its order: the title, then the texts (the list's columns, the language
// label), then the rows refreshed with the list's redrawing off (emptied, filled, the first
// selected, OK and Delete Port enabled, which sends nothing when they are enabled already)
// and redrawn.
TEST_F(PrinterSelectTest, OpensTitleFirstThenTextsThenTheRowsWithRedrawingOff) {
    using app::CPrinterSelectDlg;
    ASSERT_EQ(world.Register(u"COM", u"COM7", u"QK-R40"), 0);
    ScriptedSelectDlg dialog(world.Choice());
    Prepare(dialog);
    constexpr int kList = CPrinterSelectDlg::kPortList;
    const std::vector<ExpectedMessage> opening = {
        {WM_SETTEXT, kSent, 0},
        // Measuring the row height may put a row in and take it out again.
        {LVM_INSERTITEMW, kSent | kOptional, kList},
        {LVM_DELETEALLITEMS, kSent | kOptional, kList},
        {LVM_INSERTCOLUMNW, kSent, kList},
        {LVM_INSERTCOLUMNW, kSent, kList},
        {LVM_INSERTCOLUMNW, kSent, kList},
        {LVM_INSERTCOLUMNW, kSent, kList},
        {WM_SETTEXT, kSent, CPrinterSelectDlg::kLanguageLabel},
        {WM_SETREDRAW, kSent | kWParam, kList, FALSE},
        {LVM_DELETEALLITEMS, kSent, kList},
        {LVM_INSERTITEMW, kSent, kList},
        {LVM_SETITEMSTATE, kSent, kList},
        {WM_ENABLE, kSent | kOptional | kWParam, IDOK, TRUE},
        {WM_ENABLE, kSent | kOptional | kWParam, CPrinterSelectDlg::kDeletePort, TRUE},
        {WM_SETREDRAW, kSent | kWParam, kList, TRUE},
    };
    MessageRecorder recorder(
        [](HWND hwnd) { return ClassName(hwnd) == L"#32770"; },
        [](UINT message, int control) {
            switch (message) {
            case WM_SETTEXT:
                return control == 0 || control == CPrinterSelectDlg::kLanguageLabel;
            case LVM_INSERTCOLUMNW:
            case WM_SETREDRAW:
            case LVM_DELETEALLITEMS:
            case LVM_INSERTITEMW:
            case LVM_SETITEMSTATE:
                return control == kList;
            case WM_ENABLE:
                return control == IDOK || control == CPrinterSelectDlg::kDeletePort;
            default:
                return false;
            }
        });
    std::vector<SeenMessage> seen;
    dialog.steps.push_back([&](HWND hwnd) {
        seen = recorder.Stop();
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(CompareSequence(seen, opening), "");
}

TEST_F(PrinterSelectTest, OkOnTheServedModelOpensThePortAndHandsItBack) {
    ASSERT_EQ(world.Register(u"COM", u"COM7", u"QK-R40"), 0);
    ScriptedSelectDlg dialog(world.Choice());
    Prepare(dialog);
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDOK); });
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(dialog.stepsRun, 1u);
    EXPECT_TRUE(presenter.Shown().empty());
    EXPECT_EQ(world.Choice().LastTestResult(), 0);
    EXPECT_EQ(Slot(dialog.Context().portRecord.portName), L"COM7");
    EXPECT_EQ(Slot(dialog.Context().portRecord.deviceName), L"QK-R40");
    EXPECT_EQ(dialog.Context().interfaceKind, 1);
    comm::PortRecord open;
    std::memset(&open, 0, sizeof(open));
    ASSERT_EQ(world.Binding()->QKC_GetPort(&open), 0) << "the chosen port is the library's port";
    EXPECT_EQ(Slot(open.portName), L"COM7");
    EXPECT_EQ(world.SavedLanguage(), L"0409");
}

TEST_F(PrinterSelectTest, OkOnAnotherModelNamesTheModelAndTheDialogStays) {
    // Registered while a QK-R40 was connected; another printer answers there now.
    ASSERT_EQ(world.Register(u"COM", u"COM8", u"QK-R40"), 0);
    ScriptedSelectDlg dialog(world.Choice());
    Prepare(dialog);
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDOK); });
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(dialog.stepsRun, 2u) << "the dialog must stay open after the mismatch";
    ASSERT_EQ(presenter.Shown().size(), 1u);
    EXPECT_EQ(presenter.Shown()[0].text, L"The connected printer is not QK-R40.");
    EXPECT_EQ(presenter.Shown()[0].caption, L"QK-R40 Utility");
    EXPECT_EQ(presenter.Shown()[0].Icon(), static_cast<UINT>(MB_ICONWARNING));
    EXPECT_NE(presenter.Shown()[0].owner, nullptr);
    EXPECT_EQ(world.Choice().LastTestResult(), 0)
        << "the printer answered; only the model is wrong";
}

// Another holder of the port: a second, independent copy of the library that opened it.
class PortHolder {
public:
    bool Hold(const std::wstring& folder, const std::u16string& port) {
        std::wstring copy = folder + L"QKCommHolder.dll";
        if (!::CopyFileW((StageDir() + L"QKComm.dll").c_str(), copy.c_str(), FALSE))
            return false;
        m_module = ::LoadLibraryW(copy.c_str());
        if (!m_module)
            return false;
        auto setPort = reinterpret_cast<comm::PFN_QKC_SetPort>(
            reinterpret_cast<void*>(::GetProcAddress(m_module, "QKC_SetPort")));
        auto open = reinterpret_cast<comm::PFN_QKC_Open>(
            reinterpret_cast<void*>(::GetProcAddress(m_module, "QKC_Open")));
        if (!setPort || !open)
            return false;
        comm::PortRecord record;
        std::memset(&record, 0, sizeof(record));
        app::SetSlotText(record.interfaceKeyword, u"COM");
        app::SetSlotText(record.portName, port);
        return setPort(&record) == 0 && open(1) == 0;
    }
    ~PortHolder() {
        if (!m_module)
            return;
        if (auto terminate = reinterpret_cast<comm::PFN_QKC_Terminate>(
                reinterpret_cast<void*>(::GetProcAddress(m_module, "QKC_Terminate"))))
            terminate();
    }

private:
    HMODULE m_module = nullptr;
};

TEST_F(PrinterSelectTest, OkOnAPortHeldElsewhereSaysItIsInUse) {
    ASSERT_EQ(world.Register(u"COM", u"COM7", u"QK-R40"), 0);
    PortHolder holder;
    ASSERT_TRUE(holder.Hold(world.ProgramFolder(), u"COM7"));
    ScriptedSelectDlg dialog(world.Choice());
    Prepare(dialog);
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDOK); });
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(dialog.stepsRun, 2u);
    ASSERT_EQ(presenter.Shown().size(), 1u);
    EXPECT_EQ(presenter.Shown()[0].text,
              L"Cannot launch the printer because it is in use by another application.");
    EXPECT_EQ(world.Choice().LastTestResult(), static_cast<int32_t>(0x8000000Bu));
}

TEST_F(PrinterSelectTest, SilentPrinterWithStoredSettingsIsStillAccepted) {
    ASSERT_EQ(world.Register(u"COM", u"COM7", u"QK-R40"), 0);
    ASSERT_TRUE(world.printerA.Control(L"silent on"));
    world.store.stored.insert({u"QK-R40", u"COM7"});
    ScriptedSelectDlg dialog(world.Choice());
    Prepare(dialog);
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDOK); });
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(dialog.stepsRun, 1u);
    ASSERT_EQ(presenter.Shown().size(), 1u) << "message 3 once, however the open ends";
    EXPECT_EQ(presenter.Shown()[0].text, L"Cannot communicate with the printer.");
    EXPECT_NE(world.Choice().LastTestResult(), 0);
    EXPECT_EQ(Slot(dialog.Context().portRecord.portName), L"COM7");
    EXPECT_EQ(dialog.Context().interfaceKind, 1);
}

TEST_F(PrinterSelectTest, SilentPrinterWithoutStoredSettingsKeepsTheDialog) {
    ASSERT_EQ(world.Register(u"COM", u"COM7", u"QK-R40"), 0);
    ASSERT_TRUE(world.printerA.Control(L"silent on"));
    ScriptedSelectDlg dialog(world.Choice());
    Prepare(dialog);
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDOK); });
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(dialog.stepsRun, 2u);
    ASSERT_EQ(presenter.Shown().size(), 1u);
    EXPECT_EQ(presenter.Shown()[0].text, L"Cannot communicate with the printer.");
    EXPECT_EQ(world.store.hasSettingsCalls, 1);
    EXPECT_EQ(dialog.Context().portRecord.portName[0], u'\0') << "no result was stored";
}

TEST_F(PrinterSelectTest, OkWithoutASelectedRowAsksForOne) {
    ASSERT_EQ(world.Register(u"COM", u"COM7", u"QK-R40"), 0);
    ScriptedSelectDlg dialog(world.Choice());
    Prepare(dialog);
    bool okEnabled = true;
    dialog.steps.push_back([&](HWND hwnd) {
        SelectListRow(hwnd, -1);
        okEnabled = ::IsWindowEnabled(::GetDlgItem(hwnd, IDOK));
        Click(hwnd, IDOK);
    });
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_FALSE(okEnabled) << "OK follows the selection";
    ASSERT_EQ(presenter.Shown().size(), 1u);
    EXPECT_EQ(presenter.Shown()[0].text, L"Please select the printer you want to setup.");
}

TEST_F(PrinterSelectTest, DoubleClickOnARowActsAsOk) {
    ASSERT_EQ(world.Register(u"COM", u"COM7", u"QK-R40"), 0);
    ScriptedSelectDlg dialog(world.Choice());
    Prepare(dialog);
    dialog.steps.push_back([](HWND hwnd) {
        NMITEMACTIVATE activate{};
        activate.hdr.hwndFrom = ::GetDlgItem(hwnd, CPrinterSelectDlg::kPortList);
        activate.hdr.idFrom = CPrinterSelectDlg::kPortList;
        activate.hdr.code = NM_DBLCLK;
        activate.iItem = 0;
        ::SendMessageW(hwnd, WM_NOTIFY, CPrinterSelectDlg::kPortList,
                       reinterpret_cast<LPARAM>(&activate));
    });
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(Slot(dialog.Context().portRecord.portName), L"COM7");
}

TEST_F(PrinterSelectTest, DeletingAsksAndNoChangesNothing) {
    ASSERT_EQ(world.Register(u"COM", u"COM7", u"QK-R40"), 0);
    ScriptedSelectDlg dialog(world.Choice());
    Prepare(dialog);
    size_t rowsAfterNo = 0, rowsAfterYes = 9;
    size_t registeredAfterNo = 0;
    bool okAfterYes = true, deleteAfterYes = true;
    presenter.Answer(IDNO);
    presenter.Answer(IDYES);
    dialog.steps.push_back([&](HWND hwnd) {
        Click(hwnd, CPrinterSelectDlg::kDeletePort);
        rowsAfterNo = ListRows(hwnd).size();
        registeredAfterNo = world.Registered().size();
        Click(hwnd, CPrinterSelectDlg::kDeletePort);
        rowsAfterYes = ListRows(hwnd).size();
        okAfterYes = ::IsWindowEnabled(::GetDlgItem(hwnd, IDOK));
        deleteAfterYes = ::IsWindowEnabled(::GetDlgItem(hwnd, CPrinterSelectDlg::kDeletePort));
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    ASSERT_EQ(presenter.Shown().size(), 2u);
    EXPECT_EQ(presenter.Shown()[0].text, L"Do you really want to delete the selected port?");
    EXPECT_EQ(presenter.Shown()[0].Buttons(), static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(presenter.Shown()[0].Icon(), static_cast<UINT>(MB_ICONQUESTION));
    EXPECT_EQ(rowsAfterNo, 1u);
    EXPECT_EQ(registeredAfterNo, 1u);
    EXPECT_EQ(rowsAfterYes, 0u);
    EXPECT_TRUE(world.Registered().empty());
    EXPECT_FALSE(okAfterYes);
    EXPECT_FALSE(deleteAfterYes);
}

// A runner that hands back a prepared record stands in for the add-port dialog here.
class PreparedAddPort : public app::IAddPortRunner {
public:
    std::u16string keyword, port;
    bool ran = false;
    bool Run(HWND owner, const UtilContext&, app::CPrinterChoice& choice, CLangResTable&,
             comm::PortRecord& record) override {
        ran = owner != nullptr && comm::IsBound(&choice.Library());
        app::SetSlotText(record.interfaceKeyword, keyword);
        app::SetSlotText(record.portName, port);
        app::SetSlotText(record.deviceName, u"QK-R40");
        return true;
    }
};

TEST_F(PrinterSelectTest, AddedPortIsRegisteredListedAndSelected) {
    ASSERT_EQ(world.Register(u"COM", u"COM7", u"QK-R40"), 0);
    PreparedAddPort addPort;
    addPort.keyword = u"COM";
    addPort.port = u"COM8";
    app::PrinterSelectServices services;
    services.addPort = &addPort;
    ScriptedSelectDlg dialog(world.Choice(), services);
    Prepare(dialog);
    std::vector<std::vector<std::wstring>> rows;
    int selected = -1;
    dialog.steps.push_back([&](HWND hwnd) {
        Click(hwnd, CPrinterSelectDlg::kAddPort);
        rows = ListRows(hwnd);
        selected = static_cast<int>(::SendDlgItemMessageW(hwnd, CPrinterSelectDlg::kPortList,
                                                          LVM_GETNEXTITEM, -1, LVNI_SELECTED));
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(addPort.ran);
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_GE(selected, 0);
    EXPECT_EQ(rows[selected][2], L"COM8");
    EXPECT_EQ(world.Registered().size(), 2u);
}

TEST_F(PrinterSelectTest, MissingLanguageFileFallsBackToEnglishWithANotice) {
    world.Context().languageId = 0x0412;
    app::SetSlotText(world.Context().languageText, u"0412");
    ScriptedSelectDlg dialog(world.Choice());
    Prepare(dialog);
    std::wstring label;
    dialog.steps.push_back([&](HWND hwnd) {
        label = ChildText(hwnd, CPrinterSelectDlg::kLanguageLabel);
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    ASSERT_EQ(presenter.Shown().size(), 1u);
    EXPECT_EQ(presenter.Shown()[0].text,
              L"Could not find the required files.\nDisplaying the screen in English.");
    EXPECT_EQ(presenter.Shown()[0].owner, nullptr);
    EXPECT_EQ(label, L"Select: English");
    EXPECT_EQ(dialog.Context().languageId, 0x409);
    EXPECT_EQ(world.SavedLanguage(), L"0409");
}

// Runs inside the language dialog's modal loop: chooses a language there and presses OK.
struct LanguageChooser {
    static inline DWORD wanted = 0;
    static inline HWND owner = nullptr;
    static inline int ticks = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = ::GetLastActivePopup(owner);
        if (++ticks > 100) {
            ::KillTimer(nullptr, id); // bounded: the test fails on what it then sees
            return;
        }
        if (!dialog || dialog == owner)
            return;
        HWND combo = ::GetDlgItem(dialog, 1000);
        int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            if (static_cast<DWORD>(::SendMessageW(combo, CB_GETITEMDATA, i, 0)) == wanted)
                ::SendMessageW(combo, CB_SETCURSEL, i, 0);
        ::KillTimer(nullptr, id);
        Click(dialog, IDOK);
    }
};

std::wstring FileText(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
    wchar_t value[512] = {};
    ::GetPrivateProfileStringW(section, key, L"", value, 512, file.c_str());
    return value;
}

TEST_F(PrinterSelectTest, ChangingTheLanguageRelabelsTheDialogAndCancelSavesIt) {
    ASSERT_EQ(world.Register(u"COM", u"COM7", u"QK-R40"), 0);
    ScriptedSelectDlg dialog(world.Choice());
    Prepare(dialog);
    std::wstring titleBefore, titleAfter, labelAfter, interfaceAfter;
    dialog.steps.push_back([&](HWND hwnd) {
        titleBefore = ChildText(hwnd, CPrinterSelectDlg::kTitle);
        LanguageChooser::wanted = 0x411;
        LanguageChooser::owner = hwnd;
        LanguageChooser::ticks = 0;
        ::SetTimer(nullptr, 0, 100, &LanguageChooser::Tick);
        Click(hwnd, CPrinterSelectDlg::kSelectLanguage);
        titleAfter = ChildText(hwnd, CPrinterSelectDlg::kTitle);
        labelAfter = ChildText(hwnd, CPrinterSelectDlg::kLanguageLabel);
        auto rows = ListRows(hwnd);
        if (!rows.empty())
            interfaceAfter = rows[0][1];
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);

    const std::wstring japanese = StageDir() + L"LANG\\0411.DAT";
    const std::wstring expectedTitle = FileText(japanese, L"PRT_SELECT_DLG_CAP", L"IDC_TITLE_1018");
    ASSERT_FALSE(expectedTitle.empty()) << "the Japanese file names the title";
    EXPECT_EQ(titleBefore, L"Select the printer you want to set up.");
    EXPECT_EQ(titleAfter, expectedTitle);
    std::wstring languageItem = FileText(japanese, L"SELECT_LANG_DLG_CMB", L"IDC_LANG_0411_1000");
    std::wstring languageName = languageItem.substr(0, languageItem.find(L"||"));
    EXPECT_EQ(labelAfter,
              FileText(japanese, L"PRT_SELECT_DLG_STR", L"STR_5") + L": " + languageName);
    EXPECT_EQ(interfaceAfter, FileText(japanese, L"PRT_SELECT_DLG_STR", L"STR_1"));
    EXPECT_EQ(dialog.Context().languageId, 0x411);
    EXPECT_EQ(Slot(dialog.Context().languageText), L"0411");
    EXPECT_EQ(world.SavedLanguage(), L"0411");
}

} // namespace
} // namespace qk::test
