#include "tests/support/ScriptedPresenter.h"

namespace qk::test {

ScriptedPresenter::ScriptedPresenter() : previous_(SetMessagePresenter(this)) {}

ScriptedPresenter::~ScriptedPresenter() {
    SetMessagePresenter(previous_);
}

int ScriptedPresenter::Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    shown_.push_back({owner, text ? text : L"", caption ? caption : L"", type});
    if (!answers_.empty()) {
        int id = answers_.front();
        answers_.pop_front();
        return id;
    }
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
        return IDNO;
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

} // namespace qk::test
