#include "framework/view/CommonFormView.h"

#include <algorithm>
#include <string_view>
#include "framework/context/TextSlot.h"
#include "framework/context/UtilContext.h"
#include "framework/plugin/FormViewCtrl.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/view/UtilMessageBox.h"

namespace qk {
namespace {

constexpr char16_t kEnglishText[] = u"0409";
constexpr char16_t kAppScreen[] = u"QK_UTILITY_APP";
constexpr wchar_t kClosingText[] = L"Could not find the required files.\nClosing application.";
constexpr wchar_t kEnglishNotice[] =
    L"Could not find the required files.\nDisplaying the screen in English.";

constexpr int32_t kNetworkWaitMs = 15000;
constexpr int32_t kWaitMs = 1000;
constexpr int32_t kAttempts = 30;
constexpr int32_t kPauseMs = 1000;
// The library's text about the port's device, inside the port record.
constexpr size_t kPortDeviceTextOffset = 3160;
constexpr size_t kPortDeviceTextChars = 260;

std::u16string_view PortDeviceText(const UtilContext& context) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&context.portRecord);
    const auto* text = reinterpret_cast<const char16_t*>(bytes + kPortDeviceTextOffset);
    return SlotView(text, kPortDeviceTextChars);
}
static_assert(kPortDeviceTextOffset + kPortDeviceTextChars * 2 <= sizeof(comm::PortRecord));

} // namespace

CCommonFormView::CCommonFormView(UINT templateId, std::u16string screen)
    : CFormView(templateId), m_screen(std::move(screen)) {
    m_commCtrl.SetProgressCallback(&CEngineCommCtrl::ProgressCallback);
}

CCommonFormView::~CCommonFormView() {
    if (m_pCtrl)
        m_pCtrl->ForgetPage(this);
}

int32_t CCommonFormView::IsModified() {
    return 0;
}

int32_t CCommonFormView::WriteSettings() {
    return 1;
}

int32_t CCommonFormView::SaveToFile() {
    return 1;
}

void CCommonFormView::OnActivatePage() {}

int32_t CCommonFormView::ReadSettings() {
    return 1;
}

UtilContext* CCommonFormView::Context() const {
    return m_pCtrl ? m_pCtrl->Context() : nullptr;
}

IPluginDataMgr* CCommonFormView::DataManager() const {
    UtilContext* context = Context();
    return context ? context->dataManager : nullptr;
}

int32_t CCommonFormView::GetCommTimings(CommTimings* timings) {
    if (!timings)
        return 0;
    timings->waitMs = kWaitMs;
    if (UtilContext* context = Context(); context && context->interfaceKind == kIfNetwork) {
        std::u16string_view device = PortDeviceText(*context);
        if (device.find(u"WB-K") != device.npos || device.find(u"Wi-Fi") != device.npos)
            timings->waitMs = kNetworkWaitMs;
    }
    timings->attempts = kAttempts;
    timings->pauseMs = kPauseMs;
    return 1;
}

int32_t CCommonFormView::WriteDataBlock(uint32_t key, void* data, uint32_t size) {
    IPluginDataMgr* store = DataManager();
    return store ? store->WriteBlock(key, size, data) : -2;
}

int32_t CCommonFormView::WriteOwnDataBlock(void* data, uint32_t size) {
    return m_pCtrl ? WriteDataBlock(m_pCtrl->BlockKey(), data, size) : -2;
}

int32_t CCommonFormView::ReadDataBlock(uint32_t key, void* buffer, uint32_t length) {
    IPluginDataMgr* store = DataManager();
    return store ? store->ReadBlock(key, buffer, length) : -2;
}

int32_t CCommonFormView::ReadOwnDataBlock(void* buffer, uint32_t length) {
    return m_pCtrl ? ReadDataBlock(m_pCtrl->BlockKey(), buffer, length) : -2;
}

void CCommonFormView::CloseApplication() {
    if (m_pCtrl && m_pCtrl->OwnerWindow())
        ::PostMessageW(m_pCtrl->OwnerWindow(), WM_CLOSE, 0, 0);
}

void CCommonFormView::OnInitialUpdate() {
    CFormView::OnInitialUpdate();
    // The application texts are read when first asked for, not before the page shows (three
    // sections of the language file), but with the language of now: the page's own texts may
    // turn the shared language to English next.
    UtilContext* context = Context();
    m_appTextsFolder = context ? SlotView(context->languageFolder) : std::u16string_view();
    m_appTextsLanguage = context ? context->languageId : kLangEnglish;
    m_appTextsDue = true;
    LoadPageTexts();
}

const CLangResTable& CCommonFormView::AppTexts() const {
    if (m_appTextsDue) {
        m_appTextsDue = false;
        if (m_appTexts.LoadLangFile(m_appTextsFolder, m_appTextsLanguage, kLangEnglish) !=
            kLangNoFile)
            m_appTexts.LoadScreenTexts(kAppScreen);
    }
    return m_appTexts;
}

int32_t CCommonFormView::LoadPageTexts() {
    UtilContext* context = Context();
    std::u16string folder(context ? SlotView(context->languageFolder) : std::u16string_view());
    int32_t language = context ? context->languageId : kLangEnglish;
    int32_t loaded = m_pageTexts.LoadLangFile(folder, language, kLangEnglish);
    const wchar_t* message = nullptr;
    bool closing = false;
    if (loaded == kLangNoFile) {
        message = kClosingText;
        closing = true;
    } else if (loaded == kLangFallbackFile) {
        if (!m_bEnglishNotice) {
            message = kEnglishNotice;
            m_bEnglishNotice = 1;
        }
        // Every later table then finds the English file directly.
        if (context) {
            context->languageId = kLangEnglish;
            std::copy(std::begin(kEnglishText), std::end(kEnglishText), context->languageText);
        }
    }
    if (message)
        ShowWarning(nullptr, message);
    if (closing) {
        CloseApplication();
        return loaded;
    }
    m_pageTexts.LoadScreenTexts(m_screen);
    return loaded;
}

void CCommonFormView::OnSize(UINT type, int cx, int cy) {
    CFormView::OnSize(type, cx, cy);
    HWND parent = GetParent();
    if (!IsWindowVisible() || !parent)
        return;
    RECT pane{};
    ::GetClientRect(parent, &pane);
    RECT own = GetClientRect();
    if (own.right >= pane.right && own.bottom >= pane.bottom)
        MoveWindow(own, false);
    else
        MoveWindow(pane, false);
}

} // namespace qk
