// TarrowPA.exe: the command emulator's port tool, reduced to what the utility relies on.
//   TarrowPA.exe -RE1:<port>   routes the port through the emulator (sets bit 24 of TarDM)
//   TarrowPA.exe -RE0:<port>   takes it off the emulator (clears the bit)
//   TarrowPA.exe -Reload       has the emulator read its settings again
// Each run appends one line to the tools' runs.log: name, time, the argument and the exit code.
// Windowless. Exit codes: 0 done, 1/2 the log could not be written, 3 bad arguments, 4 the port
// has no entry in the Windows port registry, 5 the entry could not be written.
#include <windows.h>
#include <shellapi.h>
#include <string>
#include "maker/common/PortRegistry.h"
#include "maker/common/ToolRunLog.h"

namespace {

constexpr int kBadArguments = 3;
constexpr int kNoSuchPort = 4;
constexpr int kNotWritten = 5;

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    const std::size_t n = wcslen(prefix);
    return text.size() >= n && _wcsnicmp(text.c_str(), prefix, n) == 0;
}

int Route(const std::wstring& port, bool routed) {
    if (port.empty())
        return kBadArguments;
    const int changed = qk::ports::SetRouted(port, routed);
    return changed < 0 ? kNotWritten : changed == 0 ? kNoSuchPort : 0;
}

int Execute(const std::wstring& argument) {
    if (StartsWithNoCase(argument, L"-RE1:"))
        return Route(argument.substr(5), true);
    if (StartsWithNoCase(argument, L"-RE0:"))
        return Route(argument.substr(5), false);
    // The stand-in emulator reads its settings at every print, so a reload has nothing to redo.
    if (_wcsicmp(argument.c_str(), L"-Reload") == 0)
        return 0;
    return kBadArguments;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring argument = argv && argc == 2 ? argv[1] : L"";
    if (argv)
        LocalFree(argv);
    const int result = argument.empty() ? kBadArguments : Execute(argument);
    const int logged = qk::tools::RecordRun(qk::win::ToUtf8(argument.empty() ? L"-" : argument) +
                                            " " + std::to_string(result));
    qk::tools::HoldIfAsked();
    return result != 0 ? result : logged;
}
