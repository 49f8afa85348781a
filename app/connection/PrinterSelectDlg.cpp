#include "app/connection/PrinterSelectDlg.h"

#include <algorithm>
#include <set>
#include <cstring>
#include "app/connection/PortRecordText.h"
#include "app/connection/SelectLangDlg.h"
#include "app/shell/Model.h"
#include "app/status/StatusRules.h"
#include "bitmaps/PrinterSelectBitmap.h"
#include "framework/comm/CommResult.h"
#include "framework/controls/StaticItem.h"
#include "framework/controls/StaticPictureItem.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/MessagePresenter.h"
#include "platform/Dpi.h"
#include "platform/Module.h"
#include "platform/Text.h"
#include "platform/WaitCursor.h"
#include "resource.h"

namespace qk::app {
namespace {

const char16_t kScreen[] = u"PRT_SELECT_DLG";
const char16_t kPortAddScreen[] = u"PORT_ADD_DLG";
constexpr int32_t kPortInUse = comm::kQkcPortInUse;
constexpr int kMinFirstColumn = 100; // pixels at 96 DPI
constexpr COLORREF kDialogColor = RGB(240, 240, 240);

std::wstring InstancePropertyName() {
    wchar_t name[128];
    swprintf(name, 128, kInstancePropertyFormat, kInstancePropertyPrefix, kModelName);
    return name;
}

// Windows XP (NT 5.1) or later: the language dialog needs its combo and font handling.
bool PlatformOffersLanguageChoice() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&version))
        return false;
#pragma GCC diagnostic pop
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT)
        return false;
    return version.dwMajorVersion > 5 ||
           (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1);
}

} // namespace

CPrinterSelectDlg::CPrinterSelectDlg(CPrinterChoice& choice, const PrinterSelectServices& services)
    : CDialog(IDD_PRINTER_SELECT), m_choice(choice), m_services(services),
      m_context(std::make_unique<UtilContext>()), m_table(std::make_unique<CLangResTable>()),
      m_portAddTable(std::make_unique<CLangResTable>()),
      m_selectLang(std::make_unique<CSelectLangDlg>()) {
    std::memset(m_context.get(), 0, sizeof(UtilContext));
}

CPrinterSelectDlg::~CPrinterSelectDlg() {
    if (m_rowHeightImages)
        ::ImageList_Destroy(m_rowHeightImages);
    if (m_pictureBitmap)
        ::DeleteObject(m_pictureBitmap);
}

void CPrinterSelectDlg::SetContext(const UtilContext& context) {
    *m_context = context;
}

bool CPrinterSelectDlg::OnInitDialog() {
    SetWindowText((std::wstring(kModelName) + L" Utility").c_str());
    SetProp(InstancePropertyName().c_str(), reinterpret_cast<HANDLE>(ThisModule()));

    m_selectLang->SetContext(*m_context);
    m_selectLang->LoadTexts();

    SetUpControls();
    if (!LoadTexts()) {
        EndDialog(IDCANCEL);
        return true;
    }
    if (!PlatformOffersLanguageChoice())
        EnableItem(kSelectLanguage, false);
    return true;
}

void CPrinterSelectDlg::SetUpControls() {
    m_list.AttachDlgItem(m_hWnd, kPortList);
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    SetRowHeight();

    m_titleItem = std::make_unique<CStaticItem>();
    if (m_titleItem->SubclassDlgItem(kTitle, m_hWnd)) {
        m_titleItem->SetBackgroundColor(kDialogColor);
        m_titleItem->SetBoldFont();
    }
    m_picture = std::make_unique<CStaticPictureItem>();
    if (m_picture->SubclassDlgItem(kPicture, m_hWnd)) {
        m_pictureBitmap = static_cast<HBITMAP>(
            ::LoadImageW(ThisModule(), MAKEINTRESOURCEW(IDB_PRINTER_SELECT_PICTURE), IMAGE_BITMAP,
                         0, 0, LR_CREATEDIBSECTION));
        if (m_pictureBitmap)
            m_picture->SetBitmap(m_pictureBitmap);
    }
    ShowItem(kLanguageCombo, false);
    ShowItem(kLanguageComboLabel, false);
}

void CPrinterSelectDlg::SetRowHeight() {
    // A report list's rows are as high as its small images: a one-pixel-wide image of 120 %
    // of the text row's height gives the rows room.
    int rowHeight = 0;
    if (m_list.InsertItem(0, L"Xg") == 0) {
        RECT r{};
        if (m_list.GetItemRect(0, &r, LVIR_BOUNDS))
            rowHeight = r.bottom - r.top;
        m_list.DeleteAllItems();
    }
    if (rowHeight <= 0)
        return;
    m_rowHeightImages = ::ImageList_Create(1, rowHeight * 12 / 10, ILC_COLOR, 1, 0);
    if (m_rowHeightImages)
        m_list.SetImageList(m_rowHeightImages, LVSIL_SMALL);
}

bool CPrinterSelectDlg::LoadTexts() {
    const std::u16string folder = SlotText(m_context->languageFolder);
    int32_t code = m_table->LoadLangFile(folder, m_context->languageId, kLangEnglish);
    if (code == kLangNoFile) {
        ShowMessage(nullptr, L"Could not find the required files.\nClosing application.",
                    kUtilCaption, MB_OK | MB_ICONWARNING);
        return false;
    }
    if (code == kLangFallbackFile) {
        ShowMessage(nullptr,
                    L"Could not find the required files.\nDisplaying the screen in English.",
                    kUtilCaption, MB_OK | MB_ICONWARNING);
        m_context->languageId = 1033;
        SetSlotText(m_context->languageText, u"0409");
    }
    m_portAddTable->LoadLangFile(folder, m_context->languageId, kLangEnglish);
    m_portAddTable->LoadScreenTexts(kPortAddScreen);
    m_table->LoadScreenTexts(kScreen);

    // Items added by an earlier language would stay in the hidden combo otherwise.
    CComboBox(GetDlgItem(kLanguageCombo)).ResetContent();
    m_table->ApplyCaptions(m_hWnd);
    m_table->ApplyComboItems(m_hWnd);
    m_table->ApplyListColumns(m_hWnd);

    std::u16string language = m_selectLang->GetLanguageName(m_context->languageId);
    if (language.empty())
        language = u"English";
    std::u16string label = m_table->TextOr(LangListKind::ScreenStrings, 5, u"Select");
    label += u": ";
    label += language;
    SetDlgItemText(kLanguageLabel, WidePtr(label));

    {
        const CRedrawPause paused(m_list.m_hWnd);
        RefreshPortList();
    }
    return true;
}

void CPrinterSelectDlg::RefreshPortList() {
    // The rows point into the records about to be replaced.
    m_list.DeleteAllItems();
    if (m_choice.Refresh())
        FillRows();
    if (m_list.GetItemCount() > 0)
        SelectRow(0);
    UpdateButtons();
}

void CPrinterSelectDlg::FillRows() {
    for (const CPrinterChoice::Row& choice : m_choice.Rows()) {
        comm::PortRecord& record = *choice.record;
        int row = m_list.InsertItem(m_list.GetItemCount(), WidePtr(choice.name),
                                    reinterpret_cast<LPARAM>(&record));
        if (row < 0)
            continue;
        m_list.SetItemText(row, 1, WidePtr(InterfaceText(record)));
        m_list.SetItemText(row, 2, WidePtr(SlotText(record.portName)));
        m_list.SetItemText(row, 3, WidePtr(PortMonitorDetail(record)));
    }
    WidenFirstColumn();
}

void CPrinterSelectDlg::WidenFirstColumn() {
    int widest = ScaleToDpi(kMinFirstColumn, SystemDpi());
    // Most rows share a name: each one is measured once (a list of many printers).
    std::set<std::u16string> names;
    for (const CPrinterChoice::Row& choice : m_choice.Rows())
        names.insert(choice.name);
    for (const std::u16string& name : names) {
        int width = static_cast<int>(
            m_list.SendMessage(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(WidePtr(name))));
        widest = std::max(widest, width);
    }
    m_list.SetColumnWidth(0, widest * 12 / 10);
}

std::u16string CPrinterSelectDlg::InterfaceText(const comm::PortRecord& record) const {
    switch (InterfaceKindOf(SlotText(record.interfaceKeyword))) {
    case kIfSerial:
        return m_table->TextOr(LangListKind::ScreenStrings, 1, u"Serial");
    case kIfParallel:
        return m_table->TextOr(LangListKind::ScreenStrings, 2, u"Parallel");
    case kIfUsb:
        return m_table->TextOr(LangListKind::ScreenStrings, 3, u"USB");
    case kIfNetwork:
        return m_table->TextOr(LangListKind::ScreenStrings, 4, u"NET");
    case kIfBluetooth:
        return m_table->TextOr(LangListKind::ScreenStrings, 6, u"Bluetooth");
    default:
        return {};
    }
}

std::u16string CPrinterSelectDlg::PortMonitorDetail(const comm::PortRecord& record) const {
    std::u16string port = PortMonitorPort(SlotText(record.devicePath));
    if (port.empty())
        return port;
    const std::u16string registered = FindPosPrinterPort(*m_services.registry, port);
    return registered.empty() ? port : port + u"(" + registered + u")";
}

int CPrinterSelectDlg::SelectedRow() const {
    return m_list.m_hWnd ? m_list.GetNextItem(-1, LVNI_SELECTED) : -1;
}

comm::PortRecord* CPrinterSelectDlg::RowRecord(int row) const {
    return row < 0 ? nullptr : reinterpret_cast<comm::PortRecord*>(m_list.GetItemData(row));
}

void CPrinterSelectDlg::SelectRow(int index) {
    m_list.SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_list.SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void CPrinterSelectDlg::UpdateButtons() {
    const bool selected = SelectedRow() >= 0;
    EnableItem(IDOK, selected);
    EnableItem(kDeletePort, selected);
}

bool CPrinterSelectDlg::OnCommand(UINT code, UINT id, HWND control) {
    if (code == BN_CLICKED) {
        switch (id) {
        case kAddPort:
            OnAddPort();
            return true;
        case kDeletePort:
            OnDeletePort();
            return true;
        case kSelectLanguage:
            OnSelectLanguage();
            return true;
        default:
            break;
        }
    }
    return CDialog::OnCommand(code, id, control);
}

bool CPrinterSelectDlg::OnNotify(int id, NMHDR* header, LRESULT& result) {
    if (id != kPortList || !header)
        return CDialog::OnNotify(id, header, result);
    if (header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if (change->uChanged & LVIF_STATE)
            UpdateButtons();
        return true;
    }
    if (header->code == NM_DBLCLK) {
        const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(header);
        if (activate->iItem >= 0)
            OnOK();
        return true;
    }
    return CDialog::OnNotify(id, header, result);
}

void CPrinterSelectDlg::OnDestroy() {
    RemoveProp(InstancePropertyName().c_str());
    m_list.Detach();
    CDialog::OnDestroy();
}

void CPrinterSelectDlg::OnAddPort() {
    if (!m_services.addPort)
        return;
    comm::PortRecord record;
    std::memset(&record, 0, sizeof(record));
    if (!m_services.addPort->Run(m_hWnd, *m_context, m_choice, *m_portAddTable, record))
        return;
    const std::u16string keyword = SlotText(record.interfaceKeyword);
    if (keyword.empty() || m_choice.Library().QKC_AddPort(&record) != 0)
        return;
    RefreshPortList();
    const std::u16string portName = SlotText(record.portName);
    for (int row = 0, n = m_list.GetItemCount(); row < n; ++row) {
        const comm::PortRecord* shown = RowRecord(row);
        if (shown && SlotText(shown->interfaceKeyword) == keyword &&
            SlotText(shown->portName) == portName) {
            SelectRow(row);
            break;
        }
    }
}

void CPrinterSelectDlg::OnDeletePort() {
    if (ShowDialogMessage(1, u"Do you really want to delete the selected port?",
                          MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    comm::PortRecord* record = RowRecord(SelectedRow());
    if (record && m_choice.Library().QKC_RemovePort(record) == 0)
        RefreshPortList();
}

void CPrinterSelectDlg::OnSelectLanguage() {
    m_selectLang->SetContext(*m_context);
    m_selectLang->LoadTexts();
    if (m_selectLang->DoModal(m_hWnd) != IDOK)
        return;
    const UtilContext& chosen = m_selectLang->Context();
    m_context->languageId = chosen.languageId;
    std::memcpy(m_context->languageText, chosen.languageText, sizeof(m_context->languageText));
    CWaitCursor wait;
    if (!LoadTexts())
        EndDialog(IDCANCEL);
}

void CPrinterSelectDlg::OnCancel() {
    SaveLanguage();
    EndDialog(IDCANCEL);
}

void CPrinterSelectDlg::OnOK() {
    CWaitCursor wait;
    const int row = SelectedRow();
    comm::PortRecord* record = RowRecord(row);
    if (!record) {
        ShowDialogMessage(0, u"Please select the printer you want to setup.",
                          MB_OK | MB_ICONWARNING);
        return;
    }
    m_choice.ChooseRow(row);
    const int32_t tested = m_choice.TestPrinter(1, *record, m_hWnd, m_table.get());
    // The driver installer sets up printers that may not answer yet: take the port as it is.
    if (m_choice.IsInstallerMode() && tested != 1)
        AcceptRecord(*record);
    if (tested == kResultWrongModel)
        return;
    if (tested == kPortInUse) {
        ShowDialogMessage(4,
                          u"Cannot launch the printer because it is in use by another application.",
                          MB_OK | MB_ICONWARNING);
        return;
    }
    if (tested != 0)
        ShowDialogMessage(3, u"Cannot communicate with the printer.", MB_OK | MB_ICONWARNING);

    IPluginDataMgr* store = m_context->dataManager;
    const bool stored = store && store->HasSettingsFile(record->deviceName, record->portName) != 0;
    if (tested != 0 && !stored)
        return;
    const int32_t opened = m_choice.OpenPrinter(*record);
    if (opened == 0) {
        AcceptRecord(*record);
        return;
    }
    if (opened == kPortInUse) {
        ShowDialogMessage(4,
                          u"Cannot launch the printer because it is in use by another application.",
                          MB_OK | MB_ICONWARNING);
        return;
    }
    if (tested == 0)
        ShowDialogMessage(3, u"Cannot communicate with the printer.", MB_OK | MB_ICONWARNING);
    if (stored)
        AcceptRecord(*record);
    else
        m_choice.Library().QKC_Close();
}

void CPrinterSelectDlg::AcceptRecord(const comm::PortRecord& record) {
    StoreChosenPort(*m_context, record);
    SaveLanguage();
    EndDialog(IDOK);
}

void CPrinterSelectDlg::SaveLanguage() {
    const std::u16string settings = SlotText(m_context->programFolder) + u"SETTING.INI";
    m_services.profile->WriteString(settings, u"LANGUAGE", u"LANGID",
                                    SlotText(m_context->languageText));
}

int CPrinterSelectDlg::ShowDialogMessage(int number, const char16_t* english, UINT type) {
    const std::u16string text = m_table->TextOr(LangListKind::ScreenMessages, number, english);
    return ShowMessage(m_hWnd, WidePtr(text), kUtilCaption, type);
}

} // namespace qk::app
