// Test support for the stand-in libraries: a simulator of the test's own, a private data folder
// for QKComm.dll with a device map that points at that simulator, and the bound library.
#pragma once
#include <windows.h>
#include <string>
#include "framework/comm/CommResult.h"
#include "framework/comm/QkcBinding.h"
#include "tests/maker/SimulatorProcess.h"

namespace qk::test {

// Loads a library from the program folder and binds every QKC_ entry point by name.
bool BindCommLibrary(comm::QkcBinding& binding);
void UnbindCommLibrary(comm::QkcBinding& binding);

// A port record for the given interface and port name.
comm::PortRecord MakePortRecord(const std::u16string& keyword, const std::u16string& name);
std::u16string U16(const std::wstring& text);
std::wstring FromSlot(const char16_t* slot);

class CommFixture {
public:
    // Starts the simulator, makes the data folder and writes `deviceMap` with every
    // "{SIM}" replaced by the simulator's endpoint; then binds QKComm.dll.
    bool SetUp(const std::string& deviceMap);
    void TearDown();

    SimulatorProcess sim;
    comm::QkcBinding qkc{};
    std::wstring dataFolder;
};

// The device map most tests use: one port of each interface, all reaching the simulator.
std::string StandardDeviceMap();

} // namespace qk::test
