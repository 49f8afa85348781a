// The real QK40UTL.exe against printer simulators on ports of their own, for the settings
// file tests and benchmarks: the simulators, their control channel, unattended runs to their end
// and their result files, and the settings file page in the window.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include "app/status/SettingsCommandFile.h"
#include "framework/plugin/UnattendedExitCode.h"
#include "framework/store/PluginDataMgr.h"
#include "maker/printer/ControlClient.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "plugins/logo/LogoSettings.h"
#include "plugins/paper/PaperSettings.h"
#include "framework/comm/UserSetupCommands.h"
#include "plugins/settingsfile/SettingsFileCheck.h"
#include "resource.h"
#include "tests/app/RemoteListView.h"
#include "tests/app/StartupEndToEndFixture.h"
#include "tests/settingsfile/SettingsFileSamples.h"

namespace qk::test {
namespace fs = std::filesystem;

inline std::string ReadText(const std::wstring& path) {
    std::ifstream file(fs::path(path), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline bool WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(fs::path(path), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The sample file, written at a time of its own.
inline std::vector<uint8_t> FileOtherThanFactory() {
    return qk::test::FileOtherThanFactory({2026, 12, 9, 8, 0});
}

// One simulator on free ports, ended with the test.
struct Printer {
    std::wstring port; // the library's port name for it
    ProcessRunner process;
    unsigned data = 0, control = 0;
};

class SettingsFileProgram : public UtilityRun {
protected:
    void TearDown() override {
        for (auto& printer : printers_) {
            std::string reply;
            if (printer->control && !printer->process.Wait(0))
                sim::SendControlLine(static_cast<uint16_t>(printer->control), "quit", reply, 5000);
            if (!printer->process.Wait(5000))
                printer->process.Kill();
        }
        // The data folder is the prefix's, shared with the suites that run beside this one.
        std::error_code error;
        for (const auto& printer : printers_)
            fs::remove(fs::path(ResultPath(printer->port)), error);
        UtilityRun::TearDown();
    }

    // Starts `count` simulators, each on a serial port of the library registered for the QK-R40
    // (the first is the one the printer selection offers first).
    void StartPrinters(int count) {
        std::string map = "[COM]\r\n";
        std::string ports =
            "[Ports]\r\nFormat=QKComm.Ports.1\r\nCount=" + std::to_string(count) + "\r\n";
        for (int i = 0; i < count; ++i) {
            auto printer = std::make_unique<Printer>();
            // Not the fixture's own port name: no later test takes these for its own.
            printer->port = L"QKSETFILE" + std::to_wstring(::GetCurrentProcessId()) +
                            static_cast<wchar_t>(L'A' + i);
            const std::wstring portFile = Folder() + L"\\sim" + std::to_wstring(i) + L".ports";
            ASSERT_TRUE(printer->process.Start(StageDir() + L"QKPrinterSim.exe",
                                               L"--port 0 --control-port 0 --parent " +
                                                   std::to_wstring(::GetCurrentProcessId()) +
                                                   L" --port-file \"" + portFile + L"\""));
            ASSERT_TRUE(PumpUntil(
                [&] {
                    return std::sscanf(ReadText(portFile).c_str(), "%u %u", &printer->data,
                                       &printer->control) == 2;
                },
                15000))
                << "simulator " << i << " did not report its ports";
            const std::string name(printer->port.begin(), printer->port.end());
            map += name + "=127.0.0.1:" + std::to_string(printer->data) + "\r\n";
            ports += "[Port" + std::to_string(i + 1) + "]\r\nInterface=COM\r\nPortName=" + name +
                     "\r\nDeviceName=QK-R40\r\nField1040=-1\r\nField1044=-1\r\n";
            printers_.push_back(std::move(printer));
        }
        map += "[Features]\r\n2=1\r\n";
        ASSERT_TRUE(WriteBytes(Folder() + L"\\comm\\DeviceMap.ini",
                               std::vector<uint8_t>(map.begin(), map.end())));
        ASSERT_TRUE(WriteBytes(Folder() + L"\\comm\\Ports.ini",
                               std::vector<uint8_t>(ports.begin(), ports.end())));
    }

    std::string Control(int printer, const std::string& command) {
        std::string reply;
        if (!sim::SendControlLine(static_cast<uint16_t>(printers_[printer]->control), command,
                                  reply, 15000))
            return "";
        return reply;
    }
    const std::wstring& Port(int printer) const { return printers_[printer]->port; }
    unsigned DataPort(int printer) const { return printers_[printer]->data; }
    // The bytes the printer took since it started.
    unsigned long long Arrived(int printer) {
        unsigned long long bytes = 0;
        EXPECT_EQ(std::sscanf(Control(printer, "get arrived").c_str(), "OK %llu", &bytes), 1);
        return bytes;
    }

    // Runs the utility with the arguments to its end; its exit code, or -1 when it did not end
    // by itself (a window waiting for an answer).
    long RunToEnd(const std::wstring& arguments) {
        ProcessRunner run;
        if (!Launch(run, arguments))
            return -1;
        if (!run.Wait(90000)) {
            ADD_FAILURE() << "still running; box: "
                          << testing::PrintToString(WaitForMessageBox(run.Id(), 0).text);
            run.Kill();
            run.Wait(5000);
            return -1;
        }
        return static_cast<long>(run.ExitCode());
    }
    long Apply(const std::wstring& file, int printer) {
        return RunToEnd(L"/a\"" + file + L"\" /o" + Port(printer));
    }
    long Check(const std::wstring& file, int printer) {
        return RunToEnd(L"/c\"" + file + L"\" /o" + Port(printer));
    }
    static std::wstring ResultPath(const std::wstring& port) {
        return ToWide(DataFolder()) + L"\\SettingsFileResult_" + port + L".txt";
    }
    // The result file of the last run on the port, by lines.
    std::vector<std::string> Result(const std::wstring& port) const {
        return Lines(ReadText(ResultPath(port)));
    }
    // The result's lines of the settings (after the column names).
    std::vector<std::string> SettingLines(const std::wstring& port) const {
        std::vector<std::string> lines = Result(port);
        auto names = std::find(lines.begin(), lines.end(), "setting\tfile\tbefore\tafter\toutcome");
        return names == lines.end() ? std::vector<std::string>{}
                                    : std::vector<std::string>(names + 1, lines.end());
    }
    std::wstring WriteFile(const wchar_t* name, const std::vector<uint8_t>& bytes) {
        const std::wstring path = Folder() + L"\\" + name;
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }

    // Presses a button of the page that chooses a file (Save, Apply to Printers) and gives the
    // file chooser the path.
    void ChooseToSave(HWND save, const std::wstring& path) {
        ::PostMessageW(save, BM_CLICK, 0, 0);
        HWND chooser = nullptr;
        ASSERT_TRUE(PumpUntil(
            [&] {
                for (HWND w : TopLevelWindows(program_.Id(), L"#32770"))
                    if (::GetDlgItem(w, 0x47C) || ::GetDlgItem(w, 0x480))
                        chooser = w;
                return chooser != nullptr;
            },
            30000))
            << "no file chooser";
        for (int id : {0x47C, 0x480})
            ::SetDlgItemTextW(chooser, id, path.c_str());
        PressButton(chooser, IDOK);
    }

    // Shows the settings file page, `fromEnd` entries above the menu's last one; its Save
    // button.
    HWND ShowSettingsFilePage(HWND frame, int fromEnd = 0) {
        HWND list = Descendant(frame, 0, L"SysListView32");
        if (!list)
            return nullptr;
        ::PostMessageW(list, WM_KEYDOWN, VK_END, 0);
        for (int i = 0; i < fromEnd; ++i)
            ::PostMessageW(list, WM_KEYDOWN, VK_UP, 0);
        ::PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
        HWND save = nullptr;
        PumpUntil(
            [&] {
                save = Descendant(frame, IDC_SETFILE_SAVE, nullptr);
                return save && ::IsWindowVisible(save);
            },
            15000);
        return save;
    }

    // Saves the settings of the printer the selection offers first on the settings file page
    // of the window, after the start's settings read.
    void SaveThroughThePage(const std::wstring& path) {
        HWND frame = nullptr;
        ASSERT_NO_FATAL_FAILURE(StartThroughSelection(frame));
        HWND save = ShowSettingsFilePage(frame);
        ASSERT_NE(save, nullptr);
        // The start's settings read may still be on its way: until it got every setting the
        // page saves nothing and says so.
        const std::wstring saved = L"The printer's settings were saved to " + path + L".";
        std::wstring told;
        for (int tries = 0; tries < 10 && told != saved; ++tries) {
            if (tries > 0)
                PumpMessages(1000);
            ASSERT_NO_FATAL_FAILURE(ChooseToSave(save, path));
            told = Answer(IDOK);
        }
        EXPECT_EQ(told, saved);
        ASSERT_TRUE(Close(program_, frame));
    }

    // The program has a progress dialog, shown or not yet.
    bool ProgressDialogExists() {
        for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w;
             w = ::FindWindowExW(nullptr, w, L"#32770", nullptr)) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(w, &process);
            if (process == program_.Id() && ::GetDlgItem(w, 1029))
                return true;
        }
        return false;
    }

    // The several printers' dialog, once it is up; null when it did not come.
    HWND MultiApplyDialog() {
        HWND dialog = nullptr;
        PumpUntil(
            [&] {
                for (HWND w : TopLevelWindows(program_.Id(), L"#32770"))
                    if (::GetDlgItem(w, IDC_SETFILE_MULTI_LIST) && ::IsWindowVisible(w))
                        dialog = w;
                return dialog != nullptr;
            },
            30000);
        return dialog;
    }

private:
    std::vector<std::unique_ptr<Printer>> printers_;
};

} // namespace qk::test
