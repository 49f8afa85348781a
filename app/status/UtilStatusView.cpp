#include "app/status/UtilStatusView.h"

#include <set>
#include <vector>
#include "app/connection/PortRecordText.h"
#include "app/shell/ShellHost.h"
#include "app/status/PrinterSettingView.h"
#include "framework/context/TextSlot.h"
#include "framework/comm/QkcBinding.h"
#include "framework/context/UtilContext.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/store/PrinterInfoBlock.h"
#include "framework/view/UtilMessageBox.h"
#include "framework/view/UtilMessages.h"
#include "platform/Dpi.h"
#include "platform/Module.h"
#include "platform/Sync.h"
#include "platform/Text.h"
#include "resource.h"

namespace qk::app {
namespace {

constexpr char16_t kScreen[] = u"PRT_STATUS";
constexpr wchar_t kClosingText[] = L"Could not find the required files.\nClosing application.";
constexpr DWORD kReopenPauseMs = 1000;

// Panes alive in this process. The status procedure runs on the library's thread and may be
// handed a pane that is already gone, so it never touches a pane that is not listed here.
struct PaneRegistry {
    CCriticalSection lock;
    std::set<CUtilStatusView*> panes;
};

PaneRegistry& Registry() {
    static PaneRegistry registry;
    return registry;
}

UtilContext* AppContext() {
    IShellHost* host = ShellHost();
    return host ? host->Context() : nullptr;
}

// The printer picture drawn for the largest DPI not above the system's: the control scales
// with the dialog units, and a picture stretched up loses none of its lines (one shrunk
// would).
int PrinterPictureFor(int dpi) {
    if (dpi >= 192)
        return IDB_PRINTER_PICTURE_192;
    if (dpi >= 144)
        return IDB_PRINTER_PICTURE_144;
    return IDB_PRINTER_PICTURE;
}

} // namespace

CUtilStatusView::CUtilStatusView() : CFormView(IDD_STATUS_VIEW) {
    CSingleLock hold(Registry().lock.Get());
    Registry().panes.insert(this);
}

CUtilStatusView::~CUtilStatusView() {
    {
        CSingleLock hold(Registry().lock.Get());
        Registry().panes.erase(this);
    }
    if (m_iconBitmap)
        ::DeleteObject(m_iconBitmap);
    if (m_pictureBitmap)
        ::DeleteObject(m_pictureBitmap);
}

int32_t QKC_CALL CUtilStatusView::StatusProc(int32_t status, void* context) {
    try {
        CSingleLock hold(Registry().lock.Get());
        auto* pane = static_cast<CUtilStatusView*>(context);
        if (!pane || !Registry().panes.count(pane) || !::IsWindow(pane->m_postTarget))
            return 0;
        return ::PostMessageW(pane->m_postTarget, WM_UTIL_STATUSCHANGED,
                              static_cast<WPARAM>(status), reinterpret_cast<LPARAM>(context))
                   ? 1
                   : 0;
    } catch (...) {
        return 0;
    }
}

void CUtilStatusView::OnDestroy() {
    CSingleLock hold(Registry().lock.Get());
    m_postTarget = nullptr;
}

HWND CUtilStatusView::MainWindow() const {
    return m_hWnd ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
}

bool CUtilStatusView::ProgressDialogShown() const {
    IShellFrame* frame = ShellFrameOf(m_hWnd);
    return frame && frame->ExchangeRunning();
}

std::u16string CUtilStatusView::Text(int32_t entry, const char16_t* english) const {
    return m_texts.TextOr(LangListKind::ScreenStrings, entry, english);
}

std::u16string CUtilStatusView::StatusTextFor(int32_t code) const {
    StatusTextEntry entry = StatusTextOf(code);
    return Text(entry.index, entry.english);
}

void CUtilStatusView::OnInitialUpdate() {
    if (m_ready)
        return;
    if (!LoadLanguage()) {
        ShowWarning(nullptr, kClosingText);
        if (HWND main = MainWindow())
            ::PostMessageW(main, WM_CLOSE, 0, 0);
        return;
    }
    m_lastStatusText = StatusTextFor(kStatusUnknown);
    UtilContext* context = AppContext();
    if (context) {
        m_ctrl.Initialize(MainWindow(), m_hWnd, context);
        RegisterDataBlocks();
    }
    PrepareItems();
    m_ready = true;
    OnUpdatePrinterInfo();
    if (m_icon.m_hWnd)
        m_icon.ShowWindow(SW_HIDE);
}

bool CUtilStatusView::LoadLanguage() {
    UtilContext* context = AppContext();
    std::u16string folder(context ? SlotView(context->languageFolder) : std::u16string_view());
    int32_t language = context && context->languageId ? context->languageId : kLangEnglish;
    if (m_texts.LoadLangFile(folder, language, kLangEnglish) == kLangNoFile)
        return false;
    m_texts.LoadScreenTexts(kScreen);
    return true;
}

void CUtilStatusView::RegisterDataBlocks() {
    UtilContext* context = AppContext();
    IPluginDataMgr* store = context ? context->dataManager : nullptr;
    if (!store)
        return;
    if (store->FindBlock(m_ctrl.BlockKey()) < 0) {
        if (store->CreateBlock(m_ctrl.BlockKey(), m_ctrl.BlockVersion(), m_ctrl.BlockSize()) != 0)
            return;
        m_ctrl.SetDefaultData(m_ctrl.BlockKey());
    }
    int32_t count = 0;
    m_ctrl.GetDependData(nullptr, &count);
    if (count <= 0)
        return;
    std::vector<DependRecord> list(static_cast<size_t>(count), DependRecord{});
    m_ctrl.GetDependData(list.data(), &count);
    for (const DependRecord& block : list) {
        if (store->FindBlock(block.key) >= 0)
            continue;
        if (store->CreateBlock(block.key, block.version, block.size) != 0)
            return;
        m_ctrl.SetDefaultData(block.key);
    }
}

void CUtilStatusView::PrepareItems() {
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    for (auto [item, id] :
         {std::pair{&m_nameItem, kNameLineId}, std::pair{&m_portItem, kPortLineId},
          std::pair{&m_statusItem, kStatusLineId}}) {
        if (item->SubclassDlgItem(id, m_hWnd)) {
            item->SetBackgroundColor(window);
            item->SetBoldFont();
        }
    }
    if (m_picture.SubclassDlgItem(kPictureId, m_hWnd)) {
        m_pictureBitmap = static_cast<HBITMAP>(
            ::LoadImageW(ThisModule(), MAKEINTRESOURCEW(PrinterPictureFor(SystemDpi())),
                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (m_pictureBitmap)
            m_picture.SetBitmap(m_pictureBitmap);
    }
    m_icon.SubclassDlgItem(kIconId, m_hWnd);
}

bool CUtilStatusView::OnEraseBkgnd(HDC dc) {
    RECT client = GetClientRect();
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    return true;
}

LRESULT CUtilStatusView::OnUpdatePrinterInfo() {
    UtilContext* context = AppContext();
    IPluginDataMgr* store = context ? context->dataManager : nullptr;
    if (!store)
        return -1;
    PrinterInfoBlock block{};
    if (store->ReadBlock(kPrinterInfoBlockKey, &block, sizeof(block)) != 0)
        return -1;
    const std::u16string unknown = Text(kUnknownStatusEntry, u"Unknown");
    std::u16string name =
        MakePrinterName(SlotText(block.strings[kPrinterInfoNameString], kPrinterInfoStringChars),
                        context->startMode, unknown);
    m_nameLine = JoinLabel(Text(kNameLabelEntry, u"Printer Name:"), name);

    const comm::PortRecord& port = context->portRecord;
    std::u16string portName = SlotText(port.portName, comm::kPortTextChars);
    std::u16string devicePath = SlotText(port.devicePath, comm::kPortTextChars);
    PortLineInput input{context->interfaceKind, context->startMode, portName, devicePath};
    std::u16string portText =
        MakePortText(input, Text(kUnknownPortEntry, u"Unknown"), [this](std::u16string_view s) {
            return FindPosPrinterPort(*m_seams.registry, s);
        });
    m_portLine = JoinLabel(Text(kPortLabelEntry, u"Port:"), portText);

    if (m_hWnd) {
        ::SetDlgItemTextW(m_hWnd, kNameLineId, WidePtr(m_nameLine));
        ::SetDlgItemTextW(m_hWnd, kPortLineId, WidePtr(m_portLine));
    }
    m_picture.SetAccessibleName(m_nameLine);
    return 0;
}

void CUtilStatusView::ShowStatusText(const std::u16string& text) {
    UtilContext* context = AppContext();
    std::u16string label = Text(kStatusLabelEntry, u"Status:");
    m_statusLine = context && context->startMode == kStartFileMode ? label : JoinLabel(label, text);
    if (m_hWnd)
        ::SetDlgItemTextW(m_hWnd, kStatusLineId, WidePtr(m_statusLine));
    // The state picture says what the status line says.
    m_icon.SetAccessibleName(m_statusLine);
    m_lastStatusText = text;
}

void CUtilStatusView::BeginMonitoring(bool connected) {
    if (connected) {
        m_tracker.StartOnline();
        m_currentStatus = kStatusOnline;
        ShowStatusText(StatusTextFor(kStatusOnline));
        // Read once the message loop runs, so that the main window is up under the progress
        // dialog.
        PostMessage(WM_UTIL_READSETTINGS, 0, 0);
    } else {
        ShowStatusText(StatusTextFor(m_currentStatus));
    }
}

LRESULT CUtilStatusView::OnGetStatus(int32_t* status) {
    if (status)
        *status = m_currentStatus;
    return 0;
}

LRESULT CUtilStatusView::OnStopStatus() {
    m_updatesEnabled = false;
    return 0;
}

LRESULT CUtilStatusView::OnStatusChanged(int32_t code) {
    if (!m_updatesEnabled)
        return 1;
    std::optional<int32_t> show = m_tracker.Take(code);
    if (!show)
        return 1;
    const uint32_t serial = ++m_statusSerial;
    std::u16string text = StatusTextFor(*show);
    const int32_t previous = m_currentStatus;
    m_currentStatus = *show;
    if (IsReadableStatus(*show) && m_tracker.ReadNeeded() && !ProgressDialogShown()) {
        const int32_t read = ReadSettings();
        // The strip ends on the newest status: one taken while the read ran stays shown.
        if (serial != m_statusSerial)
            return read == kReadWrongPrinter ? 0 : 1;
        if (read == kReadWrongPrinter) {
            m_currentStatus = previous;
            ShowStatusText(m_lastStatusText);
            return 0;
        }
    }
    ShowStatusText(text);
    return 1;
}

LRESULT CUtilStatusView::OnSetIcon(uint16_t iconCode) {
    if (!m_updatesEnabled || iconCode == m_lastIconCode)
        return 1;
    m_lastIconCode = iconCode;
    if (m_iconBitmap) {
        if (m_icon.m_hWnd)
            m_icon.SetBitmap(nullptr);
        ::DeleteObject(m_iconBitmap);
        m_iconBitmap = nullptr;
    }
    UtilContext* context = AppContext();
    int32_t id = IconBitmapFor(iconCode, context && context->iconShift == 1);
    if (id == 0)
        return 1;
    m_iconBitmap = static_cast<HBITMAP>(
        ::LoadImageW(ThisModule(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (m_iconBitmap && m_icon.m_hWnd) {
        RECT area = m_icon.GetClientRect();
        if (HDC dc = ::GetDC(m_icon.m_hWnd)) {
            ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_WINDOW));
            ::ReleaseDC(m_icon.m_hWnd, dc);
        }
        m_icon.SetBitmap(m_iconBitmap);
    }
    return 1;
}

int32_t CUtilStatusView::ReadSettings() {
    if (!m_items)
        return 1;
    if (!m_binding) {
        IShellHost* host = ShellHost();
        m_binding = host ? host->Binding() : nullptr;
        if (comm::IsBound(m_binding))
            m_binding->QKC_Initialize();
    }
    UtilContext* context = AppContext();
    comm::QkcBinding* bound = comm::IsBound(m_binding) ? m_binding : nullptr;
    // A port routed through the port connector is opened for the read in its other mode.
    const bool connector = context && context->portRecord.connectorFlag == 1 && bound;
    if (connector) {
        bound->QKC_Close();
        if (bound->QKC_Open(1) != 0) {
            m_seams.clock->Sleep(kReopenPauseMs);
            bound->QKC_Open(1);
        }
    }
    int32_t answer = kExchangeNotSetUp;
    if (CPrinterSettingView* page = m_ctrl.Page()) {
        std::vector<CPrinterSettingView::SettingsReader> readers;
        for (MenuItem* item : *m_items)
            if (item && item->HasSettingsReader())
                readers.push_back(item->dll.m_pfnReadPrinterSettings);
        page->SetSettingsReaders(std::move(readers));
        answer = page->RunSettingsRead();
    }
    if (connector) {
        bound->QKC_Close();
        bound->QKC_Open(0);
    }
    if (answer == 1)
        m_tracker.SetReadNeeded(false);
    return answer;
}

bool CUtilStatusView::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_INITDIALOG: {
        CSingleLock hold(Registry().lock.Get());
        m_postTarget = m_hWnd;
        result = TRUE;
        return true;
    }
    case WM_UTIL_UPDATEPRINTERINFO:
        result = OnUpdatePrinterInfo();
        return true;
    case WM_UTIL_GETSTATUS:
        result = OnGetStatus(reinterpret_cast<int32_t*>(wp));
        return true;
    case WM_UTIL_READSETTINGS:
        result = ReadSettings();
        return true;
    case WM_UTIL_STOPSTATUS:
        result = OnStopStatus();
        return true;
    case WM_UTIL_STATUSCHANGED:
        result = OnStatusChanged(static_cast<int32_t>(wp));
        return true;
    case WM_UTIL_SETICON:
        result = OnSetIcon(static_cast<uint16_t>(wp & 0xFFFF));
        return true;
    default:
        return CFormView::OnMessage(msg, wp, lp, result);
    }
}

} // namespace qk::app
