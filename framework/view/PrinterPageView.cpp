#include "framework/view/PrinterPageView.h"

#include "framework/comm/BoundedLink.h"
#include "framework/comm/QkcPrinterLink.h"
#include "framework/context/UtilContext.h"
#include "framework/lang/FilledText.h"
#include "platform/Text.h"

namespace qk {
namespace {

constexpr char16_t kNotReadText[] = u"Could not read these settings from the printer: %s";
constexpr char16_t kNotTakenText[] = u"The printer did not take these settings: %s";
constexpr char16_t kNoAnswerText[] = u"The printer did not answer.";

} // namespace

CPrinterPageView::CPrinterPageView(UINT templateId, std::u16string screen, UINT noteId)
    : CSingleFormView(templateId, std::move(screen)), m_noteId(noteId) {}

bool CPrinterPageView::FileMode() const {
    return Context() && Context()->startMode == kStartFileMode;
}

std::u16string CPrinterPageView::Message(int index, const char16_t* english) const {
    return PageTexts().TextOr(LangListKind::ScreenMessages, index, english);
}

std::u16string CPrinterPageView::Text(int index, const char16_t* english) const {
    return PageTexts().TextOr(LangListKind::ScreenStrings, index, english);
}

void CPrinterPageView::ShowNote(const std::u16string& text) {
    ::SetDlgItemTextW(m_hWnd, static_cast<int>(m_noteId), WidePtr(text));
}

int32_t CPrinterPageView::AnswerWaitMs() {
    CommTimings timings{};
    return GetCommTimings(&timings) ? timings.waitMs : 1000;
}

std::u16string CPrinterPageView::ReadNote(bool noAnswer, bool complete,
                                          const std::u16string& missed) const {
    if (noAnswer)
        return Message(kMsgNoAnswer, kNoAnswerText);
    if (!complete)
        return Fill(Message(kMsgNotRead, kNotReadText), missed);
    return u"";
}

void CPrinterPageView::InformWritten() {
    ShowInfo(m_hWnd, WidePtr(Message(kMsgWritten, u"Settings were changed successfully.")));
}

void CPrinterPageView::WarnNotWritten(bool noAnswer, const std::u16string& missed) {
    std::u16string text = Message(kMsgNotWritten, u"Failed to change settings.");
    text += u'\n';
    if (noAnswer)
        text += Message(kMsgNoAnswer, kNoAnswerText);
    else
        text += Fill(Message(kMsgNotTaken, kNotTakenText), missed);
    ShowWarning(m_hWnd, WidePtr(text));
}

void CPrinterPageView::ShowStoredSettings() {
    if (!m_hWnd)
        return;
    ShowStored();
    m_shown = true;
    OnReadDone();
}

int32_t CPrinterPageView::ReadSettings() {
    IPluginDataMgr* store = DataManager();
    UtilContext* context = Context();
    if (!store || !context)
        return -2;
    const int32_t waitMs = AnswerWaitMs();
    comm::CQkcPrinterLink port(context->binding, waitMs);
    comm::CBoundedLink link(port, comm::kExchangeAnswerLimitMs);
    return ReadOnWorker(link, waitMs, *store);
}

void CPrinterPageView::PostReadDone() {
    // A page whose window is not made yet names the outcome when it is first shown.
    if (m_hWnd)
        ::PostMessageW(m_hWnd, kReadDoneMessage, 0, 0);
}

void CPrinterPageView::OnReadDone() {
    {
        std::lock_guard lock(m_readLock);
        // Before the first showing the texts are not loaded yet: the showing names the read.
        if (!m_readPending || !m_shown)
            return;
        TakeRead();
        m_readPending = false;
    }
    ShowTakenRead();
}

bool CPrinterPageView::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == kReadDoneMessage) {
        OnReadDone();
        result = 0;
        return true;
    }
    return CSingleFormView::OnMessage(msg, wp, lp, result);
}

int32_t CPrinterPageView::RunExchange() {
    m_ran = false;
    CommCtrl().SetWorkerProc(&CPrinterPageView::ExchangeWorker);
    return CommCtrl().RunExchange(this);
}

unsigned __stdcall CPrinterPageView::ExchangeWorker(void* page) {
    try {
        auto* view = static_cast<CPrinterPageView*>(static_cast<CCommonFormView*>(page));
        if (!view)
            return static_cast<unsigned>(kExchangeMissingLibrary);
        UtilContext* context = view->Context();
        view->CommCtrl().ReportProgress(0);
        const int32_t waitMs = view->AnswerWaitMs();
        comm::CQkcPrinterLink port(context ? context->binding : nullptr, waitMs);
        comm::CBoundedLink link(port, comm::kExchangeAnswerLimitMs,
                                [view] { return view->CommCtrl().StopRequested(); });
        const int32_t result = view->ExchangeOnWorker(link, waitMs, view->DataManager());
        view->m_ran = true;
        view->CommCtrl().ReportProgress(100);
        return static_cast<unsigned>(result);
    } catch (...) {
        return static_cast<unsigned>(kExchangeMissingLibrary);
    }
}

} // namespace qk
