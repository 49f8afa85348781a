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
#include "app/connection/ToolWaitDlg.h"
#include "framework/comm/QkcBinding.h"
#include "framework/context/UtilContext.h"
#include "framework/lang/LangResTable.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/os/OsServices.h"

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

    // Control identifiers of the template.
    static constexpr int kPortLabel = 1008;
    static constexpr int kSerialLabel1 = 1009;
    static constexpr int kSerialLabel2 = 1010;
    static constexpr int kSerialLabel3 = 1011;
    static constexpr int kIpAddress = 1012;
    static constexpr int kNetworkSearch = 1013;
    static constexpr int kSerialLabel4 = 1014;
    static constexpr int kNetworkTool = 1015;
    static constexpr int kPortCombo = 1016;
    static constexpr int kSerialCombo1 = 1017;
    static constexpr int kFoundList = 1018;
    static constexpr int kSerialCombo2 = 1019;
    static constexpr int kSerialCombo3 = 1020;
    static constexpr int kSerialCombo4 = 1021;
    static constexpr int kPortSearch = 1022;
    static constexpr int kVirtualPortTool = 1023;
    static constexpr int kTest = 1026;
    static constexpr int kHeading = 1030;
    static constexpr int kBluetoothConnector = 1034;
    static constexpr int kFirstRadio = 2000; // Serial; + index for the others
    static constexpr int kPairingText = 5018;
    static constexpr int kNetToolText = 5020;

    // Messages the tool watchers send (synchronously) to the dialog.
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
    bool StartToolWatcher(const std::u16string& program, UINT startMsg, WPARAM startArg,
                          UINT endMsg, WPARAM endArg);
    void OnNetToolRunning(bool running);
    void OnPairingStart();
    void OnPairingEnd();
    void SetPairingControlsEnabled(bool enable);
    void CloseWorker();

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

    HANDLE m_worker = nullptr; // owned; the running tool's watcher
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
