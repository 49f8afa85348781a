#include "platform/MessagePresenter.h"

namespace qk {
namespace {

class SystemPresenter : public IMessagePresenter {
public:
    int Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override {
        return MessageBoxW(owner, text, caption, type);
    }
};

SystemPresenter g_system;
IMessagePresenter* g_current = &g_system;

} // namespace

IMessagePresenter& MessagePresenter() {
    return *g_current;
}

IMessagePresenter* SetMessagePresenter(IMessagePresenter* presenter) {
    IMessagePresenter* previous = g_current;
    g_current = presenter ? presenter : &g_system;
    return previous == &g_system ? nullptr : previous;
}

} // namespace qk
