// The Windows installer under Wine: a silent installation into the program files folder, the
// installed utility run from there in the file mode, an upgrade that adds the printer
// simulator and keeps the operator's settings, and the uninstallation, which removes the
// program and leaves the data folder as it was.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include "app/shell/Model.h"
#include "tests/app/StartupEndToEndFixture.h"

namespace qk::test {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QK40UTL";

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, 0, path)) ? path : L"";
}

// The installer made for this run (scripts/install-test.sh), as a Windows path.
std::wstring InstallerPath() {
    const char* path = std::getenv("QK_TEST_INSTALLER");
    std::wstring wide = path ? std::wstring(path, path + std::strlen(path)) : L"";
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    return wide;
}

std::wstring UninstallValue(const wchar_t* name) {
    wchar_t value[260] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value,
                       &size) != ERROR_SUCCESS)
        return L"";
    return value;
}

// Every file under the folder with its contents.
std::map<std::wstring, std::string> Snapshot(const std::wstring& folder) {
    std::map<std::wstring, std::string> files;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(folder), error)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream file(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        files[entry.path().wstring()] = text.str();
    }
    return files;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class Installer : public UtilityRun {
protected:
    void SetUp() override {
        UtilityRun::SetUp();
        ASSERT_FALSE(InstallerPath().empty()) << "run through scripts/install-test.sh";
        // What an earlier, broken run may have left.
        std::error_code error;
        fs::remove_all(fs::path(ProgramFolder()), error);
    }

    static std::wstring ProgramFolder() {
        return ShellFolder(CSIDL_PROGRAM_FILES) + L"\\TARROW\\QK40Utl\\";
    }
    static std::wstring MenuFolder() { return ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\TARROW\\"; }

    // Runs the installer with the arguments; its exit code, or -1 when it did not end.
    static long RunInstaller(const std::wstring& arguments) {
        ProcessRunner setup;
        if (!setup.Start(InstallerPath(), arguments) || !setup.Wait(120000))
            return -1;
        return static_cast<long>(setup.ExitCode());
    }

    // The silent uninstaller hands over to a copy of itself and returns at once: done when the
    // program folder has gone.
    static bool Uninstall() {
        ProcessRunner uninstall;
        if (!uninstall.Start(ProgramFolder() + L"uninstall.exe", L"/S") || !uninstall.Wait(60000))
            return false;
        return PumpUntil([] { return !Exists(ProgramFolder()); }, 60000);
    }

    static std::wstring Language() {
        wchar_t value[16] = {};
        ::GetPrivateProfileStringW(L"LANGUAGE", L"LANGID", L"", value, 16,
                                   (ProgramFolder() + L"SETTING.INI").c_str());
        return value;
    }
};

TEST_F(Installer, SilentInstallRunsFromItsFolderAndUninstallKeepsTheDataFolder) {
    // The utility alone.
    ASSERT_EQ(RunInstaller(L"/S"), 0);
    for (const wchar_t* file : {L"QK40UTL.exe", L"QKUEJ.dll", L"QKUPAPERSTG.dll", L"SETTING.INI",
                                L"MENUITEM.DAT", L"MENUITEM_SAVEFILE.DAT", L"uninstall.exe"})
        EXPECT_TRUE(Exists(ProgramFolder() + file)) << file;
    EXPECT_EQ(Snapshot(ProgramFolder() + L"LANG").size(), Snapshot(StageDir() + L"LANG").size());
    EXPECT_FALSE(Exists(ProgramFolder() + L"QKComm.dll")) << "the simulator is optional";
    EXPECT_TRUE(Exists(MenuFolder() + L"QK-R40 Utility.lnk"));
    EXPECT_EQ(UninstallValue(L"DisplayVersion"), std::wstring(app::kVersionText).substr(4));
    EXPECT_EQ(UninstallValue(L"InstallLocation") + L"\\", ProgramFolder());

    // The operator chose German; an upgrade with the simulator keeps that choice.
    ASSERT_TRUE(::WritePrivateProfileStringW(L"LANGUAGE", L"LANGID", L"0407",
                                             (ProgramFolder() + L"SETTING.INI").c_str()));
    ASSERT_EQ(RunInstaller(L"/S /SIMULATOR"), 0);
    EXPECT_EQ(Language(), L"0407");
    for (const wchar_t* file : {L"QKComm.dll", L"PrinfoLib.dll", L"ProbeEngine.dll",
                                L"QKPrinterSim.exe", L"QKRestoreApp.exe"})
        EXPECT_TRUE(Exists(ProgramFolder() + file)) << file;
    EXPECT_TRUE(Exists(MenuFolder() + L"QK-R40 Printer Simulator.lnk"));

    // The installed program in the file mode, started from its folder.
    ASSERT_TRUE(Launch(program_, L"/mF" + Folder() + L"\\R40.dat", ProgramFolder()));
    HWND frame = WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
    ASSERT_NE(frame, nullptr) << "the installed program's main window did not appear";
    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(program_.ExitCode(), 1u) << "every start mode but the described printer ends with 1";

    const std::wstring dataFolder = ShellFolder(CSIDL_COMMON_APPDATA) + L"\\TARROW\\QK40Utl";
    const auto before = Snapshot(dataFolder);
    ASSERT_FALSE(before.empty()) << "the run keeps its printer list in the data folder";
    ASSERT_TRUE(Uninstall());
    EXPECT_FALSE(Exists(MenuFolder())) << "the Start menu entries go with the program";
    EXPECT_EQ(UninstallValue(L"DisplayName"), L"");
    EXPECT_EQ(Snapshot(dataFolder), before);
}

} // namespace
} // namespace qk::test
