// The real program started from the program folder, driven through its main window.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>
#include <algorithm>
#include <string>
#include <vector>
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

constexpr wchar_t kTitle[] = L"QK-R40 Utility Ver.1.40";

struct RunningUtility : ::testing::Test {
    ProcessRunner program;
    HWND frame = nullptr;
    void SetUp() override {
        // The file mode needs no printer, so the main window comes up without a choice.
        ASSERT_TRUE(
            program.Start(StageDir() + L"QK40UTL.exe", L"/bM /mFC:\\smoke.dat", StageDir()));
        frame = WaitForTopLevel(program.Id(), L"", kTitle, 20000);
        ASSERT_NE(frame, nullptr) << "no main window titled QK-R40 Utility Ver.1.40";
    }
    void TearDown() override {
        if (!program.Wait(0))
            program.Kill();
    }
};

TEST_F(RunningUtility, ShowsFixedSizeFrameWithoutMenuAndEndsWithCodeOneOnClose) {
    RECT r{};
    ::GetWindowRect(frame, &r);
    EXPECT_EQ(r.right - r.left, 796);
    EXPECT_EQ(r.bottom - r.top, 523);
    LONG style = ::GetWindowLongW(frame, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME) << "no resizable border";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX) << "no maximise box";
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_EQ(::GetMenu(frame), nullptr) << "no menu bar";
    EXPECT_NE(::GetPropW(frame, L"QK-R40_UTILITY_QK-R40"), nullptr)
        << "the frame carries the instance property";

    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    // The file mode asks whether to write the settings file; decline.
    MessageBoxView question = WaitForMessageBox(program.Id(), 10000);
    ASSERT_NE(question.hwnd, nullptr) << "no save question at exit";
    EXPECT_EQ(question.text, L"Do you want to save the settings to the file?");
    PressButton(question.hwnd, IDNO);
    ASSERT_TRUE(program.Wait(10000)) << "the program did not end after WM_CLOSE";
    EXPECT_EQ(program.ExitCode(), 1u);
}

// The address a library's file asks to be loaded at, or 0.
uintptr_t PreferredBase(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    std::vector<char> head(4096);
    DWORD got = 0;
    const bool read = file != INVALID_HANDLE_VALUE &&
                      ::ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &got, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(head.data());
    if (!read || got < 512 || dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0 ||
        dos->e_lfanew + sizeof(IMAGE_NT_HEADERS) > got)
        return 0;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(head.data() + dos->e_lfanew);
    return nt->Signature == IMAGE_NT_SIGNATURE ? nt->OptionalHeader.ImageBase : 0;
}

// Every plug-in loads before the main window shows: under Wine, one whose preferred address is
// taken (by a system library) is relocated as a whole at each start.
TEST_F(RunningUtility, ItsPluginLibrariesLoadWhereTheirFilesAskToBeLoaded) {
    std::vector<HMODULE> modules(512);
    DWORD needed = 0;
    ASSERT_TRUE(::K32EnumProcessModules(program.Handle(), modules.data(),
                                        static_cast<DWORD>(modules.size() * sizeof(HMODULE)),
                                        &needed));
    modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
    int plugins = 0;
    for (HMODULE module : modules) {
        wchar_t path[MAX_PATH] = {};
        ::K32GetModuleFileNameExW(program.Handle(), module, path, MAX_PATH);
        const std::wstring name = std::wstring(path).substr(std::wstring(path).rfind(L'\\') + 1);
        if (name.rfind(L"QKU", 0) != 0)
            continue;
        ++plugins;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(module), PreferredBase(path)) << name.c_str();
    }
    EXPECT_EQ(plugins, 5) << "the file mode's menu has five plug-in libraries";
}

} // namespace
} // namespace qk::test
