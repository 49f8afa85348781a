// One run of a companion tool (the network tool, the Bluetooth connector), watched on a
// worker thread: the worker starts the program in its own folder, waits for its end and tells
// a window of the UI thread both by posted messages. It never waits for the UI thread, which
// meanwhile runs a wait dialog's loop.
#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include "platform/os/Process.h"

namespace qk::app {

class CToolRun {
public:
    // What the worker posts: start(startArg, 0) before the program starts and
    // end(endArg, started: 1 or 0) once it has ended and its handle is closed.
    struct Messages {
        UINT start;
        WPARAM startArg;
        UINT end;
        WPARAM endArg;
    };

    // The launcher is not owned and must outlive every worker (the real one lives as long as
    // the process); a worker may outlive this object while its tool runs.
    explicit CToolRun(os::IProcessLauncher& launcher);
    ~CToolRun();
    CToolRun(const CToolRun&) = delete;
    CToolRun& operator=(const CToolRun&) = delete;

    // Lets any earlier run go, then starts a worker for `program`; false when none started
    // (and then nothing is posted).
    bool Start(HWND target, const std::u16string& program, const Messages& messages);
    // Lets the current run go: its worker goes on until the tool ends but posts nothing more,
    // so a window gone (or a handle reused) meanwhile gets nothing.
    void Release();

private:
    struct Listener;
    struct Job;
    static unsigned __stdcall Watch(void* argument);
    static bool Post(Listener& listener, UINT msg, WPARAM wp, LPARAM lp);

    os::IProcessLauncher& m_launcher;
    std::shared_ptr<Listener> m_listener; // shared with the current worker
    HANDLE m_worker = nullptr;            // owned
};

} // namespace qk::app
