// Shared pieces of the view tests: a language folder on disk, a context pointing at it, a
// counting device test engine and pages that report what the controller asked them.
#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "framework/context/UtilContext.h"
#include "framework/plugin/FormViewCtrl.h"
#include "framework/view/SingleFormView.h"
#include "framework/view/UtilMessages.h"
#include "platform/Sync.h"

namespace qk::test {

// A folder of its own under the temporary folder, removed with its files.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    // Writes a language file "<id>.DAT" (UTF-16LE with a byte-order mark, CRLF lines).
    void WriteLangFile(int language, const std::wstring& text) const;

private:
    std::wstring path_;
};

// A zeroed context on the heap with a language folder, a language and an application lock.
struct TestContext {
    std::unique_ptr<UtilContext> context = std::make_unique<UtilContext>();
    CCriticalSection lock;
    explicit TestContext(const std::wstring& languageFolder = L"", int language = 0x0409);
    UtilContext* get() { return context.get(); }
    void SetPortDeviceText(const std::u16string& text);
};

class CountingEngine : public IDeviceTestEngine {
public:
    int creates = 0;
    int releases = 0;
    bool fail = false;
    comm::QkcBinding* lastBinding = nullptr;
    EngineHandle Create(comm::QkcBinding* binding) override;
    void Release(EngineHandle* handle) override;
};

// A page that counts the controller's questions and answers what the test sets.
class ProbePage : public CSingleFormView {
public:
    explicit ProbePage(UINT templateId = 8) : CSingleFormView(templateId, u"TEST_PAGE") {}
    int32_t modified = 0;
    int32_t writeAnswer = 1;
    int32_t saveAnswer = 1;
    int32_t readAnswer = 1;
    int writes = 0, saves = 0, reads = 0, initialUpdates = 0;
    int32_t IsModified() override { return modified; }
    int32_t WriteSettings() override {
        ++writes;
        return writeAnswer;
    }
    int32_t SaveToFile() override {
        ++saves;
        return saveAnswer;
    }
    int32_t ReadSettings() override {
        ++reads;
        return readAnswer;
    }
    void OnInitialUpdate() override {
        ++initialUpdates;
        CSingleFormView::OnInitialUpdate();
    }
};

// A controller whose pages the test makes.
class ProbeController : public CFormViewCtrl {
public:
    explicit ProbeController(IDeviceTestEngine* engine = nullptr, uint32_t key = 0x00010010,
                             uint32_t size = 36)
        : CFormViewCtrl(key, size, engine) {}
    std::vector<UINT> pageTemplates = {8};
    std::vector<ProbePage*> made;
    int32_t checkAnswer = 0;
    int shownCalls = 0;
    int32_t CheckInitialize() override { return checkAnswer; }
    void OnPageShown() override { ++shownCalls; }
    void Defer() { DeferPageWindows(); }
    void CreatePages() override {
        for (UINT id : pageTemplates) {
            auto* page = new ProbePage(id);
            made.push_back(page);
            AddPage(page);
        }
    }
};

// Stands in for the progress dialog: records the positions it is sent.
class RecordingDialog : public CWnd {
public:
    std::vector<int32_t> positions;
    bool Make(HWND owner);

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

// Stands in for the main frame: answers the status, makes and "runs" the progress dialog
// (waiting, with messages served, until the worker ends) and counts close requests.
class FakeFrame : public CWnd {
public:
    int32_t status = 0;
    bool refuseDialog = false;
    bool runReturnsAtOnce = false; // the progress dialog goes before the worker ends
    int closes = 0;
    int creates = 0;
    int runs = 0;
    CommStateRequest lastRequest{};
    bool lockHeldDuringRun = false;
    CRITICAL_SECTION* watchLock = nullptr; // checked from another thread during a run
    std::unique_ptr<RecordingDialog> dialog;
    bool Make();

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

// A frame and, inside it, a page area.
struct HostWindows {
    FakeFrame frame;
    HWND pane = nullptr;
    HostWindows();
};

} // namespace qk::test
