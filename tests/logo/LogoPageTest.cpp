// The logo page through the library's exports, against a simulator of its own: a picture
// chosen in the open dialog, stored and set as the top logo on leaving the page; pictures
// that cannot be used; deleting with a question; the file mode's logo work file.
#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include "framework/context/UtilContext.h"
#include "framework/store/PrinterSettingBlocks.h"
#include "plugins/logo/GraphicsCommands.h"
#include "resource.h"
#include "tests/framework/TempFolder.h"
#include "tests/paper/PaperPluginFixture.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

constexpr wchar_t kSaveQuestion[] =
    L"Do you want to save your changes to the settings to the printer?";

class LogoPlugin : public PaperPlugin {
protected:
    const wchar_t* LibraryName() const override { return L"QKULOGOSTG.dll"; }
    int PageTemplate() const override { return IDD_LOGO_VIEW; }

    enum class Ink { Frame, Blank, Black };
    // A 24-bit BMP of width x height: a black frame two dots wide on white, all white or all
    // black.
    std::wstring FramePicture(int32_t width, int32_t height, Ink ink = Ink::Frame) {
        const bool framed = ink == Ink::Frame;
        const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
        std::vector<uint8_t> file(54 + stride * height, 0);
        auto put = [&](std::size_t at, uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i)
                file[at + i] = static_cast<uint8_t>(value >> (8 * i));
        };
        file[0] = 'B';
        file[1] = 'M';
        put(2, static_cast<uint32_t>(file.size()), 4);
        put(10, 54, 4);
        put(14, 40, 4);
        put(18, static_cast<uint32_t>(width), 4);
        put(22, static_cast<uint32_t>(height), 4);
        put(26, 1, 2);
        put(28, 24, 2);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const bool frame = framed && (x < 2 || y < 2 || x >= width - 2 || y >= height - 2);
                const bool black = frame || ink == Ink::Black;
                std::fill_n(file.begin() + 54 + y * stride + x * 3, 3, black ? 0 : 255);
            }
        return Write(ink == Ink::Frame   ? L"frame.bmp"
                     : ink == Ink::Blank ? L"blank.bmp"
                                         : L"black.bmp",
                     file);
    }
    std::wstring Write(const wchar_t* name, const std::vector<uint8_t>& bytes) {
        const std::wstring path = ToWide(folder.Path()) + L"\\" + name;
        std::ofstream(path.c_str(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    // Presses "Open Picture...", types the path into the open dialog and presses Open; then
    // answers the message boxes that follow. Answers the boxes' texts.
    std::vector<std::wstring> OpenThroughDialog(const std::wstring& path,
                                                std::vector<int> boxes = {}) {
        std::vector<std::wstring> texts;
        std::thread chooser([&] {
            HWND dialog = nullptr;
            PumpUntil(
                [&] {
                    for (HWND w : TopLevelWindows(::GetCurrentProcessId(), L"#32770"))
                        if (::GetDlgItem(w, 0x47C) || ::GetDlgItem(w, 0x480))
                            dialog = w;
                    return dialog != nullptr;
                },
                30000);
            if (!dialog)
                return;
            for (int id : {0x47C, 0x480})
                ::SetDlgItemTextW(dialog, id, path.c_str());
            PressButton(dialog, IDOK);
            for (int button : boxes) {
                MessageBoxView box = WaitForMessageBox(::GetCurrentProcessId(), 20000);
                if (!box.hwnd)
                    return;
                texts.push_back(box.text);
                PressButton(box.hwnd, button);
                PumpUntil([&] { return !::IsWindow(box.hwnd); }, 10000);
            }
        });
        ::SendMessageW(::GetDlgItem(Page(), IDC_LOGO_OPEN), BM_CLICK, 0, 0);
        chooser.join();
        return texts;
    }
    void SetItem(int id, const wchar_t* text) { ::SetDlgItemTextW(Page(), id, text); }

    TempFolder folder;
};

TEST_F(LogoPlugin, APictureChosenIsStoredUnderTheNextKeyCodeAndSetAsTheTopLogo) {
    // One graphic stored before: automatic numbering takes the next pair.
    SendToPrinter(logo::DefineGraphics({'0', '1'}, logo::Raster{8, 1, {0xFF}}));
    Start();
    context->get()->autoKeycodeNumbering = 1;
    ASSERT_EQ(readPrinterSettings(), 1);
    ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
    ASSERT_TRUE(PumpPending()); // the read's notice to the page, posted by the read
    EXPECT_EQ(ChildText(Page(), IDC_LOGO_KEYCODE), L"02");
    ASSERT_EQ(::SendDlgItemMessageW(Page(), IDC_LOGO_STORED, LB_GETCOUNT, 0, 0), 1);

    // 800 dots across: wider than 80 mm paper, scaled to its 576. All black, so that every
    // one of the 576 x 72 dots is black whatever the scaling's filter.
    const std::wstring path = FramePicture(800, 100, Ink::Black);
    EXPECT_TRUE(OpenThroughDialog(path).empty());
    EXPECT_EQ(ChildText(Page(), IDC_LOGO_FILE), L"black.bmp: 800 x 100 \u2192 576 x 72");
    SetItem(IDC_LOGO_TOP, L"02");
    ::SendDlgItemMessageW(Page(), IDC_LOGO_TOP_ALIGN, CB_SETCURSEL, 1, 0);
    {
        BoxAnswerer boxes({IDYES, IDOK});
        EXPECT_EQ(changeMenuState(kMenuStateLeave), 0);
        EXPECT_EQ(boxes.Finish(), (std::vector<std::wstring>{
                                      kSaveQuestion, L"Settings were changed successfully."}));
    }
    EXPECT_EQ(host->frame.runs, 1) << "written under the progress dialog";
    // The dots the printer holds are the picture's, scaled.
    EXPECT_EQ(Control("get graphics"), "OK 2 01:8x1 02:576x72");
    EXPECT_EQ(Control("get graphic 02"), "OK 576x72 black=" + std::to_string(576 * 72));
    EXPECT_EQ(Control("get logo top"), "OK 48 50 49");
    EXPECT_EQ(StoredWord(kLogoSettingBlockKey, 32) >> 16, 0x3230u) << "key code \"02\" at 34";
    ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
    EXPECT_EQ(ChildText(Page(), IDC_LOGO_KEYCODE), L"03");
    EXPECT_EQ(changeMenuState(kMenuStateLeave), 0) << "written: nothing left to ask about";
}

// Through the communication library to the simulator: the printer ends the connection part
// way through the graphic; nothing of it is kept, and once the library has connected again the
// same save stores it.
TEST_F(LogoPlugin, AConnectionDroppedInTheMiddleOfAGraphicKeepsNothingAndTheNextSaveStoresIt) {
    Start();
    ASSERT_EQ(readPrinterSettings(), 1);
    ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
    // 576 x 300 dots: some 21 600 bytes of dots, cut after 5 000.
    EXPECT_TRUE(OpenThroughDialog(FramePicture(576, 300)).empty());
    SetItem(IDC_LOGO_TOP, L"01");
    auto connections = [&] { return std::atoi(Control("get connections").c_str() + 3); };
    const int before = connections();
    ASSERT_EQ(Control("drop after 5000"), "OK");
    {
        BoxAnswerer boxes({IDYES, IDOK});
        EXPECT_NE(changeMenuState(kMenuStateLeave), 0) << "the page stays";
        EXPECT_EQ(boxes.Finish(),
                  (std::vector<std::wstring>{
                      kSaveQuestion, L"Failed to change settings.\nThe printer did not answer."}));
    }
    EXPECT_EQ(Control("get graphics"), "OK 0");
    EXPECT_EQ(Control("get logo top"), "OK none");
    EXPECT_EQ(Control("get printed"), "OK 0") << "no dots were taken for print data";

    EXPECT_TRUE(PumpUntil([&] { return connections() > before; }, 10000))
        << "the library connects again by itself";
    // The page shows what the printer holds (no top logo); the picture is still to be stored.
    EXPECT_EQ(ChildText(Page(), IDC_LOGO_TOP), L"");
    SetItem(IDC_LOGO_TOP, L"01");
    {
        BoxAnswerer boxes({IDYES, IDOK});
        EXPECT_EQ(changeMenuState(kMenuStateLeave), 0);
        EXPECT_EQ(boxes.Finish(), (std::vector<std::wstring>{
                                      kSaveQuestion, L"Settings were changed successfully."}));
    }
    EXPECT_EQ(Control("get graphics"), "OK 1 01:576x300");
    EXPECT_EQ(Control("get logo top"), "OK 48 49 48");
}

TEST_F(LogoPlugin, PicturesThatCannotBeUsedAreToldAndChangeNothing) {
    Start();
    ASSERT_EQ(readPrinterSettings(), 1);
    ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
    EXPECT_EQ(
        OpenThroughDialog(Write(L"notes.png", {'n', 'o'}), {IDOK}),
        std::vector<std::wstring>{L"The picture could not be read. Choose a BMP or PNG file."});
    EXPECT_EQ(OpenThroughDialog(FramePicture(40, 40, Ink::Blank), {IDOK}),
              std::vector<std::wstring>{L"The picture is empty: it has nothing to print."});
    // 576 dots across and 4000 rows: beyond the graphics memory.
    EXPECT_EQ(OpenThroughDialog(FramePicture(576, 4000), {IDOK}),
              std::vector<std::wstring>{L"The picture is too large for the printer's graphics "
                                        L"memory. Choose a smaller picture."});
    EXPECT_EQ(ChildText(Page(), IDC_LOGO_FILE), L"");
    EXPECT_EQ(changeMenuState(kMenuStateLeave), 0) << "nothing to store";
    EXPECT_EQ(Control("get graphics"), "OK 0");
}

// Private memory the process has committed.
std::size_t CommittedPrivateBytes() {
    std::size_t total = 0;
    MEMORY_BASIC_INFORMATION info{};
    uintptr_t at = 0;
    while (::VirtualQuery(reinterpret_cast<const void*>(at), &info, sizeof info) == sizeof info) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
        const uintptr_t next = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return total;
}

// A decoded picture of 4000 x 3000 takes 48 MB: in a 32-bit process a page holding it (and,
// while opening another, two of them) may leave no room for the next.
TEST_F(LogoPlugin, AnOpenedPictureIsKeptOnlyAtThePrintableWidth) {
    Start();
    ASSERT_EQ(readPrinterSettings(), 1);
    ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
    // The open dialog's own libraries come with its first use.
    ASSERT_TRUE(OpenThroughDialog(FramePicture(64, 64)).empty());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const std::wstring large = FramePicture(4000, 3000);
        const std::size_t before = CommittedPrivateBytes();
        EXPECT_TRUE(OpenThroughDialog(large).empty());
        EXPECT_EQ(ChildText(Page(), IDC_LOGO_FILE), L"frame.bmp: 4000 x 3000 \u2192 576 x 432");
        const std::size_t after = CommittedPrivateBytes();
        EXPECT_LT(after, before + 16u * 1024 * 1024)
            << "grew by " << (after - before) / 1024 << " KB";
    }
}

TEST_F(LogoPlugin, DeletingAllAsksFirst) {
    SendToPrinter(logo::DefineGraphics({'A', '1'}, logo::Raster{8, 1, {0xFF}}));
    SendToPrinter(logo::DefineGraphics({'A', '2'}, logo::Raster{8, 1, {0xFF}}));
    Start();
    ASSERT_EQ(readPrinterSettings(), 1);
    ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
    ASSERT_TRUE(PumpPending()); // the read's notice to the page, posted by the read
    HWND button = ::GetDlgItem(Page(), IDC_LOGO_DELETE_ALL);
    {
        BoxAnswerer boxes({IDNO});
        ::SendMessageW(button, BM_CLICK, 0, 0);
        EXPECT_EQ(boxes.Finish(),
                  std::vector<std::wstring>{L"Delete all stored graphics from the printer?"});
    }
    EXPECT_EQ(Control("get graphics"), "OK 2 A1:8x1 A2:8x1");
    {
        BoxAnswerer boxes({IDYES, IDOK});
        ::SendMessageW(button, BM_CLICK, 0, 0);
        EXPECT_EQ(boxes.Finish().size(), 2u);
    }
    EXPECT_EQ(Control("get graphics"), "OK 0");
    EXPECT_EQ(::SendDlgItemMessageW(Page(), IDC_LOGO_STORED, LB_GETCOUNT, 0, 0), 0);
}

} // namespace
} // namespace qk::test
