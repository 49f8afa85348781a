#include "framework/plugin/PluginExports.h"

#include "framework/plugin/PluginApp.h"
#include "framework/view/CommonFormView.h"

namespace qk::plugin {
namespace {

constexpr int32_t kNoController = -1;
constexpr int32_t kNullPointer = -6;
constexpr int32_t kFailed = -7;

CFormViewCtrl* Controller() {
    CPluginApp* app = CPluginApp::Current();
    return app ? app->Controller() : nullptr;
}

// Runs `call` on the controller; `absent` without one, -7 when it throws.
template <typename Call> int32_t WithController(int32_t absent, Call call) {
    try {
        CFormViewCtrl* controller = Controller();
        return controller ? call(*controller) : absent;
    } catch (...) {
        return kFailed;
    }
}

} // namespace

int32_t Initialize(HWND owner, HWND parent, UtilContext* context) {
    return WithController(kNoController,
                          [&](CFormViewCtrl& c) { return c.Initialize(owner, parent, context); });
}

int32_t InitializeEngine(UtilContext* context) {
    return WithController(kNoController,
                          [&](CFormViewCtrl& c) { return c.InitializeEngine(context); });
}

int32_t Finalize() {
    return WithController(0, [](CFormViewCtrl& c) { return c.Finalize(); });
}

void* GetActiveView() {
    try {
        CFormViewCtrl* controller = Controller();
        return controller ? controller->GetActiveView() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

int32_t ChangeMenuState(int32_t state) {
    return WithController(kNoController,
                          [&](CFormViewCtrl& c) { return c.ChangeMenuState(state); });
}

int32_t GetPluginInfo(PluginInfo* info) {
    if (!info)
        return kNullPointer;
    return WithController(kNoController, [&](CFormViewCtrl& c) { return c.GetPluginInfo(info); });
}

int32_t ReadPrinterSettings() {
    return WithController(kNoController, [](CFormViewCtrl& c) { return c.ReadPrinterSettings(); });
}

int32_t SetDefaultData(uint32_t key) {
    return WithController(kNoController, [&](CFormViewCtrl& c) { return c.SetDefaultData(key); });
}

int32_t GetDependData(DependRecord* list, int32_t* count) {
    return WithController(kNoController,
                          [&](CFormViewCtrl& c) { return c.GetDependData(list, count); });
}

} // namespace qk::plugin
