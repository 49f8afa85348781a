#include "tests/support/MessageSequence.h"

#include <commctrl.h>
#include <cstdio>

namespace qk::test {
namespace {

// One recorder at a time: the hooks' procedures find it here.
MessageRecorder* g_recorder = nullptr;

struct Name {
    UINT message;
    const char* name;
};

constexpr Name kNames[] = {
    {WM_CREATE, "WM_CREATE"},
    {WM_DESTROY, "WM_DESTROY"},
    {WM_SIZE, "WM_SIZE"},
    {WM_SETFOCUS, "WM_SETFOCUS"},
    {WM_ENABLE, "WM_ENABLE"},
    {WM_SETREDRAW, "WM_SETREDRAW"},
    {WM_SETTEXT, "WM_SETTEXT"},
    {WM_PAINT, "WM_PAINT"},
    {WM_CLOSE, "WM_CLOSE"},
    {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
    {WM_SETFONT, "WM_SETFONT"},
    {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
    {WM_NOTIFY, "WM_NOTIFY"},
    {WM_INITDIALOG, "WM_INITDIALOG"},
    {WM_COMMAND, "WM_COMMAND"},
    {WM_TIMER, "WM_TIMER"},
    {BM_SETCHECK, "BM_SETCHECK"},
    {BM_SETSTYLE, "BM_SETSTYLE"},
    {STM_SETIMAGE, "STM_SETIMAGE"},
    {CB_ADDSTRING, "CB_ADDSTRING"},
    {CB_RESETCONTENT, "CB_RESETCONTENT"},
    {CB_SETCURSEL, "CB_SETCURSEL"},
    {LVM_DELETEALLITEMS, "LVM_DELETEALLITEMS"},
    {LVM_INSERTITEMW, "LVM_INSERTITEMW"},
    {LVM_SETITEMW, "LVM_SETITEMW"},
    {LVM_SETITEMTEXTW, "LVM_SETITEMTEXTW"},
    {LVM_SETITEMSTATE, "LVM_SETITEMSTATE"},
    {LVM_INSERTCOLUMNW, "LVM_INSERTCOLUMNW"},
    {LVM_SETCOLUMNW, "LVM_SETCOLUMNW"},
    {LVM_DELETECOLUMN, "LVM_DELETECOLUMN"},
    {LVM_SETIMAGELIST, "LVM_SETIMAGELIST"},
    {LVM_SETEXTENDEDLISTVIEWSTYLE, "LVM_SETEXTENDEDLISTVIEWSTYLE"},
    {LVM_ENSUREVISIBLE, "LVM_ENSUREVISIBLE"},
    {WM_APP, "WM_APP"},
};

std::string Describe(UINT message, int control, bool posted) {
    std::string text = MessageName(message);
    if (control)
        text += " to " + std::to_string(control);
    if (posted)
        text += " (posted)";
    return text;
}

bool Matches(const SeenMessage& seen, const ExpectedMessage& expected) {
    return seen.message == expected.message && seen.control == expected.control &&
           seen.posted == ((expected.flags & kPosted) != 0) &&
           (!(expected.flags & kWParam) || seen.wParam == expected.wParam) &&
           (!(expected.flags & kLParam) || seen.lParam == expected.lParam);
}

} // namespace

std::string MessageName(UINT message) {
    for (const Name& entry : kNames)
        if (entry.message == message)
            return entry.name;
    char text[24];
    std::snprintf(text, sizeof text, "0x%04X", message);
    return text;
}

MessageRecorder::MessageRecorder(std::function<bool(HWND)> watch, Interesting interesting)
    : m_watch(std::move(watch)), m_interesting(std::move(interesting)) {
    g_recorder = this;
    m_callHook = ::SetWindowsHookExW(WH_CALLWNDPROC, OnCall, nullptr, ::GetCurrentThreadId());
    m_getHook = ::SetWindowsHookExW(WH_GETMESSAGE, OnGet, nullptr, ::GetCurrentThreadId());
}

MessageRecorder::~MessageRecorder() {
    Stop();
}

std::vector<SeenMessage> MessageRecorder::Stop() {
    if (m_callHook)
        ::UnhookWindowsHookEx(m_callHook);
    if (m_getHook)
        ::UnhookWindowsHookEx(m_getHook);
    m_callHook = m_getHook = nullptr;
    if (g_recorder == this)
        g_recorder = nullptr;
    return m_seen;
}

LRESULT CALLBACK MessageRecorder::OnCall(int code, WPARAM wp, LPARAM lp) {
    if (code >= 0 && g_recorder) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lp);
        g_recorder->Note(call->hwnd, call->message, call->wParam, call->lParam, false);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK MessageRecorder::OnGet(int code, WPARAM wp, LPARAM lp) {
    if (code >= 0 && wp == PM_REMOVE && g_recorder) {
        const auto* msg = reinterpret_cast<const MSG*>(lp);
        if (msg->hwnd)
            g_recorder->Note(msg->hwnd, msg->message, msg->wParam, msg->lParam, true);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

void MessageRecorder::Note(HWND hwnd, UINT message, WPARAM wp, LPARAM lp, bool posted) {
    if (!m_root && m_watch(hwnd))
        m_root = hwnd;
    if (!m_root || (hwnd != m_root && !::IsChild(m_root, hwnd)))
        return;
    const int control = hwnd == m_root ? 0 : ::GetDlgCtrlID(hwnd);
    if (m_interesting(message, control))
        m_seen.push_back({hwnd, control, message, wp, lp, posted});
}

std::string CompareSequence(const std::vector<SeenMessage>& seen,
                            const std::vector<ExpectedMessage>& expected) {
    std::size_t s = 0, e = 0;
    while (s < seen.size() || e < expected.size()) {
        if (s < seen.size() && e < expected.size() && Matches(seen[s], expected[e])) {
            ++s;
            ++e;
        } else if (e < expected.size() && (expected[e].flags & kOptional)) {
            ++e;
        } else {
            break;
        }
    }
    if (s == seen.size() && e == expected.size())
        return "";
    std::string text = "expected:\n";
    for (std::size_t i = 0; i < expected.size(); ++i)
        text += (i == e ? " >" : "  ") +
                Describe(expected[i].message, expected[i].control, expected[i].flags & kPosted) +
                (expected[i].flags & kOptional ? " [optional]" : "") + "\n";
    if (e == expected.size())
        text += " > (end)\n";
    text += "seen:\n";
    for (std::size_t i = 0; i < seen.size(); ++i)
        text += (i == s ? " >" : "  ") +
                Describe(seen[i].message, seen[i].control, seen[i].posted) + "\n";
    if (s == seen.size())
        text += " > (end)\n";
    return text;
}

} // namespace qk::test
