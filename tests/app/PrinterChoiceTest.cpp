// The printer choice without a window: its rows, the chosen row's lifetime and the model
// mismatch told in the caller's language over the caller's window.
#include <gtest/gtest.h>
#include <windows.h>
#include <vector>
#include "app/connection/CommLibrary.h"
#include "app/connection/PortRecordText.h"
#include "app/connection/PrinterChoice.h"
#include "framework/comm/CommResult.h"
#include "framework/lang/LangResTable.h"
#include "platform/Text.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/WindowDriver.h"
#include "tests/support/fakes/FakeCommLibrary.h"

namespace qk::test {
namespace {

comm::PortRecord Registered(const char16_t* keyword, const char16_t* device, const char16_t* path) {
    comm::PortRecord record{};
    app::SetSlotText(record.interfaceKeyword, keyword);
    app::SetSlotText(record.deviceName, device);
    app::SetSlotText(record.devicePath, path);
    return record;
}

class InstalledList : public app::IInstalledPrinters {
public:
    std::vector<app::InstalledPrinter> Enumerate() override {
        return {{u"Front desk", u"QKPORT3", u"TARROW QK-R40 Receipt5"}};
    }
};

class PrinterChoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        library.reportedModel = u"QK-T20";
        library.registered = {Registered(u"COM", u"QK-R40", u"pipe://qk/RSDPRT3/QKPORT3"),
                              Registered(u"NET", u"QK-T20", u"pipe://qk/RSDPRT4/QKPORT4"),
                              Registered(u"USB", u"QK-R40", u"")};
    }
    FakeCommLibrary library;
    InstalledList installed;
    app::CPrinterChoice choice{library.Binding(), installed};
    std::unique_ptr<UtilContext> context = std::make_unique<UtilContext>();
};

TEST_F(PrinterChoiceTest, OutsideTheInstallerModeRowsAreServedPortsAndNoRowIsKept) {
    ASSERT_TRUE(choice.Refresh());
    ASSERT_EQ(choice.Rows().size(), 2u) << "the other model's port is no row";
    EXPECT_EQ(choice.Rows()[0].name, u"QK-R40");
    EXPECT_EQ(app::SlotText(choice.Rows()[1].record->interfaceKeyword), u"USB");
    choice.ChooseRow(0);
    EXPECT_EQ(choice.GetChosenPrinterName(), u"");

    ASSERT_TRUE(choice.SelectByDevicePath(u"pipe://qk/RSDPRT4/", *context));
    EXPECT_EQ(context->interfaceKind, 4) << "any registered port, whatever its model";
    EXPECT_EQ(choice.GetChosenPrinterName(), u"");
}

TEST_F(PrinterChoiceTest, RefreshForgetsTheChosenRowAndAFailedListingLeavesNoRows) {
    choice.SetDriverFilter(u"TARROW QK-R40");
    ASSERT_TRUE(choice.Refresh());
    ASSERT_EQ(choice.Rows().size(), 1u);
    choice.ChooseRow(0);
    EXPECT_EQ(choice.GetChosenPrinterName(), u"Front desk");

    library.enumResult = comm::kQkcNotBound;
    EXPECT_FALSE(choice.Refresh());
    EXPECT_TRUE(choice.Rows().empty());
    EXPECT_EQ(choice.GetChosenPrinterName(), u"");
    EXPECT_FALSE(choice.SelectByDevicePath(u"pipe://qk/RSDPRT3/", *context));
}

TEST_F(PrinterChoiceTest, ModelMismatchIsToldInTheCallersLanguageOverItsWindow) {
    ScriptedPresenter boxes;
    CLangResTable german;
    ASSERT_NE(german.LoadLangFile(FromWide(StageDir() + L"LANG"), 0x407, 0x409), kLangNoFile);
    ASSERT_EQ(german.LoadScreenTexts(u"PRT_SELECT_DLG"), 0);
    HWND owner = ::GetDesktopWindow();
    comm::PortRecord record{};
    EXPECT_EQ(choice.TestPrinter(1, record, owner, &german), app::kResultWrongModel);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, L"Der angeschlossene Drucker ist kein QK-R40.");
    EXPECT_EQ(boxes.Shown()[0].owner, owner);
    EXPECT_EQ(choice.LastTestResult(), 0);
}

} // namespace
} // namespace qk::test
