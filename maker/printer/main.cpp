// QKPrinterSim: a QK-R40 on 127.0.0.1 for development and tests.
//   QKPrinterSim.exe [--port N] [--control-port N] [--port-file PATH] [--model NAME]
//                    [--parent PID]   (ends with that process)
//                    [--emulator-port NAME]   (the command emulator keeps that port's journal)
//                    [--receipt-file PATH]    (what it prints, as text; none without it)
//   QKPrinterSim.exe --control PORT COMMAND...   (sends one control command, prints the reply)
#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "maker/common/TcpSocket.h"
#include "maker/common/WinText.h"
#include "maker/emulator/EmulatorJournal.h"
#include "maker/printer/CodeTableText.h"
#include "maker/printer/ControlClient.h"
#include "maker/printer/ControlCommand.h"
#include "maker/printer/ReceiptText.h"
#include "maker/printer/SimulatorServer.h"

namespace {

qk::sim::SimulatorServer* g_server = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD) {
    if (g_server)
        g_server->Stop();
    return TRUE;
}

bool ParsePort(const std::wstring& text, uint16_t& port) {
    wchar_t* end = nullptr;
    long value = std::wcstol(text.c_str(), &end, 10);
    if (*end != L'\0' || value < 0 || value > 65535)
        return false;
    port = static_cast<uint16_t>(value);
    return true;
}

// Appends one printed line to the receipt file, so a person can follow what was printed.
void AppendLine(const std::wstring& path, const std::string& line) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

int Usage() {
    std::fprintf(stderr,
                 "usage: QKPrinterSim [--port N] [--control-port N] [--port-file PATH] "
                 "[--model NAME] [--parent PID] [--emulator-port NAME] [--receipt-file PATH]\n"
                 "       QKPrinterSim "
                 "--control PORT COMMAND...\n"
                 "commands: %s\n",
                 qk::sim::ControlCommand::Help());
    return 2;
}

int RunClient(const std::vector<std::wstring>& args, std::size_t first) {
    uint16_t port = 0;
    if (first >= args.size() || !ParsePort(args[first], port) || first + 1 >= args.size())
        return Usage();
    std::wstring line;
    for (std::size_t i = first + 1; i < args.size(); ++i)
        line += (line.empty() ? L"" : L" ") + args[i];
    std::string reply;
    if (!qk::sim::SendControlLine(port, qk::win::ToUtf8(line), reply)) {
        std::fprintf(stderr, "QKPrinterSim: no simulator answers on control port %u\n", port);
        return 3;
    }
    std::printf("%s\n", reply.c_str());
    return reply.rfind("OK", 0) == 0 ? 0 : 1;
}

int Main(const std::vector<std::wstring>& args) {
    qk::net::WinsockSession winsock;
    if (!winsock.Ok())
        return 1;
    uint16_t dataPort = 9100, controlPort = 9101;
    std::wstring portFile, model, emulatorPort, receiptFile;
    HANDLE parent = nullptr;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        bool hasValue = i + 1 < args.size();
        if (a == L"--control")
            return RunClient(args, i + 1);
        if (a == L"--port" && hasValue && ParsePort(args[i + 1], dataPort))
            ++i;
        else if (a == L"--control-port" && hasValue && ParsePort(args[i + 1], controlPort))
            ++i;
        else if (a == L"--port-file" && hasValue)
            portFile = args[++i];
        else if (a == L"--model" && hasValue)
            model = args[++i];
        else if (a == L"--receipt-file" && hasValue)
            receiptFile = args[++i];
        else if (a == L"--emulator-port" && hasValue)
            emulatorPort = args[++i];
        else if (a == L"--parent" && hasValue)
            parent = OpenProcess(SYNCHRONIZE, FALSE, std::wcstoul(args[++i].c_str(), nullptr, 10));
        else
            return Usage();
    }
    qk::sim::PrinterState state;
    qk::sim::SetupMemory memory;
    if (!model.empty()) {
        std::string name = qk::win::ToUtf8(model);
        state.UpdateIdentity([&](qk::sim::PrinterIdentity& id) { id.model = name; });
    }
    // The command emulator in front of the printer: what is printed on that port is kept as
    // its section's journal while the utility has the journal on and the port routed.
    qk::emulator::EmulatorJournal journal(emulatorPort);
    if (!emulatorPort.empty())
        state.SetPrintListener([&journal](const std::string& data) { journal.Keep(data); });
    // What it prints, as text: the receipt file, UTF-8, one printed line a line. Only when
    // asked for: a file beside the program would grow with every run of every test (the
    // last cut receipt is always there for the control channel's "get receipt").
    qk::sim::SetHighByteRenderer(&qk::sim::CodeTableCharacter);
    if (!receiptFile.empty())
        state.Receipts().SetListener(
            [receiptFile](const std::string& line) { AppendLine(receiptFile, line); });
    qk::sim::SimulatorServer server(state, memory);
    std::string error;
    if (!server.Start(dataPort, controlPort, error)) {
        std::fprintf(stderr, "QKPrinterSim: %s\n", error.c_str());
        return 1;
    }
    g_server = &server;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    std::printf("QKPrinterSim: printer port %u, control port %u\n", server.DataPort(),
                server.ControlPort());
    std::fflush(stdout);
    if (!portFile.empty()) {
        std::string text =
            std::to_string(server.DataPort()) + " " + std::to_string(server.ControlPort()) + "\r\n";
        if (!qk::win::WriteFileText(portFile, text))
            std::fprintf(stderr, "QKPrinterSim: cannot write the port file\n");
    }
    server.Run(parent);
    g_server = nullptr;
    if (parent)
        CloseHandle(parent);
    return 0;
}

} // namespace

int main() {
    try {
        int argc = 0;
        wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        std::vector<std::wstring> args;
        for (int i = 0; i < argc; ++i)
            args.emplace_back(argv[i]);
        LocalFree(argv);
        return Main(args);
    } catch (...) {
        std::fprintf(stderr, "QKPrinterSim: unexpected failure\n");
        return 1;
    }
}
