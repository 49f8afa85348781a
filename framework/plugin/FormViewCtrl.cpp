#include "framework/plugin/FormViewCtrl.h"

#include <algorithm>
#include <cstring>
#include "framework/context/TextSlot.h"
#include "framework/context/UtilContext.h"
#include "framework/view/CommonFormView.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/Text.h"

namespace qk {
namespace {

constexpr char16_t kCommonScreen[] = u"PLUGIN_COMMON";
constexpr char16_t kSaveQuestion[] =
    u"Do you want to save your changes to the settings to the printer?";
// Pages with this template identifier have a question of their own.
constexpr UINT kPageWithOwnQuestion = 12;

} // namespace

CFormViewCtrl::CFormViewCtrl(uint32_t blockKey, uint32_t blockSize, IDeviceTestEngine* engine)
    : m_nBlockKey(blockKey), m_nBlockSize(blockSize), m_engine(engine) {}

CFormViewCtrl::~CFormViewCtrl() {
    ReleaseEngine();
    Finalize();
    DestroyPages();
    m_commonTexts.Clear();
}

int32_t CFormViewCtrl::SetDefaultData(uint32_t) {
    return 1;
}

int32_t CFormViewCtrl::GetDependData(DependRecord*, int32_t* count) {
    if (count)
        *count = 0;
    return 1;
}

int32_t CFormViewCtrl::CheckInitialize() {
    return 0;
}

void CFormViewCtrl::OnPageShown() {}

void CFormViewCtrl::PrepareController() {}

void CFormViewCtrl::CreatePages() {}

PluginBlockHeader* CFormViewCtrl::GetBlockHeader(PluginBlockHeader* header) {
    return MakeBlockHeader(header, m_nBlockKey, m_nBlockVersion, m_nBlockSize);
}

PluginBlockHeader* CFormViewCtrl::MakeBlockHeader(PluginBlockHeader* header, uint32_t key,
                                                  uint32_t version, uint32_t size) {
    if (!header)
        return nullptr;
    std::memset(header, 0, sizeof(*header));
    std::memcpy(header->magic, &kPluginBlockMagic, sizeof(header->magic));
    header->key = key;
    header->version = version;
    header->size = size;
    return header;
}

void CFormViewCtrl::AddPage(CCommonFormView* page) {
    if (page)
        m_pages.push_back(page);
}

void CFormViewCtrl::ForgetPage(CCommonFormView* page) {
    m_pages.erase(std::remove(m_pages.begin(), m_pages.end(), page), m_pages.end());
}

int32_t CFormViewCtrl::Initialize(HWND owner, HWND parent, UtilContext* context) {
    m_pContext = context;
    if (m_bInitialized)
        return -3;
    if (!context)
        return -6;
    if (int32_t code = CheckInitialize())
        return code;
    m_hParentWnd = parent;
    m_hOwnerWnd = owner;
    if (m_engine && !m_hEngine) {
        m_hEngine = m_engine->Create(context->binding);
        if (!m_hEngine)
            return -4;
    }
    PrepareController();
    CreatePages();
    // Known to their controller from the start: a page reads the printer before its first
    // showing when its windows wait for it.
    for (CCommonFormView* page : m_pages) {
        page->SetController(this);
        page->SetEngineHandle(m_hEngine);
    }
    if (!m_deferWindows && !CreatePageWindows()) {
        DestroyPages();
        ReleaseEngine();
        return -4;
    }
    m_nActiveIndex = 0;
    m_bInitialized = 1;
    return 0;
}

const CLangResTable& CFormViewCtrl::CommonTexts() const {
    if (!m_commonTextsRead && m_bInitialized && m_pContext) {
        m_commonTextsRead = true;
        m_commonTexts.LoadLangFile(std::u16string(SlotView(m_pContext->languageFolder)),
                                   m_pContext->languageId, kLangEnglish);
        m_commonTexts.LoadScreenTexts(kCommonScreen);
    }
    return m_commonTexts;
}

bool CFormViewCtrl::CreatePageWindows() {
    RECT area = {0, 0, 1, 1};
    if (m_hParentWnd)
        ::GetClientRect(m_hParentWnd, &area);
    for (CCommonFormView* page : m_pages) {
        if (page->m_hWnd)
            continue;
        if (!page->CreateView(m_hParentWnd, page->TemplateId(), area, nullptr))
            return false;
        page->ShowWindow(SW_HIDE);
    }
    return true;
}

int32_t CFormViewCtrl::InitializeEngine(UtilContext* context) {
    if (m_hEngine)
        return 0;
    if (!m_engine)
        return -4;
    m_hEngine = m_engine->Create(context ? context->binding : nullptr);
    return m_hEngine ? 0 : -4;
}

int32_t CFormViewCtrl::Finalize() {
    if (!m_bInitialized)
        return -2;
    ReleaseEngine();
    DestroyPages();
    return 0;
}

void CFormViewCtrl::ReleaseEngine() {
    if (!m_engine)
        return;
    m_engine->Release(&m_hEngine);
    m_hEngine = nullptr;
}

void CFormViewCtrl::DestroyPages() {
    while (!m_pages.empty()) {
        CCommonFormView* page = m_pages.front();
        m_pages.erase(m_pages.begin());
        page->SetController(nullptr);
        // A page with a window deletes itself when the window goes.
        if (page->m_hWnd)
            page->DestroyWindow();
        else
            delete page;
    }
}

CCommonFormView* CFormViewCtrl::GetActiveView() const {
    if (m_nActiveIndex < 0 || static_cast<size_t>(m_nActiveIndex) >= m_pages.size())
        return nullptr;
    return m_pages[static_cast<size_t>(m_nActiveIndex)];
}

int32_t CFormViewCtrl::ChangeMenuState(int32_t state) {
    CCommonFormView* page = GetActiveView();
    if (!page)
        return -1;
    switch (state) {
    case kMenuStateShow:
        return ShowActivePage(page);
    case kMenuStateFocus:
        return FocusActivePage(page);
    case kMenuStateLeave:
        return LeaveActivePage(page);
    default:
        return -1;
    }
}

int32_t CFormViewCtrl::ShowActivePage(CCommonFormView* page) {
    if (!page->m_hWnd && !CreatePageWindows())
        return 0;
    if (!m_bShown)
        page->OnInitialUpdate();
    HWND parent = page->m_hWnd ? ::GetParent(page->m_hWnd) : nullptr;
    if (!parent)
        return 0;
    RECT area{};
    ::GetClientRect(parent, &area);
    page->MoveWindow(area);
    page->EnableWindow(true);
    page->ShowWindow(SW_SHOW);
    ::SetActiveWindow(page->m_hWnd);
    ::SetFocus(page->m_hWnd);
    OnPageShown();
    m_bShown = 1;
    return 1;
}

int32_t CFormViewCtrl::FocusActivePage(CCommonFormView* page) const {
    if (!m_bShown || !page->m_hWnd || !::GetParent(page->m_hWnd))
        return 0;
    ::SetFocus(page->m_hWnd);
    return 1;
}

int32_t CFormViewCtrl::LeaveActivePage(CCommonFormView* page) {
    bool modified = std::any_of(m_pages.begin(), m_pages.end(),
                                [](CCommonFormView* p) { return p->IsModified() == 1; });
    int32_t answer = 0;
    if (modified) {
        const bool fileMode = m_pContext && m_pContext->startMode == kStartFileMode;
        int32_t index = fileMode ? 2 : page->TemplateId() == kPageWithOwnQuestion ? 1 : 0;
        std::u16string text =
            CommonTexts().TextOr(LangListKind::ScreenMessages, index, kSaveQuestion);
        int box = AskYesNoCancel(page->m_hWnd, WidePtr(text));
        if (box == IDCANCEL)
            return -5;
        if (box == IDYES) {
            int32_t saved = fileMode ? page->SaveToFile() : page->WriteSettings();
            answer = saved == 1 ? 0 : -5;
        }
    }
    if (answer == 0)
        HidePage(page);
    return answer;
}

void CFormViewCtrl::HidePage(CCommonFormView* page) const {
    page->EnableWindow(false);
    page->ShowWindow(SW_HIDE);
}

int32_t CFormViewCtrl::GetPluginInfo(PluginInfo* info) const {
    if (!info)
        return -6;
    info->key = m_nBlockKey;
    info->version = m_nBlockVersion;
    info->size = m_nBlockSize;
    return 0;
}

int32_t CFormViewCtrl::ReadPrinterSettings() {
    int32_t result = 1;
    for (CCommonFormView* page : m_pages)
        result = page->ReadSettings();
    return result;
}

} // namespace qk
