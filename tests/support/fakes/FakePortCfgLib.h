// The port configuration library in memory: per port, its kind and target; loads and unloads
// are counted so that a test sees the library released on every path.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include "framework/system/PortCfgLib.h"

namespace qk::test {

class FakePortCfgLibState {
public:
    bool present = true;
    std::u16string loadedPath;
    int loads = 0;
    int unloads = 0;
    struct Port {
        int32_t numberAnswer = 0;
        int32_t kind = 0;
        int32_t stringAnswer = 0;
        std::u16string target;
    };
    std::map<std::u16string, Port> ports;
    // A factory for SystemServices: each question gets a library object over this state.
    std::function<std::unique_ptr<sys::IPortCfgLib>()> Factory();
};

} // namespace qk::test
