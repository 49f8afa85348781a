// The modal dialog in which the operator chooses the printer port before the main window
// opens: the registered ports of the served model, adding and deleting ports, the display
// language, and on OK the check and opening of the chosen printer. Start-up also uses its
// look-ups for the driver installer and its printer check without showing it.
#pragma once
// First, so that OpenPrinter reads the same here as in the printer check.
#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "app/connection/InstalledPrinters.h"
#include "app/connection/PrinterCheck.h"
#include "framework/comm/QkcBinding.h"
#include "framework/context/UtilContext.h"
#include "framework/lang/LangResTable.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/os/RealOs.h"

namespace qk {
class CStaticItem;
class CStaticPictureItem;
} // namespace qk

namespace qk::app {

class CSelectLangDlg;
class CPrinterSelectCheck;

// Hands the add-port dialog the dialog's context copy, the binding and the "PORT_ADD_DLG"
// table; answers true with the new record when the operator confirmed a port.
class IAddPortRunner {
public:
    virtual ~IAddPortRunner() = default;
    virtual bool Run(HWND owner, const UtilContext& context, comm::QkcBinding* binding,
                     CLangResTable& portAddTable, comm::PortRecord& newRecord) = 0;
};
// The add-port dialog (CCommunicationSettingDlg) run modally over the owner.
IAddPortRunner& DefaultAddPortRunner();

// The operating-system services the dialog uses; the defaults are the real ones.
struct PrinterSelectServices {
    os::IProfile* profile = &os::RealProfile();
    os::IRegistry* registry = &os::RealRegistry();
    IInstalledPrinters* installedPrinters = &RealInstalledPrinters();
    IAddPortRunner* addPort = &DefaultAddPortRunner(); // null: "Add Port" does nothing
};

class CPrinterSelectDlg : public CDialog {
public:
    explicit CPrinterSelectDlg(const PrinterSelectServices& services = {});
    ~CPrinterSelectDlg() override;

    // The caller's context is copied; the result is read back with Context().
    void SetContext(const UtilContext& context);
    const UtilContext& Context() const { return *m_context; }
    void SetBinding(comm::QkcBinding* binding);

    // A non-empty driver filter puts the dialog into installer mode.
    void SetDriverFilter(const wchar_t* driverName);
    void SetPrinterFilter(const wchar_t* printerName);
    bool IsInstallerMode() const { return !m_driverFilter.empty(); }

    // Re-reads the registered ports and installed printers; the first registered record whose
    // device path up to its last '/' equals the prefix becomes the result and is copied to
    // out. False when there is none.
    bool SelectByDevicePath(const wchar_t* prefix, comm::PortRecord& out);
    // Makes a record the current one (the context's port record), as for a device path
    // given on the command line.
    void SetCurrentPortRecord(const comm::PortRecord& record);
    void SetInterfaceKind(int32_t kind);

    int32_t TestPrinter(int32_t mode, comm::PortRecord& record);
    int32_t OpenPrinter(comm::PortRecord& record);
    // 0x80000000 until a test has run.
    int32_t LastTestResult() const;

    // The printer name of the installer entry that was chosen; false when none.
    bool GetChosenPrinterName(wchar_t* buffer, size_t bufferChars = 260) const;

    // Control identifiers of the template.
    static constexpr int kLanguageCombo = 1000;
    static constexpr int kAddPort = 1003;
    static constexpr int kDeletePort = 1004;
    static constexpr int kTitle = 1018;
    static constexpr int kHelp = 1019;
    static constexpr int kPortList = 1020;
    static constexpr int kSelectLanguage = 1026;
    static constexpr int kPicture = 1027;
    static constexpr int kLanguageComboLabel = 1031;
    static constexpr int kLanguageLabel = 1032;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(UINT code, UINT id, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
    void OnDestroy() override;

private:
    struct InstallerEntry {
        std::u16string printerName;
        comm::PortRecord* record = nullptr; // into m_ports, or m_ownRecords
    };

    bool LoadTexts();
    void RefreshPortList();
    bool ReadRegisteredPorts();
    void ScanInstalledPrinters();
    void FillRows();
    void SelectRow(int index);
    void UpdateButtons();
    std::u16string InterfaceText(const comm::PortRecord& record) const;
    std::u16string PortMonitorDetail(const comm::PortRecord& record) const;
    void SetUpControls();
    void SetRowHeight();
    void WidenFirstColumn();
    int SelectedRow() const;
    comm::PortRecord* RowRecord(int row) const;

    void OnAddPort();
    void OnDeletePort();
    void OnSelectLanguage();
    void AcceptRecord(const comm::PortRecord& record);
    void StoreResult(const comm::PortRecord& record);
    void SaveLanguage();

    int ShowDialogMessage(int number, const char16_t* english, UINT type,
                          const char16_t* argument = nullptr);
    comm::QkcBinding& Library();

    PrinterSelectServices m_services;
    std::unique_ptr<UtilContext> m_context;
    comm::QkcBinding* m_binding = nullptr; // not owned; null: the unbound record below
    std::unique_ptr<comm::QkcBinding> m_unbound;
    std::u16string m_driverFilter;
    std::u16string m_printerFilter;

    std::vector<comm::PortRecord> m_ports; // registered ports from the library
    std::vector<std::unique_ptr<comm::PortRecord>> m_ownRecords; // made for installed printers
    std::vector<InstallerEntry> m_installerEntries;
    int m_chosenEntry = -1;

    std::unique_ptr<CPrinterSelectCheck> m_check;
    std::unique_ptr<CLangResTable> m_table;        // "PRT_SELECT_DLG"
    std::unique_ptr<CLangResTable> m_portAddTable; // "PORT_ADD_DLG", for the add-port dialog
    std::unique_ptr<CSelectLangDlg> m_selectLang;

    CListCtrl m_list;
    HIMAGELIST m_rowHeightImages = nullptr; // owned
    std::unique_ptr<CStaticItem> m_titleItem;
    std::unique_ptr<CStaticPictureItem> m_picture;
    HBITMAP m_pictureBitmap = nullptr; // owned
};

} // namespace qk::app
