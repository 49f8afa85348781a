// A message-box presenter for tests: records every box and answers from a script.
#pragma once
#include <deque>
#include <string>
#include <vector>
#include "platform/MessagePresenter.h"

namespace qk::test {

struct ShownMessage {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
    UINT Icon() const { return type & MB_ICONMASK; }
    UINT Buttons() const { return type & MB_TYPEMASK; }
};

class ScriptedPresenter : public IMessagePresenter {
public:
    // Installs itself for its lifetime.
    ScriptedPresenter();
    ~ScriptedPresenter() override;

    // Next answers, in order; when the script runs out, IDOK (or IDCANCEL/IDNO for boxes
    // without OK) is answered.
    void Answer(int id) { answers_.push_back(id); }
    const std::vector<ShownMessage>& Shown() const { return shown_; }
    void Clear() { shown_.clear(); }

    int Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override;

private:
    std::deque<int> answers_;
    std::vector<ShownMessage> shown_;
    IMessagePresenter* previous_;
};

} // namespace qk::test
