// What a screen reader hears of a window the program draws itself. The window's standard
// accessible object (the system's proxy) knows its place, size and focus but not what it
// shows: this object answers the window's name and, for a window of rows, each row's name
// and state, and hands every other question to the standard object. The accessibility
// library (oleacc) is loaded with the first question, so that a start-up no screen reader
// watches does not load it.
#pragma once
#include <windows.h>
#include <string>

namespace qk {

// The answers a drawn window gives; rows are numbered from 1 (0: the window itself).
class IAccessibleAnswers {
public:
    virtual std::u16string AccessibleName(LONG child) const = 0;
    virtual LONG AccessibleRowCount() const { return 0; }
    // STATE_SYSTEM_* bits of a row.
    virtual DWORD AccessibleRowState(LONG) const { return 0; }
    // A row's rectangle in the window's client coordinates.
    virtual RECT AccessibleRowRect(LONG) const { return RECT{0, 0, 0, 0}; }

protected:
    ~IAccessibleAnswers() = default;
};

class CAccessibleWindow {
public:
    explicit CAccessibleWindow(const IAccessibleAnswers& answers) : m_answers(answers) {}
    ~CAccessibleWindow() { Disconnect(); }
    CAccessibleWindow(const CAccessibleWindow&) = delete;
    CAccessibleWindow& operator=(const CAccessibleWindow&) = delete;

    // WM_GETOBJECT: true, with the message's answer, when it asks for the client object.
    bool OnGetObject(HWND window, WPARAM wp, LPARAM lp, LRESULT& result);
    // At the window's end: a screen reader may still hold the object, which from now on
    // answers that it is gone instead of asking the answers.
    void Disconnect();

    // Tell a listening screen reader that a row became the selected one or the focus.
    static void NotifySelection(HWND window, LONG child);
    static void NotifyFocus(HWND window, LONG child);
    static void NotifyNameChange(HWND window);

private:
    class CObject;
    const IAccessibleAnswers& m_answers;
    CObject* m_object = nullptr; // one reference held
};

} // namespace qk
