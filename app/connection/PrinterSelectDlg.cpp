#include "app/connection/PrinterSelectDlg.h"

#include <algorithm>
#include <cstring>
#include "app/connection/CommLibrary.h"
#include "app/connection/PortRecordText.h"
#include "app/connection/PrinterSelectCheck.h"
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
#include "platform/Module.h"
#include "platform/Text.h"
#include "platform/WaitCursor.h"
#include "resource.h"

namespace qk::app {
namespace {

const char16_t kScreen[] = u"PRT_SELECT_DLG";
const char16_t kPortAddScreen[] = u"PORT_ADD_DLG";
constexpr int32_t kPortInUse = comm::kQkcPortInUse;
constexpr int kMinFirstColumn = 100;
constexpr COLORREF kDialogColor = RGB(240, 240, 240);

// Shows a wait cursor for its lifetime.
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

CPrinterSelectDlg::CPrinterSelectDlg(const PrinterSelectServices& services)
    : CDialog(IDD_PRINTER_SELECT), m_services(services), m_context(std::make_unique<UtilContext>()),
      m_unbound(std::make_unique<comm::QkcBinding>()), m_table(std::make_unique<CLangResTable>()),
      m_portAddTable(std::make_unique<CLangResTable>()),
      m_selectLang(std::make_unique<CSelectLangDlg>()) {
    std::memset(m_context.get(), 0, sizeof(UtilContext));
    MakeUnbound(*m_unbound);
    m_check = std::make_unique<CPrinterSelectCheck>([this] {
        ShowDialogMessage(2, u"The connected printer is not %s.", MB_OK | MB_ICONWARNING,
                          reinterpret_cast<const char16_t*>(kModelName));
    });
    m_check->SetBinding(m_unbound.get());
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

void CPrinterSelectDlg::SetBinding(comm::QkcBinding* binding) {
    m_binding = binding;
    m_check->SetBinding(&Library());
}

comm::QkcBinding& CPrinterSelectDlg::Library() {
    return m_binding ? *m_binding : *m_unbound;
}

void CPrinterSelectDlg::SetDriverFilter(const wchar_t* driverName) {
    m_driverFilter = FromWide(driverName);
    m_check->SetInstallerMode(IsInstallerMode());
}

void CPrinterSelectDlg::SetPrinterFilter(const wchar_t* printerName) {
    m_printerFilter = FromWide(printerName);
}

void CPrinterSelectDlg::SetCurrentPortRecord(const comm::PortRecord& record) {
    m_context->portRecord = record;
}

void CPrinterSelectDlg::SetInterfaceKind(int32_t kind) {
    m_context->interfaceKind = kind;
}

int32_t CPrinterSelectDlg::TestPrinter(int32_t mode, comm::PortRecord& record) {
    return m_check->TestPrinter(mode, record);
}

int32_t CPrinterSelectDlg::OpenPrinter(comm::PortRecord& record) {
    return m_check->OpenPrinter(record);
}

int32_t CPrinterSelectDlg::LastTestResult() const {
    return m_check->LastTestResult();
}

bool CPrinterSelectDlg::GetChosenPrinterName(wchar_t* buffer, size_t bufferChars) const {
    if (!buffer || bufferChars == 0 || m_chosenEntry < 0 ||
        m_chosenEntry >= static_cast<int>(m_installerEntries.size()))
        return false;
    const std::u16string& name = m_installerEntries[m_chosenEntry].printerName;
    const size_t n = std::min(name.size(), bufferChars - 1);
    std::memcpy(buffer, name.data(), n * sizeof(wchar_t));
    buffer[n] = L'\0';
    return true;
}

bool CPrinterSelectDlg::SelectByDevicePath(const wchar_t* prefix, comm::PortRecord& out) {
    const std::u16string wanted = FromWide(prefix);
    // The rows point into the arrays about to be replaced.
    if (m_list.m_hWnd)
        m_list.DeleteAllItems();
    ReadRegisteredPorts();
    if (IsInstallerMode())
        ScanInstalledPrinters();
    if (m_list.m_hWnd)
        FillRows();

    for (int i = 0; i < static_cast<int>(m_installerEntries.size()); ++i) {
        std::u16string folder =
            DevicePathFolder(SlotText(m_installerEntries[i].record->devicePath));
        if (folder.compare(0, wanted.size(), wanted) == 0) {
            m_chosenEntry = i;
            break;
        }
    }
    for (const auto& record : m_ports) {
        std::u16string folder = DevicePathFolder(SlotText(record.devicePath));
        if (!folder.empty() && folder == wanted) {
            StoreResult(record);
            out = record;
            return true;
        }
    }
    return false;
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
        ::EnableWindow(GetDlgItem(kSelectLanguage), FALSE);
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
    ::ShowWindow(GetDlgItem(kLanguageCombo), SW_HIDE);
    ::ShowWindow(GetDlgItem(kLanguageComboLabel), SW_HIDE);
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
    ::SendMessageW(GetDlgItem(kLanguageCombo), CB_RESETCONTENT, 0, 0);
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

    m_list.SendMessage(WM_SETREDRAW, FALSE);
    RefreshPortList();
    m_list.SendMessage(WM_SETREDRAW, TRUE);
    m_list.Invalidate();
    return true;
}

bool CPrinterSelectDlg::ReadRegisteredPorts() {
    m_ports.clear();
    m_installerEntries.clear();
    m_ownRecords.clear();
    m_chosenEntry = -1;
    comm::QkcBinding& library = Library();
    std::vector<comm::PortRecord> records;
    auto fill = [&](comm::PortRecord* r, int32_t room, int32_t* found) {
        return library.QKC_EnumPort(r, room, found);
    };
    if (!EnumerateRecords(fill, 0, records))
        return false;
    m_ports = std::move(records);
    return true;
}

void CPrinterSelectDlg::RefreshPortList() {
    m_list.DeleteAllItems();
    if (ReadRegisteredPorts()) {
        if (IsInstallerMode())
            ScanInstalledPrinters();
        FillRows();
    }
    if (m_list.GetItemCount() > 0)
        SelectRow(0);
    UpdateButtons();
}

void CPrinterSelectDlg::ScanInstalledPrinters() {
    for (const InstalledPrinter& printer : m_services.installedPrinters->Enumerate()) {
        if (!m_printerFilter.empty() && printer.printerName != m_printerFilter)
            continue;
        const std::u16string& driver = printer.driverName;
        if (driver.find(m_driverFilter) == std::u16string::npos ||
            (driver.find(u" Receipt5") == std::u16string::npos &&
             driver.find(u" Label5") == std::u16string::npos))
            continue;
        comm::PortRecord* record = nullptr;
        for (auto& registered : m_ports) {
            if (DevicePathLeaf(SlotText(registered.devicePath)) == printer.portName) {
                record = &registered;
                break;
            }
        }
        if (!record) {
            auto own = std::make_unique<comm::PortRecord>();
            std::memset(own.get(), 0, sizeof(comm::PortRecord));
            SetSlotText(own->portName, printer.portName);
            SetSlotText(own->deviceName, driver);
            own->origin = 3;
            record = own.get();
            m_ownRecords.push_back(std::move(own));
        }
        m_installerEntries.push_back({printer.printerName, record});
    }
}

void CPrinterSelectDlg::FillRows() {
    m_list.DeleteAllItems();
    auto addRow = [this](const std::u16string& name, comm::PortRecord& record) {
        int row = m_list.InsertItem(m_list.GetItemCount(), WidePtr(name),
                                    reinterpret_cast<LPARAM>(&record));
        if (row < 0)
            return;
        m_list.SetItemText(row, 1, WidePtr(InterfaceText(record)));
        m_list.SetItemText(row, 2, WidePtr(SlotText(record.portName)));
        m_list.SetItemText(row, 3, WidePtr(PortMonitorDetail(record)));
    };
    if (IsInstallerMode()) {
        for (auto& entry : m_installerEntries)
            addRow(entry.printerName, *entry.record);
    } else {
        const std::u16string served = FromWide(kModelName);
        for (auto& record : m_ports)
            if (SlotText(record.deviceName) == served)
                addRow(SlotText(record.deviceName), record);
    }
    WidenFirstColumn();
}

void CPrinterSelectDlg::WidenFirstColumn() {
    int widest = kMinFirstColumn;
    for (int row = 0, n = m_list.GetItemCount(); row < n; ++row) {
        std::wstring text = m_list.GetItemText(row, 0);
        int width = static_cast<int>(
            m_list.SendMessage(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
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
    ::EnableWindow(GetDlgItem(IDOK), selected);
    ::EnableWindow(GetDlgItem(kDeletePort), selected);
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
    if (!m_services.addPort->Run(m_hWnd, *m_context, &Library(), *m_portAddTable, record))
        return;
    const std::u16string keyword = SlotText(record.interfaceKeyword);
    if (keyword.empty() || Library().QKC_AddPort(&record) != 0)
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
    if (record && Library().QKC_RemovePort(record) == 0)
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
    if (IsInstallerMode())
        m_chosenEntry = row;
    const int32_t tested = TestPrinter(1, *record);
    // The driver installer sets up printers that may not answer yet: take the port as it is.
    if (IsInstallerMode() && tested != 1)
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
    const int32_t opened = OpenPrinter(*record);
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
        Library().QKC_Close();
}

void CPrinterSelectDlg::AcceptRecord(const comm::PortRecord& record) {
    StoreResult(record);
    SaveLanguage();
    EndDialog(IDOK);
}

void CPrinterSelectDlg::StoreResult(const comm::PortRecord& record) {
    m_context->portRecord = record;
    m_context->interfaceKind = InterfaceKindOf(SlotText(record.interfaceKeyword));
}

void CPrinterSelectDlg::SaveLanguage() {
    const std::u16string settings = SlotText(m_context->programFolder) + u"SETTING.INI";
    m_services.profile->WriteString(settings, u"LANGUAGE", u"LANGID",
                                    SlotText(m_context->languageText));
}

int CPrinterSelectDlg::ShowDialogMessage(int number, const char16_t* english, UINT type,
                                         const char16_t* argument) {
    std::u16string text = m_table->TextOr(LangListKind::ScreenMessages, number, english);
    if (argument)
        text = FillPlaceholder(text, argument);
    return ShowMessage(m_hWnd, WidePtr(text), kUtilCaption, type);
}

} // namespace qk::app
