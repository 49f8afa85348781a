// The modal dialog in which the operator chooses the printer port before the main window
// opens: the rows of the printer choice, adding and deleting ports, the display language, and
// on OK the check and opening of the chosen printer.
#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include "app/connection/PrinterChoice.h"
#include "framework/context/UtilContext.h"
#include "framework/lang/LangResTable.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/os/OsServices.h"
#include "resources/resource.h"

namespace qk {
class CStaticItem;
class CStaticPictureItem;
} // namespace qk

namespace qk::app {

class CSelectLangDlg;

// Hands the add-port dialog the dialog's context copy, the printer choice and the
// "PORT_ADD_DLG" table; answers true with the new record when the operator confirmed a port.
class IAddPortRunner {
public:
    virtual ~IAddPortRunner() = default;
    virtual bool Run(HWND owner, const UtilContext& context, CPrinterChoice& choice,
                     CLangResTable& portAddTable, comm::PortRecord& newRecord) = 0;
};
// The add-port dialog (CCommunicationSettingDlg) run modally over the owner.
IAddPortRunner& DefaultAddPortRunner();

// The operating-system services the dialog uses and how it runs the add-port dialog; the
// defaults are the real ones.
struct PrinterSelectServices : os::OsServices {
    IAddPortRunner* addPort = &DefaultAddPortRunner(); // null: "Add Port" does nothing
};

class CPrinterSelectDlg : public CDialog {
public:
    // The choice gives the rows and checks the chosen one; it must outlive the dialog.
    explicit CPrinterSelectDlg(CPrinterChoice& choice, const PrinterSelectServices& services = {});
    ~CPrinterSelectDlg() override;

    // The caller's context is copied; the result is read back with Context().
    void SetContext(const UtilContext& context);
    const UtilContext& Context() const { return *m_context; }

    // Control identifiers of the template.
    static constexpr int kLanguageCombo = IDC_SELECT_LANGUAGE_COMBO;
    static constexpr int kAddPort = IDC_SELECT_ADD_PORT;
    static constexpr int kDeletePort = IDC_SELECT_DELETE_PORT;
    static constexpr int kTitle = IDC_SELECT_TITLE;
    static constexpr int kHelp = IDC_SELECT_HELP;
    static constexpr int kPortList = IDC_SELECT_PORT_LIST;
    static constexpr int kSelectLanguage = IDC_SELECT_LANGUAGE;
    static constexpr int kPicture = IDC_SELECT_PICTURE;
    static constexpr int kLanguageComboLabel = IDC_SELECT_LANGUAGE_COMBO_LABEL;
    static constexpr int kLanguageLabel = IDC_SELECT_LANGUAGE_LABEL;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(UINT code, UINT id, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
    void OnDestroy() override;

private:
    bool LoadTexts();
    void RefreshPortList();
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
    void SaveLanguage();

    int ShowDialogMessage(int number, const char16_t* english, UINT type);

    CPrinterChoice& m_choice;
    PrinterSelectServices m_services;
    std::unique_ptr<UtilContext> m_context;
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
