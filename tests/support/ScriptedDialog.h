// A dialog with a script: each step runs from the dialog's own message loop once the dialog
// is up; the next step runs only if the dialog is still open after the previous one.
#pragma once
#include <windows.h>
#include <cstddef>
#include <functional>
#include <vector>

namespace qk::test {

template <typename Dialog> class ScriptedDialog : public Dialog {
public:
    using Step = std::function<void(HWND)>;
    using Dialog::Dialog;

    std::vector<Step> steps;
    std::size_t stepsRun = 0;

protected:
    static constexpr UINT kRunStep = WM_APP + 40;

    bool OnInitDialog() override {
        bool focus = Dialog::OnInitDialog();
        if (!steps.empty())
            this->PostMessage(kRunStep);
        return focus;
    }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (msg != kRunStep)
            return Dialog::OnMessage(msg, wp, lp, result);
        if (stepsRun < steps.size()) {
            Step step = steps[stepsRun++];
            step(this->m_hWnd);
            if (stepsRun < steps.size())
                this->PostMessage(kRunStep);
        }
        return true;
    }
};

} // namespace qk::test
