// The add-port dialog driven through its window with the communication library stand-in and
// printer simulators: offered interfaces, the port record OK hands back per interface, the
// model check, the IP address rules, the searches, the companion tools with their wait
// dialogs, and Add Port from the printer selection dialog through to the new row.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <algorithm>
#include <cstring>
#include <functional>
#include "app/connection/CommLibrary.h"
#include "app/connection/CommunicationSettingDlg.h"
#include "app/connection/PortRecordText.h"
#include "platform/Text.h"
#include "tests/app/PrinterSelectWorld.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/fakes/FakeCommLibrary.h"
#include "tests/support/fakes/FakeFileSystem.h"
#include "tests/support/fakes/FakeKnownFolders.h"
#include "tests/support/fakes/FakeProcessLauncher.h"
#include "tests/support/fakes/FakeProfile.h"
#include "tests/support/fakes/FakeRegistry.h"
#include "resource.h"

namespace qk::test {
namespace {

using app::CCommunicationSettingDlg;
using Dlg = CCommunicationSettingDlg;

std::wstring Slot(const char16_t* slot) {
    return U16ToWide(app::SlotText(slot));
}

using ScriptedCommDlg = ScriptedDialog<CCommunicationSettingDlg>;

// A tool that runs until the test lets it end; the watcher thread waits in Wait.
class HeldLauncher : public FakeProcessLauncher {
public:
    HeldLauncher() : m_release(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~HeldLauncher() override { ::CloseHandle(m_release); }
    void Release() { ::SetEvent(m_release); }
    os::WaitResult Wait(os::ProcessId process, uint32_t timeoutMs) override {
        // Bounded, so a broken test cannot hang the run.
        ::WaitForSingleObject(m_release, 20000);
        return FakeProcessLauncher::Wait(process, timeoutMs);
    }

private:
    HANDLE m_release;
};

// Runs `check` from a thread timer, which fires inside whatever modal loop the thread is in
// (the wait dialogs, a nested dialog), until it answers true.
class TimerDriver {
public:
    explicit TimerDriver(std::function<bool()> check) {
        s_check = std::move(check);
        m_timer = ::SetTimer(nullptr, 0, 30, &TimerDriver::Tick);
    }
    ~TimerDriver() {
        if (m_timer)
            ::KillTimer(nullptr, m_timer);
        s_check = nullptr;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        if (s_check && s_check()) {
            ::KillTimer(nullptr, id);
            s_check = nullptr;
        }
    }
    static inline std::function<bool()> s_check;
    UINT_PTR m_timer = 0;
};

struct WindowSearch {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    if (::IsWindowVisible(hwnd) && WindowText(hwnd) == search->title) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

INT_PTR CALLBACK PassiveDialog(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

// A visible dialog of this thread with the title.
HWND ThreadDialog(const std::wstring& title) {
    WindowSearch search{title};
    ::EnumThreadWindows(::GetCurrentThreadId(), &MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Enabled(HWND dialog, int id) {
    return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}
// The control's own flag: the steps run before the dialog itself is first shown.
bool Visible(HWND dialog, int id) {
    return (::GetWindowLongW(::GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}
POINT Position(HWND dialog, int id) {
    RECT r{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &r);
    POINT p{r.left, r.top};
    ::ScreenToClient(dialog, &p);
    return p;
}
std::vector<std::wstring> ComboItems(HWND dialog, int id) {
    std::vector<std::wstring> items;
    HWND combo = ::GetDlgItem(dialog, id);
    for (int i = 0, n = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0)); i < n; ++i) {
        wchar_t text[300] = {};
        ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}
std::wstring ComboSelection(HWND dialog, int id) {
    HWND combo = ::GetDlgItem(dialog, id);
    int selected = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
    if (selected < 0)
        return L"<none>";
    wchar_t text[300] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
    return text;
}
std::vector<std::wstring> FoundLines(HWND dialog) {
    std::vector<std::wstring> lines;
    HWND list = ::GetDlgItem(dialog, Dlg::kFoundList);
    for (int i = 0, n = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)); i < n; ++i) {
        wchar_t text[300] = {};
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        lines.push_back(text);
    }
    return lines;
}
void PickFoundLine(HWND dialog, int index) {
    ::SendDlgItemMessageW(dialog, Dlg::kFoundList, LB_SETCURSEL, index, 0);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(Dlg::kFoundList, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, Dlg::kFoundList)));
}
DWORD Address(HWND dialog) {
    DWORD address = 0;
    ::SendDlgItemMessageW(dialog, Dlg::kIpAddress, IPM_GETADDRESS, 0,
                          reinterpret_cast<LPARAM>(&address));
    return address;
}
void ChooseInterface(HWND dialog, int iface) {
    Click(dialog, Dlg::kFirstRadio + iface);
}

class CommSettingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(world.printerA.Start());
        ASSERT_TRUE(world.printerB.Start(L"QK-T20"));
        table.LoadLangFile(FromWide(StageDir() + L"LANG"), 0x409, 0x409);
        table.LoadScreenTexts(u"PORT_ADD_DLG");
        services.registry = &registry;
        services.files = &files;
        services.folders = &folders;
        services.processes = &processes;
        services.profile = &profile;
    }
    void Offer(std::initializer_list<int32_t> interfaces, int32_t defaultIndex) {
        int32_t* types = world.Context().supportedIFTypes;
        std::fill(types, types + 5, -1);
        std::copy(interfaces.begin(), interfaces.end(), types);
        world.Context().defaultIFType = defaultIndex;
    }
    void Prepare(ScriptedCommDlg& dialog) {
        dialog.SetContext(world.Context());
        dialog.SetChoice(&world.Choice());
        dialog.SetTextTable(&table);
    }

    SelectWorld world;
    ScriptedPresenter presenter;
    CLangResTable table;
    FakeRegistry registry;
    FakeFileSystem files;
    FakeKnownFolders folders;
    HeldLauncher processes;
    FakeProfile profile{files};
    app::CommSettingServices services;
};

TEST_F(CommSettingTest, OnlyOfferedInterfacesAppearPackedFromTheLeft) {
    ASSERT_TRUE(world.UseLibrary("[USB]\r\n001={A}\r\n[NET]\r\n127.0.0.1={A}\r\n"));
    Offer({3, 2}, 0); // Serial is the default but not offered
    ScriptedCommDlg dialog(services);
    Prepare(dialog);
    POINT first{}, second{}, ethernet{}, usb{};
    std::vector<bool> visible;
    bool ethernetChecked = false;
    std::wstring title, heading, portLabel;
    dialog.steps.push_back([&](HWND hwnd) {
        for (int i = 0; i < 5; ++i)
            visible.push_back(Visible(hwnd, Dlg::kFirstRadio + i));
        ethernet = Position(hwnd, Dlg::kFirstRadio + 3);
        usb = Position(hwnd, Dlg::kFirstRadio + 2);
        ethernetChecked = ::IsDlgButtonChecked(hwnd, Dlg::kFirstRadio + 3) == BST_CHECKED;
        title = WindowText(hwnd);
        heading = ChildText(hwnd, Dlg::kHeading);
        portLabel = ChildText(hwnd, Dlg::kPortLabel);
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    // Where the template puts the first two buttons.
    HWND probe =
        ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_COMM_SETTING),
                             nullptr, &PassiveDialog, 0);
    ASSERT_NE(probe, nullptr);
    first = Position(probe, Dlg::kFirstRadio);
    second = Position(probe, Dlg::kFirstRadio + 1);
    ::DestroyWindow(probe);

    EXPECT_EQ(visible, (std::vector<bool>{false, false, true, true, false}));
    EXPECT_EQ(ethernet.x, first.x) << "the first offered entry takes the first place";
    EXPECT_EQ(ethernet.y, first.y);
    EXPECT_EQ(usb.x, second.x);
    EXPECT_TRUE(ethernetChecked) << "the default falls back to the first offered one";
    EXPECT_EQ(dialog.CurrentInterface(), app::kPortEthernet);
    EXPECT_EQ(title, L"Add Port");
    EXPECT_EQ(heading, L"Select the communication interface to QK-R40.");
    EXPECT_EQ(portLabel, L"IP address:");
    EXPECT_TRUE(presenter.Shown().empty()) << "the opening search found a printer";
    EXPECT_FALSE(dialog.HasResult());
}

TEST_F(CommSettingTest, SerialPortWithItsSettingsIsHandedBack) {
    ASSERT_TRUE(world.UseLibrary("[COM]\r\nCOM7={A}\r\nCOM8={B}\r\n[BT]\r\nCOM5={A}\r\n"));
    Offer({0, 1, 2}, 0);
    ScriptedCommDlg dialog(services);
    Prepare(dialog);
    std::vector<std::wstring> ports;
    std::wstring baud, parity, flow, data, baudLabel, searchCaption, toolCaption;
    bool ipVisible = true, toolEnabled = true;
    dialog.steps.push_back([&](HWND hwnd) {
        ports = ComboItems(hwnd, Dlg::kPortCombo);
        baud = ComboSelection(hwnd, Dlg::kSerialCombo1);
        parity = ComboSelection(hwnd, Dlg::kSerialCombo2);
        flow = ComboSelection(hwnd, Dlg::kSerialCombo3);
        data = ComboSelection(hwnd, Dlg::kSerialCombo4);
        baudLabel = ChildText(hwnd, Dlg::kSerialLabel1);
        searchCaption = ChildText(hwnd, Dlg::kPortSearch);
        toolCaption = ChildText(hwnd, Dlg::kVirtualPortTool);
        ipVisible = Visible(hwnd, Dlg::kIpAddress);
        toolEnabled = Enabled(hwnd, Dlg::kVirtualPortTool);
        Click(hwnd, IDOK);
    });
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(dialog.stepsRun, 1u);
    EXPECT_EQ(ports, (std::vector<std::wstring>{L"COM7", L"COM8", L"COM5"}))
        << "without Bluetooth offered the serial list holds the Bluetooth ports too";
    EXPECT_EQ(baud, L"38400 bps");
    EXPECT_EQ(parity, L"None");
    EXPECT_EQ(flow, L"DTR/DSR");
    EXPECT_EQ(data, L"8 bits");
    EXPECT_EQ(baudLabel, L"Baud rate:");
    EXPECT_EQ(searchCaption, L"Search");
    EXPECT_EQ(toolCaption, L"Port Assignment Tool");
    EXPECT_FALSE(ipVisible);
    EXPECT_FALSE(toolEnabled) << "no virtual port tool is installed";
    EXPECT_TRUE(presenter.Shown().empty());
    ASSERT_TRUE(dialog.HasResult());
    const comm::PortRecord& record = dialog.Result();
    EXPECT_EQ(Slot(record.interfaceKeyword), L"COM");
    EXPECT_EQ(Slot(record.portName), L"COM7");
    EXPECT_EQ(Slot(record.deviceName), L"QK-R40");
    EXPECT_EQ(record.serialFlag, 1);
    EXPECT_EQ(record.serialSetting1, 38400);
    EXPECT_EQ(record.serialSetting2, 0);
    EXPECT_EQ(record.serialSetting3, 1);
    EXPECT_EQ(record.reserved1040, -1);
    EXPECT_EQ(record.reserved1044, -1);
}

TEST_F(CommSettingTest, AnotherModelOrNoAnswerKeepsTheDialogOpen) {
    ASSERT_TRUE(world.UseLibrary("[COM]\r\nCOM7={A}\r\nCOM8={B}\r\nCOM9=127.0.0.1:1\r\n"));
    Offer({0, 4}, 0);
    ScriptedCommDlg dialog(services);
    Prepare(dialog);
    std::vector<std::wstring> ports;
    auto choose = [](HWND hwnd, int item) {
        ::SendDlgItemMessageW(hwnd, Dlg::kPortCombo, CB_SETCURSEL, item, 0);
    };
    dialog.steps.push_back([&](HWND hwnd) {
        ports = ComboItems(hwnd, Dlg::kPortCombo);
        choose(hwnd, 1); // COM8: another model answers
        Click(hwnd, IDOK);
    });
    dialog.steps.push_back([&](HWND hwnd) {
        choose(hwnd, 2); // COM9: nobody listens
        Click(hwnd, IDOK);
    });
    dialog.steps.push_back([&](HWND hwnd) {
        choose(hwnd, 0);
        Click(hwnd, Dlg::kTest);
    });
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(dialog.stepsRun, 4u) << "neither failure may end the dialog";
    EXPECT_EQ(ports, (std::vector<std::wstring>{L"COM7", L"COM8", L"COM9"}))
        << "with Bluetooth offered the serial list leaves its ports out";
    ASSERT_EQ(presenter.Shown().size(), 3u);
    EXPECT_EQ(presenter.Shown()[0].text, L"The device ID does not match the connected printer.");
    EXPECT_EQ(presenter.Shown()[0].Icon(), static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(presenter.Shown()[1].text, L"A communication error occurred.");
    EXPECT_EQ(presenter.Shown()[1].Icon(), static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(presenter.Shown()[2].text, L"Communication test completed successfully.");
    EXPECT_EQ(presenter.Shown()[2].Icon(), static_cast<UINT>(MB_ICONINFORMATION));
    for (const ShownMessage& shown : presenter.Shown()) {
        EXPECT_EQ(shown.caption, L"QK-R40 Utility");
        EXPECT_NE(shown.owner, nullptr);
    }
}

TEST_F(CommSettingTest, UnboundLibraryFindsNothingAndFailsTheTest) {
    Offer({1}, 1);
    ScriptedCommDlg dialog(services);
    dialog.SetContext(world.Context());
    dialog.SetTextTable(&table);
    bool okEnabled = true;
    dialog.steps.push_back([&](HWND hwnd) {
        okEnabled = Enabled(hwnd, IDOK);
        Click(hwnd, Dlg::kPortSearch);
        Click(hwnd, IDOK); // the default button answers Enter even when it is disabled
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_FALSE(okEnabled);
    ASSERT_EQ(presenter.Shown().size(), 2u);
    EXPECT_EQ(presenter.Shown()[0].text, L"Cannot find the printer.");
    EXPECT_EQ(presenter.Shown()[0].Icon(), static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(presenter.Shown()[1].text, L"A communication error occurred.");
    EXPECT_FALSE(dialog.HasResult());
}

TEST_F(CommSettingTest, UsbItemLosesItsPrefixInTheRecord) {
    ASSERT_TRUE(world.UseLibrary("[USB]\r\n001={A}\r\n"));
    Offer({2}, 2);
    ScriptedCommDlg dialog(services);
    Prepare(dialog);
    std::vector<std::wstring> ports;
    dialog.steps.push_back([&](HWND hwnd) {
        ports = ComboItems(hwnd, Dlg::kPortCombo);
        Click(hwnd, IDOK);
    });
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(ports, (std::vector<std::wstring>{L"USB-001"}));
    ASSERT_TRUE(dialog.HasResult());
    EXPECT_EQ(Slot(dialog.Result().interfaceKeyword), L"USB");
    EXPECT_EQ(Slot(dialog.Result().portName), L"001");
    EXPECT_EQ(Slot(dialog.Result().deviceId).rfind(L"\\\\?\\usb#", 0), 0u)
        << "the enumerated identification is carried";
}

TEST_F(CommSettingTest, FoundPrintersAndTheIpAddress) {
    ASSERT_TRUE(
        world.UseLibrary("[NET]\r\n300.1.2.3={B}\r\n127.0.0.1={A}\r\n[USB]\r\n001={A}\r\n"));
    Offer({3, 2}, 3);
    ScriptedCommDlg dialog(services);
    Prepare(dialog);
    std::vector<std::wstring> lines;
    DWORD initial = 0, clamped = 0;
    bool okAfterClear = true, blankAfterSwitch = false, okAfterSwitch = true, okAfterTyping = false;
    dialog.steps.push_back([&](HWND hwnd) {
        lines = FoundLines(hwnd);
        initial = Address(hwnd);
        PickFoundLine(hwnd, 1);
        clamped = Address(hwnd);
        // The operator empties the field.
        ::SendDlgItemMessageW(hwnd, Dlg::kIpAddress, IPM_CLEARADDRESS, 0, 0);
        ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(Dlg::kIpAddress, EN_CHANGE),
                       reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, Dlg::kIpAddress)));
        okAfterClear = Enabled(hwnd, IDOK);
        ChooseInterface(hwnd, app::kPortUsb);
        ChooseInterface(hwnd, app::kPortEthernet);
        blankAfterSwitch = ::SendDlgItemMessageW(hwnd, Dlg::kIpAddress, IPM_ISBLANK, 0, 0) != 0;
        okAfterSwitch = Enabled(hwnd, IDOK);
        // Typing into the first field: the control tells the dialog of the change.
        HWND field =
            ::FindWindowExW(::GetDlgItem(hwnd, Dlg::kIpAddress), nullptr, L"Edit", nullptr);
        ::SendMessageW(field, WM_CHAR, L'1', 0);
        okAfterTyping = Enabled(hwnd, IDOK);
        PickFoundLine(hwnd, 0);
        Click(hwnd, IDOK);
    });
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"127.0.0.1", L"300.1.2.3"}))
        << "each found printer goes to the top";
    EXPECT_EQ(initial, 0xC0A8C0A8u);
    EXPECT_EQ(clamped, 0xFF010203u) << "300.1.2.3 becomes 255.1.2.3";
    EXPECT_FALSE(okAfterClear);
    EXPECT_TRUE(blankAfterSwitch) << "a 0 address blanks the control";
    EXPECT_FALSE(okAfterSwitch);
    EXPECT_TRUE(okAfterTyping);
    ASSERT_TRUE(dialog.HasResult());
    EXPECT_EQ(Slot(dialog.Result().interfaceKeyword), L"NET");
    EXPECT_EQ(Slot(dialog.Result().portName), L"127.0.0.1");
    EXPECT_TRUE(presenter.Shown().empty());
}

TEST_F(CommSettingTest, NetworkToolRunsUnderItsWaitDialog) {
    ASSERT_TRUE(world.UseLibrary("[NET]\r\n127.0.0.1={A}\r\n"));
    Offer({3}, 3);
    registry.SetString(os::RegRoot::LocalMachine, app::kNetworkToolUninstallKey, u"InstallLocation",
                       u"D:\\TNC");
    files.AddFile(u"D:\\TNC\\TNConfig.exe", {1});
    ScriptedCommDlg dialog(services);
    Prepare(dialog);
    bool enabledBefore = false, enabledWhileRunning = true, enabledAfter = false;
    std::wstring waitTitle, waitText;
    bool waitSeen = false, waitGone = false;
    dialog.steps.push_back([&](HWND hwnd) {
        enabledBefore = Enabled(hwnd, Dlg::kNetworkTool);
        int ticks = 0;
        TimerDriver driver([&] {
            HWND wait = ThreadDialog(L"Run TarrowNet Config");
            if (!wait || (Enabled(hwnd, Dlg::kNetworkTool) && ++ticks < 100))
                return false;
            waitSeen = true;
            waitTitle = WindowText(wait);
            waitText = ChildText(wait, Dlg::kNetToolText);
            enabledWhileRunning = Enabled(hwnd, Dlg::kNetworkTool);
            // Escape must not end the wait while the tool runs.
            ::SendMessageW(wait, WM_COMMAND, IDCANCEL, 0);
            processes.Release();
            return true;
        });
        Click(hwnd, Dlg::kNetworkTool);
        waitGone = ThreadDialog(L"Run TarrowNet Config") == nullptr;
        enabledAfter = Enabled(hwnd, Dlg::kNetworkTool);
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(enabledBefore);
    EXPECT_TRUE(waitSeen);
    EXPECT_EQ(waitTitle, L"Run TarrowNet Config");
    EXPECT_EQ(waitText, L"TarrowNet Config Running...");
    EXPECT_FALSE(enabledWhileRunning);
    EXPECT_TRUE(waitGone);
    EXPECT_TRUE(enabledAfter);
    ASSERT_EQ(processes.Launches().size(), 1u);
    EXPECT_EQ(processes.Launches()[0].file, u"D:\\TNC\\TNConfig.exe");
    EXPECT_EQ(processes.Launches()[0].parameters, u"");
    EXPECT_EQ(processes.OpenHandles(), 0);
}

TEST_F(CommSettingTest, ToolThatEndsAtOnceStillClosesItsWaitDialog) {
    ASSERT_TRUE(world.UseLibrary("[NET]\r\n127.0.0.1={A}\r\n"));
    Offer({3}, 3);
    files.AddFile(u"C:\\Program Files\\TARROW\\TarrowNet Config V4\\TNConfig.exe", {1});
    processes.Release(); // the tool ends as soon as it starts
    ScriptedCommDlg dialog(services);
    Prepare(dialog);
    bool returned = false;
    dialog.steps.push_back([&](HWND hwnd) {
        Click(hwnd, Dlg::kNetworkTool);
        returned = true;
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(returned);
    EXPECT_EQ(processes.Launches().size(), 1u);
}

TEST_F(CommSettingTest, PairingDisablesTheDialogAndSelectsThePairedPort) {
    ASSERT_TRUE(world.UseLibrary("[BT]\r\nCOM5={A}\r\nCOM6={A}\r\n"));
    Offer({0, 4}, 4);
    const std::u16string connector =
        u"C:\\Program Files\\TARROW\\QK Bluetooth Connector\\QKBluetoothConnector.exe";
    files.AddFile(connector, {1});
    files.AddFolder(u"C:\\ProgramData\\TARROW\\QKBTConnector");
    ScriptedCommDlg dialog(services);
    Prepare(dialog);
    std::wstring before, after, waitTitle, waitText;
    std::vector<bool> whileRunning; // serial radio, port combo, search, OK, Cancel, test
    bool serialAfter = false, okAfter = false, connectorAfter = false;
    dialog.steps.push_back([&](HWND hwnd) {
        before = ComboSelection(hwnd, Dlg::kPortCombo);
        int ticks = 0;
        TimerDriver driver([&] {
            HWND wait = ThreadDialog(L"Run Paring");
            if (!wait || (Enabled(hwnd, IDCANCEL) && ++ticks < 100))
                return false;
            waitTitle = WindowText(wait);
            waitText = ChildText(wait, Dlg::kPairingText);
            for (int id : {Dlg::kFirstRadio, Dlg::kPortCombo, Dlg::kPortSearch, IDOK, IDCANCEL,
                           Dlg::kTest, Dlg::kBluetoothConnector})
                whileRunning.push_back(Enabled(hwnd, id));
            // The connector pairs COM6 and leaves it in its settings file.
            EXPECT_TRUE(
                profile.WriteString(u"C:\\ProgramData\\TARROW\\QKBTConnector\\QKBTSetting.ini",
                                    u"Setting", u"VirtualComPort", u"COM6"));
            processes.Release();
            return true;
        });
        Click(hwnd, Dlg::kBluetoothConnector);
        after = ComboSelection(hwnd, Dlg::kPortCombo);
        serialAfter = Enabled(hwnd, Dlg::kFirstRadio);
        okAfter = Enabled(hwnd, IDOK);
        connectorAfter = Enabled(hwnd, Dlg::kBluetoothConnector);
        Click(hwnd, IDOK);
    });
    dialog.steps.push_back([](HWND hwnd) { Click(hwnd, IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(before, L"COM5");
    EXPECT_EQ(waitTitle, L"Run Paring");
    EXPECT_EQ(waitText, L"Paring");
    EXPECT_EQ(whileRunning, std::vector<bool>(7, false));
    EXPECT_EQ(after, L"COM6");
    EXPECT_TRUE(serialAfter);
    EXPECT_TRUE(okAfter);
    EXPECT_TRUE(connectorAfter);
    ASSERT_TRUE(dialog.HasResult());
    EXPECT_EQ(Slot(dialog.Result().interfaceKeyword), L"BT");
    EXPECT_EQ(Slot(dialog.Result().portName), L"COM6");
}

TEST_F(CommSettingTest, VirtualPortToolOpensItsFolderAndThePortsAreReadAgain) {
    ASSERT_TRUE(world.UseLibrary("[LPT]\r\nLPT1={A}\r\n"));
    Offer({1}, 1);
    processes.Release();
    files.AddFolder(u"F:\\Vendor\\QKCOMUSB");
    folders.SetEnvironment(u"VendorRoot", u"F:\\Vendor");
    registry.SetExpandString(os::RegRoot::LocalMachine, app::kVirtualPortAppPathKey, u"Path",
                             u"%VendorRoot%\\QKCOMUSB");
    ScriptedCommDlg dialog(services);
    Prepare(dialog);
    bool enabled = false;
    std::vector<std::wstring> ports;
    dialog.steps.push_back([&](HWND hwnd) {
        enabled = Enabled(hwnd, Dlg::kVirtualPortTool);
        // A port appears while the tool is open.
        world.UseLibrary("[LPT]\r\nLPT1={A}\r\nLPT2={A}\r\n");
        Click(hwnd, Dlg::kVirtualPortTool);
        ports = ComboItems(hwnd, Dlg::kPortCombo);
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(enabled);
    ASSERT_EQ(processes.Launches().size(), 1u);
    EXPECT_EQ(processes.Launches()[0].how, FakeProcessLauncher::How::ShellOpen);
    EXPECT_EQ(processes.Launches()[0].file, u"F:\\Vendor\\QKCOMUSB");
    EXPECT_EQ(ports, (std::vector<std::wstring>{L"LPT1", L"LPT2"}));
}

TEST_F(CommSettingTest, AddPortFromTheSelectionDialogListsTheNewPort) {
    ASSERT_TRUE(world.UseLibrary("[COM]\r\nCOM7={A}\r\nCOM8={B}\r\n"));
    ASSERT_EQ(world.Register(u"COM", u"COM8", u"QK-T20"), 0);
    Offer({0}, 0);
    app::PrinterSelectServices selectServices; // the real add-port dialog
    ScriptedSelectDlg dialog(world.Choice(), selectServices);
    dialog.SetContext(world.Context());
    std::vector<std::vector<std::wstring>> rowsBefore, rows;
    int selected = -1;
    bool addPortSeen = false;
    dialog.steps.push_back([&](HWND hwnd) {
        rowsBefore = ListRows(hwnd);
        TimerDriver driver([&] {
            HWND add = ThreadDialog(L"Add Port");
            if (!add)
                return false;
            addPortSeen = ::IsWindowEnabled(hwnd) == FALSE; // modal over the selection
            Click(add, IDOK);
            return true;
        });
        Click(hwnd, app::CPrinterSelectDlg::kAddPort);
        rows = ListRows(hwnd);
        selected = static_cast<int>(::SendDlgItemMessageW(hwnd, app::CPrinterSelectDlg::kPortList,
                                                          LVM_GETNEXTITEM, -1, LVNI_SELECTED));
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(addPortSeen);
    EXPECT_TRUE(rowsBefore.empty()) << "the registered port is another model's";
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::wstring>{L"QK-R40", L"Serial", L"COM7", L""}));
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(world.Registered().size(), 2u);
    EXPECT_TRUE(presenter.Shown().empty());
}

// A library whose port list grows between the count and the read: it reports more than the
// room it was given and fills only the room.
int32_t QKC_CALL GrowingEnum(const char16_t*, comm::PortRecord* records, int32_t capacity,
                             int32_t* count) {
    FakeCommLibrary& library = FakeCommLibrary::Current();
    library.Note("EnumDevPort");
    const int32_t ports = library.CountOf("EnumDevPort") == 1 ? 200 : 260;
    for (int32_t i = 0; i < std::min(ports, capacity); ++i)
        app::SetSlotText(records[i].portName, FromWide(L"COM" + std::to_wstring(i + 1)));
    *count = ports;
    return 0;
}

TEST_F(CommSettingTest, PortsBeyondTheOfferedRoomAreAskedForAgainAndNeverOverread) {
    FakeCommLibrary growing;
    growing.Binding()->QKC_EnumDevPort = &GrowingEnum;
    Offer({0}, 0);
    app::CPrinterChoice choice(growing.Binding());
    ScriptedCommDlg dialog(services);
    dialog.SetContext(world.Context());
    dialog.SetChoice(&choice);
    dialog.SetTextTable(&table);
    std::vector<std::wstring> ports;
    dialog.steps.push_back([&](HWND hwnd) {
        ports = ComboItems(hwnd, Dlg::kPortCombo);
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(growing.CountOf("EnumDevPort"), 2)
        << "128 records offered first, then as many as reported";
    ASSERT_EQ(ports.size(), 200u) << "only the records the second call had room for";
    EXPECT_EQ(ports.back(), L"COM200");
}

// The real network tool stand-in, started and waited for by the real process launcher from
// the watcher thread, found where the maker's installer puts it.
TEST_F(CommSettingTest, RealNetworkToolRunsAndIsWaitedFor) {
    ASSERT_TRUE(world.UseLibrary("[NET]\r\n127.0.0.1={A}\r\n"));
    Offer({3}, 3);
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring root =
        std::wstring(temp) + L"qknettool-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    const std::wstring toolFolder = root + L"TARROW\\TarrowNet Config V4\\";
    for (const std::wstring& folder : {root, root + L"TARROW\\", toolFolder, root + L"log\\"})
        ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW((StageDir() + L"TNConfig.exe").c_str(),
                            (toolFolder + L"TNConfig.exe").c_str(), FALSE));
    ::SetEnvironmentVariableW(L"QKTOOLS_DATA_DIR", (root + L"log").c_str());
    ::SetEnvironmentVariableW(L"QKTOOLS_HOLD_MS", L"1500");
    app::CommSettingServices real;
    real.folders = &folders;
    real.registry = &registry;
    folders.programFiles = FromWide(root.substr(0, root.size() - 1));
    ScriptedCommDlg dialog(real);
    Prepare(dialog);
    bool waitSeen = false, enabledAfter = false;
    dialog.steps.push_back([&](HWND hwnd) {
        TimerDriver driver([&] {
            waitSeen = ThreadDialog(L"Run TarrowNet Config") != nullptr;
            return waitSeen;
        });
        Click(hwnd, Dlg::kNetworkTool);
        enabledAfter = Enabled(hwnd, Dlg::kNetworkTool);
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    ::SetEnvironmentVariableW(L"QKTOOLS_HOLD_MS", nullptr);
    ::SetEnvironmentVariableW(L"QKTOOLS_DATA_DIR", nullptr);
    EXPECT_TRUE(waitSeen) << "the wait dialog stands while the tool runs";
    EXPECT_TRUE(enabledAfter);
    char log[256] = {};
    HANDLE file = ::CreateFileW((root + L"log\\runs.log").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ::ReadFile(file, log, sizeof(log) - 1, &got, nullptr);
        ::CloseHandle(file);
    }
    EXPECT_EQ(std::string(log).rfind("TNConfig.exe ", 0), 0u) << log;
    ::DeleteFileW((root + L"log\\runs.log").c_str());
    ::DeleteFileW((toolFolder + L"TNConfig.exe").c_str());
    for (const std::wstring& folder : {root + L"log\\", toolFolder, root + L"TARROW\\", root})
        ::RemoveDirectoryW(folder.c_str());
}

// The shell's shortcut reading that the virtual port tool's look-up relies on.
TEST(ShortcutResolver, ReadsTheTargetOfASavedShortcut) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"qklnk-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring target = folder + L"PortTool.exe";
    const std::wstring shortcut = folder + L"Port Assignment Tool.lnk";
    HANDLE file =
        ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);

    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IShellLinkW* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkW, reinterpret_cast<void**>(&link))));
    link->SetPath(target.c_str());
    IPersistFile* persist = nullptr;
    ASSERT_TRUE(
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))));
    EXPECT_TRUE(SUCCEEDED(persist->Save(shortcut.c_str(), TRUE)));
    persist->Release();
    link->Release();
    ::CoUninitialize();

    std::u16string found;
    EXPECT_TRUE(app::RealShortcutResolver().Target(FromWide(shortcut), found));
    EXPECT_EQ(::lstrcmpiW(WidePtr(found), target.c_str()), 0) << U16ToWide(found);
    std::u16string untouched = u"unchanged";
    EXPECT_FALSE(app::RealShortcutResolver().Target(FromWide(folder + L"missing.lnk"), untouched));
    EXPECT_EQ(untouched, u"unchanged");

    ::DeleteFileW(shortcut.c_str());
    ::DeleteFileW(target.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace
} // namespace qk::test
