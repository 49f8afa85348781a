// Every message box of the program goes through one presenter, so that tests can read and
// answer them. The default presenter shows a real modal message box.
#pragma once
#include <windows.h>

namespace qk {

class IMessagePresenter {
public:
    virtual ~IMessagePresenter() = default;
    // Same contract as MessageBoxW: the answer is the button identifier (IDOK, IDYES ...).
    virtual int Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) = 0;
};

// The presenter in use; never null.
IMessagePresenter& MessagePresenter();
// Installs a presenter (not owned); null restores the default one. Returns the previous one.
IMessagePresenter* SetMessagePresenter(IMessagePresenter* presenter);

inline int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    return MessagePresenter().Show(owner, text, caption, type);
}

} // namespace qk
