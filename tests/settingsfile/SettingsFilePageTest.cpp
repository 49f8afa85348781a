// The settings file page through the library's exports, against a simulator process of its
// own reached through the real communication library: a damaged, another model's and a cut
// file are refused with their reasons and nothing reaches the printer; a good file is shown
// as its changes, asked for, sent, read back and reported, and the blocks the other pages
// show follow what the printer now holds.
#include <gtest/gtest.h>
#include <cstring>
#include <fstream>
#include <thread>
#include "app/status/SettingsCommandFile.h"
#include "framework/context/UtilContext.h"
#include "plugins/logo/LogoSettings.h"
#include "plugins/paper/PaperSettings.h"
#include "resource.h"
#include "tests/framework/TempFolder.h"
#include "tests/paper/PaperPluginFixture.h"
#include "tests/settingsfile/SettingsFileSamples.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

std::string Utf8(const std::wstring& text) {
    return std::string(text.begin(), text.end()); // the texts tested here are ASCII
}

class SettingsFilePlugin : public PaperPlugin {
protected:
    const wchar_t* LibraryName() const override { return L"QKUSETFILESTG.dll"; }
    int PageTemplate() const override { return IDD_SETFILE_VIEW; }

    // The pages' blocks as the host holds them, with the model the printer reported.
    void StartWithPageBlocks() {
        for (uint32_t key : paper::kOwnedBlocks) {
            ASSERT_EQ(store.CreateBlock(key, paper::kBlockVersion, PrinterSettingBlockSize(key)),
                      0);
            ASSERT_EQ(paper::PaperSettings::StoreFactoryBlock(store, key), 0);
        }
        ASSERT_EQ(store.CreateBlock(kLogoSettingBlockKey, logo::kLogoBlockVersion,
                                    sizeof(LogoSettingBlock)),
                  0);
        ASSERT_EQ(logo::LogoSettings::StoreFactoryBlock(store), 0);
        Start();
        const std::u16string model = u"QK-R40";
        std::memcpy(context->get()->portRecord.deviceName, model.c_str(), (model.size() + 1) * 2);
        ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
        ASSERT_NE(Page(), nullptr);
    }

    // The sample file: 58 mm paper and code table PC858, the rest factory.
    std::vector<uint8_t> FileSetting58mm() { return FileOtherThanFactory({2026, 12, 9, 5, 30}); }

    std::wstring Write(const wchar_t* name, const std::vector<uint8_t>& bytes) {
        const std::wstring path = ToWide(folder.Path()) + L"\\" + name;
        std::ofstream(path.c_str(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // Presses "Apply File...", types the path into the open dialog and presses Open; then
    // answers the message boxes that follow. Answers the boxes' texts.
    std::vector<std::wstring> ApplyThroughDialog(const std::wstring& path, std::vector<int> boxes) {
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
        ::SendMessageW(::GetDlgItem(Page(), IDC_SETFILE_APPLY), BM_CLICK, 0, 0);
        chooser.join();
        return texts;
    }

    TempFolder folder;
};

TEST_F(SettingsFilePlugin, RefusedFilesSendNothingAndAGoodOneIsAskedSentAndReadBack) {
    StartWithPageBlocks();
    const std::vector<uint8_t> good = FileSetting58mm();
    std::vector<uint8_t> damaged = good, otherModel = good;
    damaged[good.size() / 2] ^= 0x20;
    std::memcpy(otherModel.data() + 4, "QK-R50\r\n", 8);
    const std::vector<uint8_t> cut(good.begin(), good.end() - 9);
    const std::string before = Control("dump");
    ASSERT_EQ(Control("requests reset"), "OK");

    const struct {
        const wchar_t* name;
        const std::vector<uint8_t>* bytes;
        const wchar_t* told;
    } refused[] = {
        {L"damaged.dat", &damaged, L"The file is damaged"},
        {L"other.dat", &otherModel, L"another printer model"},
        {L"cut.dat", &cut, L"The file is not whole"},
    };
    for (const auto& row : refused) {
        const std::vector<std::wstring> texts =
            ApplyThroughDialog(Write(row.name, *row.bytes), {IDOK});
        ASSERT_EQ(texts.size(), 1u) << Utf8(row.name);
        EXPECT_NE(texts[0].find(row.told), std::wstring::npos) << Utf8(texts[0]);
        EXPECT_NE(texts[0].find(L"Nothing is sent"), std::wstring::npos);
    }
    EXPECT_EQ(Control("get requests"), "OK 0 0 -1") << "no question reached the printer";
    EXPECT_EQ(Control("dump"), before) << "no setting reached the printer";

    const std::vector<std::wstring> texts =
        ApplyThroughDialog(Write(L"good.dat", good), {IDYES, IDOK});
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NE(texts[0].find(L"Customized value 8: "), std::wstring::npos) << Utf8(texts[0]);
    EXPECT_NE(texts[0].find(L" -> 19"), std::wstring::npos) << Utf8(texts[0]);
    EXPECT_EQ(texts[1], L"The file was applied: every setting reads back as the file sets it.");
    EXPECT_EQ(Control("get custom 3"), "OK 2");
    EXPECT_EQ(Control("get custom 8"), "OK 19");
    EXPECT_EQ(Control("get usermode"), "OK 0");
    // The paper page shows what the printer now holds.
    EXPECT_EQ(StoredWord(kPaperSettingBlockKey, 32), 2u);

    // The same file again changes nothing and says so.
    const std::vector<std::wstring> again = ApplyThroughDialog(Write(L"good.dat", good), {IDOK});
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0], L"The printer already holds every setting of this file.");
}

} // namespace
} // namespace qk::test
