// IClock over the tick count, the C library's wall clock and Sleep.
#pragma once
#include "platform/os/Clock.h"

namespace qk::os {

class Win32Clock : public IClock {
public:
    uint64_t NowMs() override;
    uint32_t NowSeconds() override;
    void Sleep(uint32_t ms) override;
};

} // namespace qk::os
