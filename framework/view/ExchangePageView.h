// The base of a page that talks to the printer through exchanges under the progress dialog:
// the exchange worker with the bounded printer link and the stop request, the page's texts
// and its line that says the outcome, the answer wait, the choice of a file and the page's
// buttons. A page says only what its exchanges do and how it shows their outcome.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include "framework/comm/PrinterLink.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/view/SingleFormView.h"
#include "framework/view/UtilMessageBox.h"

namespace qk {

// What a page's exchange has on the worker thread: the printer link (bounded, and stopped with
// the progress dialog), the answer wait, and the data manager (null without one; never null in
// a settings read).
struct PrinterWork {
    comm::IPrinterLink& link;
    int32_t waitMs;
    IPluginDataMgr* store;
};

class CExchangePageView : public CSingleFormView {
public:
    // noteId: the page's text that says what the last exchange found.
    CExchangePageView(UINT templateId, std::u16string screen, UINT noteId);

    // The page's captions from its language file.
    void OnInitialUpdate() override;

    static unsigned __stdcall ExchangeWorker(void* page);

protected:
    // Worker thread: the page's exchange; answers its result.
    virtual int32_t ExchangeOnWorker(const PrinterWork& work) = 0;

    // Runs ExchangeOnWorker under the progress dialog; its result.
    int32_t RunExchange();
    // The worker ran the page's exchange to its end (the printer may still have refused).
    bool ExchangeRan() const { return m_ran; }
    bool FileMode() const;
    int32_t AnswerWaitMs();

    std::u16string Message(int index, std::u16string_view english) const;
    std::u16string Text(int index, std::u16string_view english) const;
    void ShowNote(const std::u16string& text);

    // A button of the page and what its click does.
    template <class Page> struct Click {
        UINT id;
        void (Page::*handler)();
    };
    // Runs the handler of a clicked button of the table; false for any other command.
    template <class Page, std::size_t N>
    static bool OnClick(Page& page, const Click<Page> (&table)[N], UINT code, UINT id) {
        if (code != BN_CLICKED)
            return false;
        for (const Click<Page>& click : table)
            if (click.id == id) {
                (page.*click.handler)();
                return true;
            }
        return false;
    }

private:
    UINT m_noteId;
    bool m_ran = false;
};

} // namespace qk
