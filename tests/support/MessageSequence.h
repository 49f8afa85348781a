// Message sequences, as a test pins the order in which windows get their messages: a recorder
// that notes what the windows of this thread get (sent and posted), and a comparison with a
// const table of the messages expected, each with flags, printing the messages by name when
// they differ.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace qk::test {

enum MessageFlags : unsigned {
    kSent = 0,
    kPosted = 1 << 0,   // taken from the queue, not sent
    kOptional = 1 << 1, // may be missing (a platform sends it, another does not)
    kWParam = 1 << 2,   // the wParam must match
    kLParam = 1 << 3,   // the lParam must match
};

struct ExpectedMessage {
    UINT message;
    unsigned flags;
    int control = 0; // the control identifier of the window it goes to; 0: the watched window
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct SeenMessage {
    HWND hwnd;
    int control; // 0 for the watched window itself
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool posted;
};

// The name of a message the tests pin ("WM_SETTEXT", "LVM_INSERTITEMW"), else its number.
std::string MessageName(UINT message);

// Records, while it lives, the messages that `interesting` accepts (message, control
// identifier or 0) which windows of this thread get from the first window accepted by `watch`
// on: that window and its children. Sent messages are noted when the window procedure is
// called, posted ones when the thread takes them.
class MessageRecorder {
public:
    using Interesting = std::function<bool(UINT message, int control)>;
    MessageRecorder(std::function<bool(HWND)> watch, Interesting interesting);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // Ends the recording (before the windows go) and answers what was seen.
    std::vector<SeenMessage> Stop();

private:
    static LRESULT CALLBACK OnCall(int code, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK OnGet(int code, WPARAM wp, LPARAM lp);
    void Note(HWND hwnd, UINT message, WPARAM wp, LPARAM lp, bool posted);

    std::function<bool(HWND)> m_watch;
    Interesting m_interesting;
    HWND m_root = nullptr;
    std::vector<SeenMessage> m_seen;
    HHOOK m_callHook = nullptr;
    HHOOK m_getHook = nullptr;
};

// Compares the seen messages with the table, as expected entries in order: an optional entry
// may be missing, nothing else may be missing, added or out of order. The empty text when they
// match; else both sequences by name, the first difference marked.
std::string CompareSequence(const std::vector<SeenMessage>& seen,
                            const std::vector<ExpectedMessage>& expected);

} // namespace qk::test
