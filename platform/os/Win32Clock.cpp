#include "platform/os/Win32Clock.h"
#include <windows.h>
#include <ctime>
#include "platform/os/RealOs.h"

namespace qk::os {

uint64_t Win32Clock::NowMs() {
    return GetTickCount64();
}

uint32_t Win32Clock::NowSeconds() {
    return static_cast<uint32_t>(std::time(nullptr));
}

void Win32Clock::Sleep(uint32_t ms) {
    ::Sleep(ms);
}

IClock& RealClock() {
    static Win32Clock clock;
    return clock;
}

} // namespace qk::os
