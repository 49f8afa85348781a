#include "framework/view/ExchangePageView.h"

#include "framework/comm/BoundedLink.h"
#include "framework/comm/QkcPrinterLink.h"
#include "framework/context/UtilContext.h"
#include "platform/Text.h"

namespace qk {

CExchangePageView::CExchangePageView(UINT templateId, std::u16string screen, UINT noteId)
    : CSingleFormView(templateId, std::move(screen)), m_noteId(noteId) {}

void CExchangePageView::OnInitialUpdate() {
    CSingleFormView::OnInitialUpdate();
    PageTexts().ApplyCaptions(m_hWnd);
}

bool CExchangePageView::FileMode() const {
    return Context() && Context()->startMode == kStartFileMode;
}

std::u16string CExchangePageView::Message(int index, std::u16string_view english) const {
    return PageTexts().TextOr(LangListKind::ScreenMessages, index, english);
}

std::u16string CExchangePageView::Text(int index, std::u16string_view english) const {
    return PageTexts().TextOr(LangListKind::ScreenStrings, index, english);
}

void CExchangePageView::ShowNote(const std::u16string& text) {
    ::SetDlgItemTextW(m_hWnd, static_cast<int>(m_noteId), WidePtr(text));
}

int32_t CExchangePageView::AnswerWaitMs() {
    CommTimings timings{};
    return GetCommTimings(&timings) ? timings.waitMs : 1000;
}

int32_t CExchangePageView::RunExchange() {
    m_ran = false;
    CommCtrl().SetWorkerProc(&CExchangePageView::ExchangeWorker);
    return CommCtrl().RunExchange(this);
}

unsigned __stdcall CExchangePageView::ExchangeWorker(void* page) {
    try {
        auto* view = static_cast<CExchangePageView*>(static_cast<CCommonFormView*>(page));
        if (!view)
            return static_cast<unsigned>(kExchangeMissingLibrary);
        UtilContext* context = view->Context();
        view->CommCtrl().ReportProgress(0);
        const int32_t waitMs = view->AnswerWaitMs();
        comm::CQkcPrinterLink port(context ? context->binding : nullptr, waitMs);
        comm::CBoundedLink link(port, comm::kExchangeAnswerLimitMs,
                                [view] { return view->CommCtrl().StopRequested(); });
        const int32_t result = view->ExchangeOnWorker({link, waitMs, view->DataManager()});
        view->m_ran = true;
        view->CommCtrl().ReportProgress(100);
        return static_cast<unsigned>(result);
    } catch (...) {
        return static_cast<unsigned>(kExchangeMissingLibrary);
    }
}

} // namespace qk
