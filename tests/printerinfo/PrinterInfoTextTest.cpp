// The printer information page's text: what the settings read stored about the printer and the
// port it came on, "not read" for what it did not bring, the file mode's own text, and the file
// a support call gets.
#include <windows.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include "framework/context/StartMode.h"
#include "framework/context/UtilContext.h"
#include "framework/store/PluginDataMgr.h"
#include "framework/store/PrinterInfoBlock.h"
#include "plugins/printerinfo/PrinterInfoText.h"

namespace qk::test {
namespace {

using printerinfo::EnglishLabels;
using printerinfo::InformationText;

template <size_t N> void Put(char16_t (&slot)[N], std::u16string_view text) {
    std::fill(std::begin(slot), std::end(slot), u'\0');
    std::copy_n(text.begin(), std::min(text.size(), N), slot);
}

class PrinterInfoTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        context = std::make_unique<UtilContext>();
        context->startMode = 0;
        context->dataManager = &store;
    }

    // The block as a settings read leaves it.
    void StoreInfo(const char16_t* const (&strings)[kPrinterInfoStrings]) {
        ASSERT_EQ(store.CreateBlock(kPrinterInfoBlockKey, kPrinterInfoBlockVersion,
                                    kPrinterInfoBlockSize),
                  0);
        PrinterInfoBlock block{};
        ASSERT_EQ(store.ReadBlock(kPrinterInfoBlockKey, &block, sizeof block), 0);
        SetPrinterInfoDefaults(block, PluginBlockHeader(block.header));
        for (int i = 0; i < kPrinterInfoStrings; ++i)
            Put(block.strings[i], strings[i]);
        ASSERT_EQ(store.WriteBlock(kPrinterInfoBlockKey, sizeof block, &block), 0);
    }

    std::u16string Text() { return InformationText(*context, store, EnglishLabels(), u"T"); }

    PluginDataMgr store;
    std::unique_ptr<UtilContext> context;
};

TEST_F(PrinterInfoTextTest, ShowsWhatTheReadStoredAndThePortItCameOn) {
    StoreInfo({u"TARROW", u"QK-R40", u"2.07", u"QK4-000123", u"Font A, Font B"});
    Put(context->portRecord.interfaceKeyword, u"NET");
    Put(context->portRecord.portName, u"192.168.1.20");
    Put(context->portRecord.endpoint, u"192.168.1.20:9100");
    EXPECT_EQ(Text(), u"Maker: TARROW\r\nModel: QK-R40\r\nFirmware: 2.07\r\n"
                      u"Serial number: QK4-000123\r\nFonts: Font A, Font B\r\n"
                      u"Interface: NET\r\nPort: 192.168.1.20\r\n"
                      u"Address: 192.168.1.20:9100\r\nShown at: T\r\n");
    // Without an endpoint the device path is where the printer was reached.
    Put(context->portRecord.endpoint, u"");
    Put(context->portRecord.devicePath, u"\\\\.\\QKUSB001");
    EXPECT_NE(Text().find(u"Address: \\\\.\\QKUSB001\r\n"), std::u16string::npos);
}

TEST_F(PrinterInfoTextTest, WhatTheReadDidNotBringSaysNotRead) {
    // No block at all (no read yet), then a read that brought no firmware.
    EXPECT_NE(Text().find(u"Firmware: (not read)\r\n"), std::u16string::npos);
    EXPECT_NE(Text().find(u"Model: (not read)\r\n"), std::u16string::npos);
    StoreInfo({u"TARROW", u"QK-R40", u"", u"S1", u""});
    EXPECT_NE(Text().find(u"Model: QK-R40\r\n"), std::u16string::npos);
    EXPECT_NE(Text().find(u"Firmware: (not read)\r\n"), std::u16string::npos);
    EXPECT_NE(Text().find(u"Fonts: (not read)\r\n"), std::u16string::npos);
}

TEST_F(PrinterInfoTextTest, TheReadTimeAndTheKnownVersionsFollowThePort) {
    StoreInfo({u"TARROW", u"QK-R40", u"2.07", u"S1", u""});
    Put(context->portRecord.portName, u"COM3");
    printerinfo::InfoDetails details;
    details.readAt.assign(1, u'R');
    details.libraryVersion = printerinfo::VersionText(0x00010002);
    const std::u16string text = InformationText(*context, store, EnglishLabels(), u"T", &details);
    EXPECT_NE(
        text.find(u"Port: COM3\r\nCommunication library: 1.2\r\nRead at: R\r\nShown at: T\r\n"),
        std::u16string::npos)
        << "no line for a driver version that is not known";
    // No read in this run yet; in the file mode nothing of the port's side.
    details.readAt.clear();
    EXPECT_NE(InformationText(*context, store, EnglishLabels(), u"T", &details)
                  .find(u"Read at: (not read)\r\n"),
              std::u16string::npos);
    context->startMode = kStartFileMode;
    EXPECT_EQ(InformationText(*context, store, EnglishLabels(), u"T", &details)
                  .find(u"Communication library"),
              std::u16string::npos);
}

TEST_F(PrinterInfoTextTest, AFullSlotEndsAtTheSlot) {
    // The block comes from a file: a string that fills its slot has no NUL.
    const std::u16string full(kPrinterInfoStringChars, u'F');
    StoreInfo({u"M", u"QK-R40", full.c_str(), u"S", u""});
    EXPECT_NE(Text().find(u"Firmware: " + full + u"\r\nSerial number: S\r\n"),
              std::u16string::npos);
}

TEST_F(PrinterInfoTextTest, FileModeSaysNoPrinterAndShowsTheFile) {
    StoreInfo({u"TARROW", u"QK-R40", u"2.07", u"QK4-9", u""});
    context->startMode = kStartFileMode;
    Put(context->settingsFilePath, u"C:\\set\\store.dat");
    Put(context->portRecord.portName, u"COM3");
    const std::u16string text = Text();
    EXPECT_EQ(text.rfind(u"No printer is connected.\r\nSettings file: C:\\set\\store.dat\r\n", 0),
              0u);
    EXPECT_NE(text.find(u"Model: QK-R40\r\n"), std::u16string::npos);
    // No port is in use in the file mode.
    EXPECT_EQ(text.find(u"Port:"), std::u16string::npos);
}

TEST_F(PrinterInfoTextTest, TheSavedFileIsTheTextInUtf8) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("qk-prninfo-" + std::to_string(::GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "info.txt";
    const std::u16string path = file.u16string();
    ASSERT_EQ(printerinfo::SaveInformationText(path, u"Model: QK-R40\r\nMaker: \u30BF\r\n"), 0);
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    EXPECT_EQ(bytes, "\xEF\xBB\xBFModel: QK-R40\r\nMaker: \xE3\x82\xBF\r\n");
    // A folder that does not exist is a failure, and leaves no file behind.
    EXPECT_EQ(printerinfo::SaveInformationText((folder / "no" / "info.txt").u16string(), u"x"), -1);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace qk::test
