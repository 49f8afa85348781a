// Sends one line to a running simulator's control channel and answers its reply.
#pragma once
#include <cstdint>
#include <string>

namespace qk::sim {

// False when the simulator cannot be reached or does not reply within timeoutMs.
bool SendControlLine(uint16_t controlPort, const std::string& line, std::string& reply,
                     uint32_t timeoutMs = 5000);

} // namespace qk::sim
