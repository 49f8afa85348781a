#include "app/connection/CommunicationSettingDlg.h"

#include <commctrl.h>
#include <algorithm>
#include <cstring>
#include "app/connection/PortRecordText.h"
#include "app/shell/Model.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/MessagePresenter.h"
#include "platform/Text.h"
#include "platform/WaitCursor.h"
#include "resource.h"

namespace qk::app {
namespace {

const int kSerialCombos[] = {
    CCommunicationSettingDlg::kSerialCombo1, CCommunicationSettingDlg::kSerialCombo2,
    CCommunicationSettingDlg::kSerialCombo3, CCommunicationSettingDlg::kSerialCombo4};
const int kSerialDefaults[] = {4, 0, 1, 0};

// The radio buttons stand in interface order: the interface is the offset from the first.
static_assert(IDC_ADDPORT_PARALLEL - IDC_ADDPORT_SERIAL == kPortParallel &&
              IDC_ADDPORT_USB - IDC_ADDPORT_SERIAL == kPortUsb &&
              IDC_ADDPORT_ETHERNET - IDC_ADDPORT_SERIAL == kPortEthernet &&
              IDC_ADDPORT_BLUETOOTH - IDC_ADDPORT_SERIAL == kPortBluetooth && kInterfaceCount == 5);

} // namespace

CCommunicationSettingDlg::CCommunicationSettingDlg(const CommSettingServices& services)
    : CDialog(IDD_COMM_SETTING), m_services(services), m_context(std::make_unique<UtilContext>()),
      m_result(std::make_unique<comm::PortRecord>()), m_toolRun(*m_services.processes),
      m_pairingDlg(IDD_BT_PAIRING, kPairingText), m_netToolDlg(IDD_NET_TOOL, kNetToolText) {
    std::memset(m_context.get(), 0, sizeof(UtilContext));
    std::memset(m_result.get(), 0, sizeof(comm::PortRecord));
    // The template holds an IP address control, which needs its class registered.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_INTERNET_CLASSES};
    ::InitCommonControlsEx(&controls);
}

CCommunicationSettingDlg::~CCommunicationSettingDlg() = default;

void CCommunicationSettingDlg::SetContext(const UtilContext& context) {
    *m_context = context;
}

std::u16string CCommunicationSettingDlg::Text(LangListKind list, int number,
                                              std::u16string_view english) const {
    return m_table ? m_table->TextOr(list, number, english) : std::u16string(english);
}

int CCommunicationSettingDlg::ShowDialogMessage(int number, const char16_t* english, UINT type) {
    const std::u16string text = Text(LangListKind::ScreenMessages, number, english);
    return ShowMessage(m_hWnd, WidePtr(text), kUtilCaption, type);
}

bool CCommunicationSettingDlg::OnInitDialog() {
    SetWindowText(WidePtr(Text(LangListKind::ScreenStrings, 0, u"Add Port")));
    SetDlgItemText(kHeading,
                   WidePtr(FillPlaceholder(Text(LangListKind::ScreenStrings, 13,
                                                u"Select the communication interface to %s."),
                                           kServedModel)));
    if (m_table)
        m_table->ApplyCaptions(m_hWnd);
    m_portCombo.AttachDlgItem(m_hWnd, kPortCombo);
    m_foundList.AttachDlgItem(m_hWnd, kFoundList);
    m_addressCtrl.AttachDlgItem(m_hWnd, kIpAddress);

    m_address = kDefaultAddress;
    m_addressCtrl.SetAddress(m_address);

    m_offered = OfferedInterfaces(m_context->supportedIFTypes);
    m_interface = ChooseInterface(m_context->defaultIFType, m_offered);
    PlaceRadioButtons();
    SwitchInterface(m_interface);
    CenterWindow();
    // The checked interface takes the focus, not whichever button comes first.
    ::SetFocus(GetDlgItem(kFirstRadio + m_interface));
    return false;
}

void CCommunicationSettingDlg::PlaceRadioButtons() {
    for (int i = 0; i < kInterfaceCount; ++i) {
        HWND radio = GetDlgItem(kFirstRadio + i);
        RECT r{};
        ::GetWindowRect(radio, &r);
        POINT topLeft{r.left, r.top};
        ::ScreenToClient(m_hWnd, &topLeft);
        m_radioPositions[i] = topLeft;
        ShowItem(kFirstRadio + i, false);
    }
    // Only the offered interfaces appear, packed from the first position on.
    for (size_t slot = 0; slot < m_offered.size(); ++slot) {
        const int radio = kFirstRadio + m_offered[slot];
        ::SetWindowPos(GetDlgItem(radio), nullptr, m_radioPositions[slot].x,
                       m_radioPositions[slot].y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowItem(radio);
    }
}

void CCommunicationSettingDlg::SwitchInterface(int iface) {
    m_interface = iface;
    CheckRadio(kFirstRadio, kFirstRadio + kInterfaceCount - 1, kFirstRadio + iface);
    ApplyInterfaceControls();
    LocateTools();
    FillPortCombo();
    FillSerialCombos();
    if (iface == kPortEthernet) {
        if (m_address == 0)
            m_addressCtrl.ClearAddress();
        EnableTestAndOk(m_address != 0);
    } else {
        EnableTestAndOk(m_portCombo.GetCount() > 0);
    }
}

void CCommunicationSettingDlg::ApplyInterfaceControls() {
    for (int id : InterfaceControls()) {
        const int caption = ControlCaption(id, m_interface);
        const bool shown = caption != kControlHidden;
        ShowItem(id, shown);
        EnableItem(id, shown);
        // A string missing from the language file leaves the caption empty.
        if (caption >= 0)
            SetDlgItemText(id, WidePtr(Text(LangListKind::ScreenStrings, caption, u"")));
    }
}

void CCommunicationSettingDlg::LocateTools() {
    const ToolSeams seams{*m_services.registry, *m_services.files, *m_services.folders,
                          *m_services.shortcuts};
    if (m_interface == kPortEthernet) {
        m_networkTool = FindNetworkTool(seams);
        EnableItem(kNetworkTool, !m_networkTool.empty());
        return;
    }
    m_virtualPortTool = FindVirtualPortTool(seams);
    if (ControlCaption(kVirtualPortTool, m_interface) != kControlHidden)
        EnableItem(kVirtualPortTool, !m_virtualPortTool.location.empty());
    if (m_interface == kPortBluetooth) {
        m_bluetoothConnector = FindBluetoothConnector(seams);
        EnableItem(kBluetoothConnector, !m_bluetoothConnector.empty());
    }
}

void CCommunicationSettingDlg::FillPortCombo() {
    m_portCombo.ResetContent();
    m_portRecords.clear();
    if (m_interface == kPortEthernet) {
        if (IsItemShown(kNetworkSearch))
            SearchNetwork();
        return;
    }
    CWaitCursor wait;
    const bool bluetoothOffered =
        std::find(m_offered.begin(), m_offered.end(), kPortBluetooth) != m_offered.end();
    m_portRecords =
        Choice().DevicePorts(std::u16string(EnumKeyword(m_interface, bluetoothOffered)));
    const std::u16string prefix(PortPrefix(m_interface));
    for (comm::PortRecord& record : m_portRecords) {
        const std::u16string text = prefix + SlotText(record.portName);
        const int item = m_portCombo.AddString(WidePtr(text));
        if (item < 0)
            break;
        m_portCombo.SetItemData(item, reinterpret_cast<DWORD_PTR>(&record));
    }
    if (m_portCombo.GetCount() > 0)
        m_portCombo.SetCurSel(0);
}

void CCommunicationSettingDlg::FillSerialCombos() {
    for (int id : kSerialCombos)
        CComboBox(GetDlgItem(id)).ResetContent();
    if (m_table)
        m_table->ApplyComboItems(m_hWnd);
    for (int i = 0; i < 4; ++i)
        CComboBox(GetDlgItem(kSerialCombos[i])).SetCurSel(kSerialDefaults[i]);
}

void CCommunicationSettingDlg::EnableTestAndOk(bool enable) {
    EnableItem(IDOK, enable);
    EnableItem(kTest, enable);
}

void CCommunicationSettingDlg::OnPortSearch() {
    FillPortCombo();
    if (m_portCombo.GetCount() == 0) {
        ShowDialogMessage(3, u"Cannot find the printer.", MB_OK | MB_ICONINFORMATION);
        EnableTestAndOk(false);
    } else {
        EnableTestAndOk(true);
    }
}

void CCommunicationSettingDlg::SearchNetwork() {
    CWaitCursor wait;
    m_foundList.ResetContent();
    m_networkRecords = Choice().DevicePorts(u"NET");
    // Each found printer goes to the top, so the list shows them in reverse order.
    for (comm::PortRecord& record : m_networkRecords) {
        const std::u16string address = SlotText(record.portName);
        const int item = m_foundList.InsertString(0, WidePtr(address));
        if (item < 0)
            break;
        m_foundList.SetItemData(item, reinterpret_cast<DWORD_PTR>(&record));
    }
    if (m_networkRecords.empty())
        ShowDialogMessage(3, u"Cannot find the printer.", MB_OK | MB_ICONINFORMATION);
}

void CCommunicationSettingDlg::OnFoundPrinterPicked() {
    const int selected = m_foundList.GetCurSel();
    if (selected < 0)
        return;
    uint32_t address = 0;
    if (!ParseFoundAddress(FromWide(m_foundList.GetText(selected)), address))
        return;
    m_address = address;
    m_addressCtrl.SetAddress(address);
    EnableTestAndOk(true);
}

void CCommunicationSettingDlg::OnAddressChanged() {
    DWORD address = 0;
    m_addressCtrl.GetAddress(address);
    const bool blank = m_addressCtrl.IsBlank();
    m_address = address;
    EnableTestAndOk(!(blank && m_address == 0));
}

bool CCommunicationSettingDlg::ReadChoice(PortChoice& choice) {
    choice.iface = m_interface;
    if (m_interface == kPortEthernet) {
        DWORD address = 0;
        m_addressCtrl.GetAddress(address);
        m_address = address;
        choice.address = address;
        return true;
    }
    const int selected = m_portCombo.GetCurSel();
    if (selected < 0)
        return false;
    choice.portText = FromWide(m_portCombo.GetLBText(selected));
    const auto* record =
        reinterpret_cast<const comm::PortRecord*>(m_portCombo.GetItemData(selected));
    if (m_interface == kPortUsb && record &&
        record != reinterpret_cast<const comm::PortRecord*>(-1))
        choice.usbDeviceId = record->deviceId;
    for (int i = 0; i < 3; ++i) {
        const CComboBox combo(GetDlgItem(kSerialCombos[i]));
        const int item = combo.GetCurSel();
        choice.serial[i] = item < 0 ? 0 : static_cast<int32_t>(combo.GetItemData(item));
    }
    return true;
}

bool CCommunicationSettingDlg::RunTest() {
    CWaitCursor wait;
    comm::PortRecord record;
    PortChoice choice;
    if (!ReadChoice(choice) || !BuildPortRecord(choice, record)) {
        ShowDialogMessage(0, u"A communication error occurred.", MB_OK | MB_ICONWARNING);
        return false;
    }
    comm::QkcBinding& library = Choice().Library();
    const int32_t tested = library.QKC_CommunicationTest(&record);
    if (tested != 0) {
        if (comm::IsBound(&library))
            library.QKC_Close();
        ShowDialogMessage(0, u"A communication error occurred.", MB_OK | MB_ICONWARNING);
        return false;
    }
    if (!IsServedModel(SlotText(record.deviceName), m_context->startMode)) {
        ShowDialogMessage(2, u"The device ID does not match the connected printer.",
                          MB_OK | MB_ICONWARNING);
        return false;
    }
    *m_result = record;
    m_hasResult = true;
    return true;
}

void CCommunicationSettingDlg::OnOK() {
    if (RunTest())
        EndDialog(IDOK);
}

bool CCommunicationSettingDlg::OnCommand(UINT code, UINT id, HWND control) {
    if (id >= static_cast<UINT>(kFirstRadio) &&
        id < static_cast<UINT>(kFirstRadio + kInterfaceCount)) {
        if (code == BN_CLICKED && static_cast<int>(id) - kFirstRadio != m_interface)
            SwitchInterface(static_cast<int>(id) - kFirstRadio);
        return true;
    }
    switch (id) {
    case kPortSearch:
        if (code == BN_CLICKED)
            OnPortSearch();
        return true;
    case kNetworkSearch:
        if (code == BN_CLICKED)
            SearchNetwork();
        return true;
    case kFoundList:
        if (code == LBN_SELCHANGE)
            OnFoundPrinterPicked();
        return true;
    case kIpAddress:
        if (code == EN_CHANGE)
            OnAddressChanged();
        return true;
    case kTest:
        if (code == BN_CLICKED && RunTest())
            ShowDialogMessage(1, u"Communication test completed successfully.",
                              MB_OK | MB_ICONINFORMATION);
        return true;
    case kVirtualPortTool:
        if (code == BN_CLICKED)
            OnVirtualPortTool();
        return true;
    case kNetworkTool:
        if (code == BN_CLICKED)
            OnNetworkTool();
        return true;
    case kBluetoothConnector:
        if (code == BN_CLICKED)
            OnBluetoothConnector();
        return true;
    default:
        return CDialog::OnCommand(code, id, control);
    }
}

bool CCommunicationSettingDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case kMsgPairingStart:
        OnPairingStart();
        result = 0;
        return true;
    case kMsgPairingEnd:
        OnPairingEnd();
        result = 0;
        return true;
    case kMsgNetToolRunning:
        OnNetToolRunning(wp != 0);
        result = 0;
        return true;
    default:
        return CDialog::OnMessage(msg, wp, lp, result);
    }
}

void CCommunicationSettingDlg::OnDestroy() {
    m_portCombo.Detach();
    m_foundList.Detach();
    m_addressCtrl.Detach();
    // A tool still running must not post to a window that is gone.
    m_toolRun.Release();
    CDialog::OnDestroy();
}

void CCommunicationSettingDlg::OnVirtualPortTool() {
    // A folder is shown by the shell; the program of the default location is started.
    if (!m_virtualPortTool.location.empty())
        m_services.processes->ShellOpen(m_virtualPortTool.location, u"", u"");
    OnPortSearch();
}

void CCommunicationSettingDlg::OnNetworkTool() {
    if (m_networkTool.empty()) {
        ::MessageBeep(MB_OK);
        return;
    }
    m_netToolDlg.Reset();
    if (m_toolRun.Start(m_hWnd, m_networkTool, {kMsgNetToolRunning, 1, kMsgNetToolRunning, 0}))
        m_netToolDlg.DoModal(m_hWnd);
}

void CCommunicationSettingDlg::OnNetToolRunning(bool running) {
    if (running) {
        EnableItem(kNetworkTool, false);
        m_netToolDlg.SetTexts(
            Text(LangListKind::ScreenStrings, 5019, u"Run TarrowNet Config"),
            Text(LangListKind::ScreenStrings, 5020, u"TarrowNet Config Running..."));
        return;
    }
    EnableItem(kNetworkTool, true);
    m_netToolDlg.Finish();
    m_toolRun.Release();
}

void CCommunicationSettingDlg::OnBluetoothConnector() {
    if (m_bluetoothConnector.empty())
        return;
    m_pairingDlg.Reset();
    if (m_toolRun.Start(m_hWnd, m_bluetoothConnector, {kMsgPairingStart, 0, kMsgPairingEnd, 0}))
        m_pairingDlg.DoModal(m_hWnd);
}

void CCommunicationSettingDlg::SetPairingControlsEnabled(bool enable) {
    static const int kPlain[] = {kHeading, kPortLabel, kPortCombo, kPortSearch,
                                 kTest,    IDOK,       IDCANCEL};
    for (int id : kPlain)
        EnableItem(id, enable);
    for (int i = kPortSerial; i <= kPortEthernet; ++i)
        EnableItem(kFirstRadio + i, enable && IsItemShown(kFirstRadio + i));
    EnableItem(kBluetoothConnector, enable && !m_bluetoothConnector.empty());
    EnableItem(kVirtualPortTool,
               enable && !m_virtualPortTool.location.empty() &&
                   ControlCaption(kVirtualPortTool, m_interface) != kControlHidden);
}

void CCommunicationSettingDlg::OnPairingStart() {
    SetPairingControlsEnabled(false);
    m_pairingDlg.SetTexts(Text(LangListKind::ScreenStrings, 1034, u"Run Paring"),
                          Text(LangListKind::ScreenStrings, 5018, u"Paring"));
}

void CCommunicationSettingDlg::OnPairingEnd() {
    SetPairingControlsEnabled(true);
    OnPortSearch();
    // The connector leaves the virtual serial port it paired in its settings file.
    const std::u16string paired = m_services.profile->GetString(
        BluetoothSettingsPath(*m_services.folders), u"Setting", u"VirtualComPort", u"");
    if (!paired.empty()) {
        for (int item = 0, n = m_portCombo.GetCount(); item < n; ++item) {
            if (FromWide(m_portCombo.GetLBText(item)) == paired) {
                m_portCombo.SetCurSel(item);
                break;
            }
        }
    }
    m_pairingDlg.Finish();
    m_toolRun.Release();
}

bool CAddPortRunner::Run(HWND owner, const UtilContext& context, CPrinterChoice& choice,
                         CLangResTable& portAddTable, comm::PortRecord& newRecord) {
    CCommunicationSettingDlg dialog(m_services);
    dialog.SetContext(context);
    dialog.SetChoice(&choice);
    dialog.SetTextTable(&portAddTable);
    if (dialog.DoModal(owner) != IDOK || !dialog.HasResult())
        return false;
    newRecord = dialog.Result();
    return true;
}

IAddPortRunner& DefaultAddPortRunner() {
    static CAddPortRunner runner;
    return runner;
}

} // namespace qk::app
