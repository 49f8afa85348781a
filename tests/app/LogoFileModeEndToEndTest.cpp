// The file mode's round trip through the real QK40UTL.exe with the logo plug-in of the
// program folder: the operator opens a picture on the logo page, makes it the top logo,
// leaves with Yes to both questions, and the settings command file written at exit, replayed
// into the printer simulator, leaves it with the graphic stored and the top logo set.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>
#include <fstream>
#include <string>
#include <vector>
#include "maker/printer/CommandInterpreter.h"
#include "maker/printer/ControlCommand.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "tests/app/StartupEndToEndFixture.h"

namespace qk::test {
namespace {

constexpr int kLogoPageId = 10;
constexpr int kTopLogoEdit = 1210;
constexpr int kOpenButton = 1201;

// A 24-bit BMP, 300 x 40 dots: black on the left half, white on the right.
void WriteHalfBlackPicture(const std::wstring& path) {
    const int32_t width = 300, height = 40;
    const uint32_t stride = (width * 3 + 3) & ~3u;
    std::vector<uint8_t> file(54 + stride * height, 0xFF);
    auto put = [&](std::size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<uint32_t>(file.size()), 4);
    put(6, 0, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, width, 4);
    put(22, height, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int i = 30; i < 54; ++i)
        file[i] = 0;
    for (int32_t y = 0; y < height; ++y)
        std::fill_n(file.begin() + 54 + y * stride, (width / 2) * 3, 0);
    std::ofstream(path.c_str(), std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
}

class LogoFileModeRun : public UtilityRun {
protected:
    // Chooses the menu's last entry, "Logo Settings", with End and Enter, and waits for its
    // page.
    HWND ShowLogoPage(HWND frame) {
        HWND list = Descendant(frame, 0, L"SysListView32");
        if (!list)
            return nullptr;
        for (WPARAM key : {VK_END, VK_RETURN}) {
            ::PostMessageW(list, WM_KEYDOWN, key, 1);
            ::PostMessageW(list, WM_KEYUP, key, 0xC0000001);
        }
        HWND page = nullptr;
        PumpUntil(
            [&] {
                page = Descendant(frame, kLogoPageId, nullptr);
                return page && ::IsWindowVisible(page);
            },
            15000);
        return page;
    }
    // The program's open dialog: the path typed in, Open pressed.
    bool ChoosePicture(const std::wstring& path) {
        HWND dialog = nullptr;
        PumpUntil(
            [&] {
                for (HWND w : TopLevelWindows(program_.Id(), L"#32770"))
                    if (::GetDlgItem(w, 0x47C) || ::GetDlgItem(w, 0x480))
                        dialog = w;
                return dialog != nullptr;
            },
            30000);
        if (!dialog)
            return false;
        for (int id : {0x47C, 0x480})
            ::SetDlgItemTextW(dialog, id, path.c_str());
        PressButton(dialog, IDOK);
        return PumpUntil([&] { return !::IsWindow(dialog); }, 15000);
    }
};

TEST_F(LogoFileModeRun, APictureChosenOnThePageIsStoredAndSetByTheCommandFile) {
    const std::wstring output = Folder() + L"\\R40.dat";
    const std::wstring picture = Folder() + L"\\half.bmp";
    WriteHalfBlackPicture(picture);
    HWND frame = StartFileMode(output);
    ASSERT_NE(frame, nullptr);
    HWND page = ShowLogoPage(frame);
    ASSERT_NE(page, nullptr) << "the logo entry opens its page";
    ::PostMessageW(::GetDlgItem(page, kOpenButton), BM_CLICK, 0, 0);
    ASSERT_TRUE(ChoosePicture(picture));
    EXPECT_TRUE(PumpUntil([&] { return !ChildText(page, 1202).empty(); }, 10000))
        << "the page names the picture";
    ::SendMessageW(::GetDlgItem(page, kTopLogoEdit), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(L"01"));

    const std::vector<uint8_t> file = CloseSavingTheCommandFile(frame, output);
    ASSERT_GT(file.size(), 256u);
    EXPECT_EQ(file[120], 1) << "a logo of graphics commands";

    // A printer holding another graphic and a bottom logo before the file reaches it.
    sim::PrinterState state;
    sim::SetupMemory memory;
    sim::CommandInterpreter printer(state, memory);
    sim::ControlCommand control(state, memory);
    memory.DefineGraphics('Z', 'Z', {8, 1, 1, {0xFF}});
    std::vector<uint8_t> answers;
    printer.Feed(file.data() + 256, file.size() - 256, answers);
    EXPECT_EQ(printer.Pending(), 0u);
    EXPECT_EQ(control.Execute("get graphics"), "OK 1 01:300x40") << "the old one deleted";
    EXPECT_EQ(control.Execute("get graphic 01"), "OK 300x40 black=6000");
    EXPECT_EQ(control.Execute("get logo top"), "OK 48 49 48");
    EXPECT_EQ(control.Execute("get logo bottom"), "OK none");
}

} // namespace
} // namespace qk::test
