// Benchmark, not a test: the cost of one exchange round through the real main frame (the
// application lock, the progress dialog's creation, the worker thread, the modal loop and the
// teardown) with a worker that returns at once. Prints the mean and the spread of the rounds.
// Every wait is bounded: a run that does not end within kWatchdogMs is ended with code 3.
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "app/shell/MainFrame.h"
#include "app/shell/ShellHost.h"
#include "app/shell/UtilDummyView.h"
#include "app/shell/UtlDoc.h"
#include "app/status/UtilStatusView.h"
#include "framework/context/UtilContext.h"
#include "framework/plugin/FormViewCtrl.h"
#include "framework/view/SingleFormView.h"
#include "platform/DocTemplate.h"
#include "platform/Sync.h"
#include "resource.h"

namespace {

class BenchHost : public qk::app::IShellHost {
public:
    UtilContext context{};
    UtilContext* Context() override { return &context; }
    qk::comm::QkcBinding* Binding() override { return nullptr; }
    int32_t ConnectionResult() override { return 0; }
};

unsigned __stdcall ReturnAtOnce(void*) {
    return 1;
}

// A message box nobody answers (a view that found no language file, say) would hold the
// bench for ever.
constexpr DWORD kWatchdogMs = 100000;

DWORD WINAPI Watchdog(void*) {
    ::Sleep(kWatchdogMs);
    std::printf("exchange_bench: no end after %lu ms; ended\n", kWatchdogMs);
    std::fflush(stdout);
    ::ExitProcess(3);
}

// The frame's views read their texts from the staged language folder.
void UseStagedLanguage(UtilContext& context) {
    std::string narrow = QK_TEST_STAGE_DIR "\\LANG";
    for (std::size_t i = 0; i < narrow.size() && i + 1 < std::size(context.languageFolder); ++i)
        context.languageFolder[i] = narrow[i] == '/' ? u'\\' : static_cast<char16_t>(narrow[i]);
    context.languageId = 0x409;
}

} // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    ::CloseHandle(::CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr));
    BenchHost host;
    UseStagedLanguage(host.context);
    qk::CCriticalSection lock;
    host.context.applicationLock = lock.Get();
    qk::app::SetShellHost(&host);
    qk::CSingleDocTemplate docTemplate{IDR_MAINFRAME, [] { return new qk::app::CUtlDoc; },
                                       [] { return new qk::app::CMainFrame; },
                                       [] { return new qk::app::CUtilDummyView; }};
    auto* frame = static_cast<qk::app::CMainFrame*>(docTemplate.OpenNewDocument());
    if (!frame)
        return 1;
    frame->ShowWindow(SW_SHOW);
    frame->StatusView()->BeginMonitoring(true);

    qk::CFormViewCtrl controller(0x00010001, 992, nullptr);
    controller.Initialize(frame->m_hWnd, frame->PageArea()->m_hWnd, &host.context);
    qk::CSingleFormView page(IDD_DUMMY_VIEW, u"PRINTER_SETTING_VIEW");
    page.SetController(&controller);
    page.CommCtrl().SetWorkerProc(&ReturnAtOnce);

    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        LARGE_INTEGER f, a, b;
        ::QueryPerformanceFrequency(&f);
        ::QueryPerformanceCounter(&a);
        int32_t result = page.CommCtrl().RunExchange(&page);
        ::QueryPerformanceCounter(&b);
        if (result != 1) {
            std::printf("round %d answered %d\n", i, result);
            return 1;
        }
        ms.push_back(1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) /
                     static_cast<double>(f.QuadPart));
    }
    page.SetController(nullptr);
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    std::printf("RunExchange round, worker returning at once: %d rounds, mean %.1f ms, "
                "min %.1f ms, median %.1f ms, max %.1f ms\n",
                rounds, sum / rounds, ms.front(), ms[ms.size() / 2], ms.back());
    frame->DestroyWindow();
    qk::app::SetShellHost(nullptr);
    return 0;
}
