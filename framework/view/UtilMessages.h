// The system's own window messages, shared by the executable and every plug-in, and the
// request block with which an exchange asks the main frame to run its progress dialog.
#pragma once
#include <cstddef>
#include <cstdint>
#include <windows.h>

namespace qk {

// To the main frame: create the progress dialog hidden (wParam: parent or 0 for the frame);
// answers its window or 0.
inline constexpr UINT WM_UTIL_CREATECOMMSTATE = WM_USER + 100;
// To the main frame: run the progress dialog until the worker ends (wParam: CommStateRequest*,
// lParam: owner window or 0 for the frame); 0 done, -1 no dialog.
inline constexpr UINT WM_UTIL_RUNCOMMSTATE = WM_USER + 101;
// To the progress dialog: start its show and poll timers.
inline constexpr UINT WM_UTIL_STARTCOMMSTATE = WM_USER + 102;
// To the progress dialog: a new position (wParam); 0 kept, -1 below the highest so far.
inline constexpr UINT WM_UTIL_SETPROGRESS = WM_USER + 103;

// To the main frame, which relays them to the status pane.
inline constexpr UINT WM_UTIL_UPDATEPRINTERINFO = WM_USER + 200;
inline constexpr UINT WM_UTIL_GETSTATUS = WM_USER + 201; // wParam: int32_t* for the status code
inline constexpr UINT WM_UTIL_READSETTINGS = WM_USER + 202;
inline constexpr UINT WM_UTIL_STOPSTATUS = WM_USER + 203;
// To the status pane only.
inline constexpr UINT WM_UTIL_STATUSCHANGED = WM_USER + 204;
inline constexpr UINT WM_UTIL_SETICON = WM_USER + 205;

// Animation kinds of a request: 2 shows the printer clip, anything else the plain one.
inline constexpr int32_t kCommAnimationPrinter = 2;

// What an exchange hands to the main frame with WM_UTIL_RUNCOMMSTATE. The handles stay owned
// by the exchange; the dialog only waits on them.
struct CommStateRequest {
    HANDLE* workerThread;  // signalled when the worker ends
    HANDLE* progressEvent; // manual-reset, set after every progress message
    int32_t animationKind;
    int32_t showDelayMs;
};
static_assert(sizeof(void*) != 4 || sizeof(CommStateRequest) == 16);
static_assert(offsetof(CommStateRequest, animationKind) == 2 * sizeof(void*));

} // namespace qk
