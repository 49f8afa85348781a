// What the simulated printer is and how it stands: its conditions (paper, cover, errors, ink),
// its identity answers and how it answers. Plain values, copied out of PrinterState.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qk::sim {

// Ink condition, carried in the fourth byte of the automatic status.
enum class InkCondition : uint8_t {
    None = 0,
    NoCartridge1 = 1,
    NoCartridge2 = 2,
    OutOfInk1 = 3,
    OutOfInk2 = 4,
    Cleaning = 5,
    Ink1NearEnd = 6,
    Ink2NearEnd = 7,
};

enum class ErrorKind : uint8_t { None, Recoverable, AutoRecoverable, Cutter, Fatal };

struct PrinterConditions {
    bool offline = false; // taken offline without another cause
    bool coverOpen = false;
    bool paperOut = false;
    bool paperNearEnd = false;
    ErrorKind error = ErrorKind::None;
    InkCondition ink = InkCondition::None;

    // Any stopping condition takes the printer offline.
    bool IsOffline() const { return offline || coverOpen || paperOut || error != ErrorKind::None; }
    bool operator==(const PrinterConditions&) const = default;
};

struct PrinterIdentity {
    std::string model = "QK-R40";
    std::string maker = "TARROW";
    std::string firmware = "1.40 QK";
    std::string serial = "QK4A000001";
    std::string fonts = "ANK";
    uint8_t modelId = 0x40;
    uint8_t typeId = 0x02; // has an autocutter
    uint8_t versionId = 0x21;
};

// A hostile answer to one question, chosen by the command bytes it starts with.
struct QuestionFault {
    enum class Kind : uint8_t {
        None,
        Garbage,  // the answer's bytes are noise (no terminator among them)
        Truncate, // the first half of the answer, without its terminator
        OverLong, // the answer with 300 bytes more before its terminator
        Late,     // the answer leaves `ms` late
        Trickle,  // the answer leaves one byte at a time, `ms` apart
    };
    std::vector<uint8_t> question;
    Kind kind = Kind::None;
    uint32_t ms = 0;
};

struct AnswerBehaviour {
    bool silent = false;   // accepts everything, never answers
    bool garbage = false;  // identity answers are noise
    bool truncate = false; // identity answers stop half-way, without their terminator
    uint32_t delayMs = 0;  // every answer leaves this late
    // Setup reads (memory switch, customized value) still answered before the printer falls
    // silent; -1: no such plan.
    int32_t setupReadsBeforeSilence = -1;
    QuestionFault fault;
};

} // namespace qk::sim
