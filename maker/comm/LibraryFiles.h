// Where the library keeps its files: "TARROW\QKComm" in the all-users application data folder,
// or the folder named by the environment variable QKCOMM_DATA_DIR (a test or a second
// simulated installation uses its own).
#pragma once
#include <string>

namespace qk::comm {

std::wstring DataFolder(); // with a trailing backslash; created when missing
std::wstring DeviceMapPath();
std::wstring PortsPath();

} // namespace qk::comm
