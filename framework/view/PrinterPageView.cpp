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
    return ReadOnWorker({link, waitMs, store});
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
    return CExchangePageView::OnMessage(msg, wp, lp, result);
}

} // namespace qk
