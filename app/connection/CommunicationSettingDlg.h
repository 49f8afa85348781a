// The add-port dialog: the operator picks an interface and a port the communication library
// finds for it (or an IP address), may run the maker's companion tools, tests the printer,
// and OK hands back the new port record once the printer answers as the served model.
#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "app/connection/AddPortRules.h"
#include "app/connection/CompanionTools.h"
#include "app/connection/PrinterSelectDlg.h"
#include "app/connection/ToolRun.h"
#include "app/connection/ToolWaitDlg.h"
#include "framework/comm/QkcBinding.h"
#include "framework/context/UtilContext.h"
#include "framework/lang/LangResTable.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/os/OsServices.h"
#include "resources/resource.h"

namespace qk::app {

// The operating-system services the dialog uses and the shell's shortcut resolver; the
// defaults are the real ones.
struct CommSettingServices : os::OsServices {
    IShortcutResolver* shortcuts = &RealShortcutResolver();
};

class CCommunicationSettingDlg : public CDialog {
public:
    explicit CCommunicationSettingDlg(const CommSettingServices& services = {});
    ~CCommunicationSettingDlg() override;

    // The context is copied; the printer choice (which lists the ports and holds the library)
    // and the "PORT_ADD_DLG" table are not owned and must outlive the dialog.
    void SetContext(const UtilContext& context);
    void SetChoice(CPrinterChoice* choice) { m_choice = choice; }
    void SetTextTable(const CLangResTable* table) { m_table = table; }

    // The record of the last successful test; valid after the dialog ended with OK.
    const comm::PortRecord& Result() const { return *m_result; }
    bool HasResult() const { return m_hasResult; }
    int CurrentInterface() const { return m_interface; }

    // Control identifiers of the template (resource.h).
    static constexpr int kPortLabel = IDC_ADDPORT_PORT_LABEL;
    static constexpr int kSerialLabel1 = IDC_ADDPORT_SERIAL_LABEL1;
    static constexpr int kSerialLabel2 = IDC_ADDPORT_SERIAL_LABEL2;
    static constexpr int kSerialLabel3 = IDC_ADDPORT_SERIAL_LABEL3;
    static constexpr int kIpAddress = IDC_ADDPORT_IP_ADDRESS;
    static constexpr int kNetworkSearch = IDC_ADDPORT_NET_SEARCH;
    static constexpr int kSerialLabel4 = IDC_ADDPORT_SERIAL_LABEL4;
    static constexpr int kNetworkTool = IDC_ADDPORT_NET_TOOL;
    static constexpr int kPortCombo = IDC_ADDPORT_PORT_COMBO;
    static constexpr int kSerialCombo1 = IDC_ADDPORT_SERIAL_COMBO1;
    static constexpr int kFoundList = IDC_ADDPORT_FOUND_LIST;
    static constexpr int kSerialCombo2 = IDC_ADDPORT_SERIAL_COMBO2;
    static constexpr int kSerialCombo3 = IDC_ADDPORT_SERIAL_COMBO3;
    static constexpr int kSerialCombo4 = IDC_ADDPORT_SERIAL_COMBO4;
    static constexpr int kPortSearch = IDC_ADDPORT_PORT_SEARCH;
    static constexpr int kVirtualPortTool = IDC_ADDPORT_VPORT_TOOL;
    static constexpr int kTest = IDC_ADDPORT_TEST;
    static constexpr int kHeading = IDC_ADDPORT_HEADING;
    static constexpr int kBluetoothConnector = IDC_ADDPORT_BT_CONNECTOR;
    static constexpr int kFirstRadio = IDC_ADDPORT_SERIAL; // + interface index for the others
    static constexpr int kPairingText = IDC_BT_PAIRING_TEXT;
    static constexpr int kNetToolText = IDC_NET_TOOL_TEXT;

    // Messages the tool's watcher posts to the dialog.
    static constexpr UINT kMsgPairingStart = WM_USER + 100;
    static constexpr UINT kMsgPairingEnd = WM_USER + 110;
    static constexpr UINT kMsgNetToolRunning = WM_USER + 400; // wParam 1 start, 0 end

    static constexpr uint32_t kDefaultAddress = 0xC0A8C0A8; // 192.168.192.168

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(UINT code, UINT id, HWND control) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnDestroy() override;

private:
    void PlaceRadioButtons();
    void SwitchInterface(int iface);
    void ApplyInterfaceControls();
    void LocateTools();
    void FillPortCombo();
    void FillSerialCombos();
    void OnPortSearch();
    void SearchNetwork();
    void OnFoundPrinterPicked();
    void OnAddressChanged();
    void EnableTestAndOk(bool enable);
    bool RunTest();
    bool ReadChoice(PortChoice& choice);

    void OnVirtualPortTool();
    void OnNetworkTool();
    void OnBluetoothConnector();
    void OnNetToolRunning(bool running);
    void OnPairingStart();
    void OnPairingEnd();
    void SetPairingControlsEnabled(bool enable);

    std::u16string Text(LangListKind list, int number, std::u16string_view english) const;
    int ShowDialogMessage(int number, const char16_t* english, UINT type);
    CPrinterChoice& Choice() { return m_choice ? *m_choice : m_unbound; }

    CommSettingServices m_services;
    std::unique_ptr<UtilContext> m_context;
    CPrinterChoice* m_choice = nullptr;     // not owned
    CPrinterChoice m_unbound;               // answers every call as not bound
    const CLangResTable* m_table = nullptr; // not owned; null: English texts
    std::unique_ptr<comm::PortRecord> m_result;
    bool m_hasResult = false;

    std::vector<int> m_offered;
    int m_interface = kPortSerial;
    uint32_t m_address = kDefaultAddress;
    POINT m_radioPositions[kInterfaceCount] = {};

    // Item data of the port combo and the found-printer list point into these.
    std::vector<comm::PortRecord> m_portRecords;
    std::vector<comm::PortRecord> m_networkRecords;

    std::u16string m_networkTool;
    std::u16string m_bluetoothConnector;
    VirtualPortTool m_virtualPortTool;

    CToolRun m_toolRun; // the running tool's watcher
    CToolWaitDlg m_pairingDlg;
    CToolWaitDlg m_netToolDlg;

    CComboBox m_portCombo;
    CListBox m_foundList;
    CIPAddressCtrl m_addressCtrl;
};

// Runs the add-port dialog for the printer selection dialog.
class CAddPortRunner : public IAddPortRunner {
public:
    explicit CAddPortRunner(const CommSettingServices& services = {}) : m_services(services) {}
    bool Run(HWND owner, const UtilContext& context, CPrinterChoice& choice,
             CLangResTable& portAddTable, comm::PortRecord& newRecord) override;

private:
    CommSettingServices m_services;
};

} // namespace qk::app
