// The utility's unattended run for deployment tools (/a or /c with /o): no window, no question.
// The settings file library checks the file, then has this class open the port that /o names
// (a registered port of the served model by its port name or device path, else /o as a device
// path, as the remote start opens one), and applies or compares; the result file goes to the
// data folder and the run's exit code is the process's.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "app/startup/ExtCommandLineInfo.h"
#include "framework/comm/QkcBinding.h"
#include "framework/context/UtilContext.h"

namespace qk::app {

class CUnattendedStart {
public:
    // context and binding: not owned; the binding is bound.
    CUnattendedStart(UtilContext& context, comm::QkcBinding& binding,
                     const CExtCommandLineInfo& commandLine)
        : m_context(context), m_binding(binding), m_commandLine(commandLine) {}

    // The command line asks for a run this class can do (one of /a and /c, and /o).
    static bool IsWellFormed(const CExtCommandLineInfo& commandLine);
    // The result file for the port: "SettingsFileResult_<port>.txt" in the data folder, the
    // characters a file name cannot hold as '_'.
    static std::u16string ResultPath(const std::u16string& dataFolder, const std::u16string& port);

    // Loads the settings file library from the program folder and runs; the exit code.
    int32_t Run(const std::u16string& programFolder);

private:
    static int32_t WINAPI OpenPrinterProc(void* self);
    int32_t OpenPrinter();
    // The registered port /o names; false when none is.
    bool FindRegisteredPort(comm::PortRecord& record);

    UtilContext& m_context;
    comm::QkcBinding& m_binding;
    const CExtCommandLineInfo& m_commandLine;
};

} // namespace qk::app
