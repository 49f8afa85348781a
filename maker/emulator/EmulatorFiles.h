// Where the command emulator keeps its files: the settings file "CMDSETParser.ini" that the
// utility writes, one section per port, and beside it the journal of each section,
// "Journal_<section>.txt". The folder is %ProgramData%\TARROW\QKCommandEmulator\, or the one
// that QKEMU_DATA_DIR names (tests use that for a private set).
#pragma once
#include <string>

namespace qk::emulator {

// With a trailing backslash; empty when no folder can be had.
std::wstring EmulatorFolder();
std::wstring ParserIniPath();
// Characters that a file name cannot hold become '_'.
std::wstring JournalPath(const std::wstring& section);

} // namespace qk::emulator
