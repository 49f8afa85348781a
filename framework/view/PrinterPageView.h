// The base of a settings page that reads and writes the printer through one exchange at a
// time. On the exchange page it adds what every such page does alike: the settings read on
// the host's worker thread and its hand-off to the page's window, the stored settings and the
// file mode's save, and the read's and the write's result messages. A page says only what it
// reads, writes and saves, and how it shows the outcome.
#pragma once
#include <mutex>
#include <string>
#include "framework/view/ExchangePageView.h"

namespace qk {

class CPrinterPageView : public CExchangePageView {
public:
    // Posted to the page by a settings read that ran on the exchange's worker thread.
    static constexpr UINT kReadDoneMessage = WM_APP + 41;

    // noteId: the page's line for what the last read could not do.
    using CExchangePageView::CExchangePageView;

    // The settings read (on the host's worker thread) through ReadOnWorker; -2 without a store
    // or context.
    int32_t ReadSettings() final;
    // Brings the controls to what the store holds, then names a read that came meanwhile.
    void ShowStoredSettings();

protected:
    // Screen messages every such page has, at the same numbers.
    static constexpr int kMsgWritten = 0, kMsgNotWritten = 1, kMsgNotRead = 2, kMsgNotTaken = 3,
                         kMsgNoAnswer = 4;

    // Worker thread: reads the page's settings into the store and hands the outcome over with
    // HandOverRead; answers the read's result.
    virtual int32_t ReadOnWorker(const PrinterWork& work) = 0;
    // UI thread, under the read lock, once the page shows: takes what HandOverRead kept.
    virtual void TakeRead() = 0;
    // UI thread: shows the read that TakeRead took.
    virtual void ShowTakenRead() = 0;
    // Brings the controls to what the store holds.
    virtual void ShowStored() = 0;

    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    // Worker thread: keep runs under the read lock, then the page's window is told.
    template <class Keep> void HandOverRead(Keep keep) {
        {
            std::lock_guard lock(m_readLock);
            keep();
            m_readPending = true;
        }
        PostReadDone();
    }
    bool Shown() const { return m_shown; }

    template <class Settings> Settings LoadStored() {
        Settings settings;
        if (IPluginDataMgr* store = DataManager())
            settings.Load(*store);
        return settings;
    }
    // The file mode's save of the page's settings into the store: 1, or -5 told.
    template <class Settings> int32_t StoreForFile(const Settings& settings) {
        IPluginDataMgr* store = DataManager();
        if (!store)
            return -2;
        if (settings.Store(*store) != kStoreOk) {
            ::qk::ShowWarning(m_hWnd);
            return -5;
        }
        store->SetSaveFlag(1);
        return 1;
    }

    // The note of a read: empty when complete, else what it could not do.
    std::u16string ReadNote(bool noAnswer, bool complete, const std::u16string& missed) const;
    void InformWritten();
    // "Failed to change settings." with why: no answer, or what the printer did not take.
    void WarnNotWritten(bool noAnswer, const std::u16string& missed);

private:
    void OnReadDone();
    void PostReadDone();

    bool m_shown = false;

    std::mutex m_readLock;
    bool m_readPending = false;
};

// A page whose settings read ends in a Read (a report, what the printer listed): the read is
// handed from the worker to the page's window without the page seeing the lock.
template <class Read> class CPrinterPage : public CPrinterPageView {
public:
    using CPrinterPageView::CPrinterPageView;

protected:
    // Worker thread: reads the page's settings into the store and read; the read's result.
    virtual int32_t ReadPrinter(const PrinterWork& work, Read& read) = 0;
    // Once the page shows: the last read's outcome on the page.
    virtual void ShowRead(const Read& read) = 0;

private:
    int32_t ReadOnWorker(const PrinterWork& work) final {
        Read read;
        const int32_t result = ReadPrinter(work, read);
        HandOverRead([&] { m_handed = std::move(read); });
        return result;
    }
    void TakeRead() final { m_taken = m_handed; }
    void ShowTakenRead() final { ShowRead(m_taken); }

    Read m_handed; // under the read lock
    Read m_taken;  // UI thread
};

} // namespace qk
