// Binding of the communication library, the model-name comparison and the printer check.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "app/connection/CommLibrary.h"
#include "app/connection/ModelName.h"
#include "app/connection/PrinterChoice.h"
#include "framework/comm/CommResult.h"
#include "framework/context/UtilContext.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/WindowDriver.h"
#include "tests/support/fakes/FakeCommLibrary.h"

namespace qk::test {
namespace {

using app::MatchModelName;

TEST(ModelName, RelaxedComparisonWithTheServedModel) {
    struct Row {
        std::u16string reported;
        bool match;
    } rows[] = {
        {u"QK-R40", true},        {u"QK-R40II", true},  {u"QK-R40 Receipt printer", true},
        {u"TARROW QK-R40", true}, {u"QK-R40-S", false}, {u"QK-R40S", false},
        {u"QK-R400", false},      {u"QK-R4", false},    {u"QK-T40", false},
        {u"R40", false},          {u"qk-R40", false},   {u"", false},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(MatchModelName(rows[i].reported), rows[i].match) << "row " << i;
}

TEST(ModelName, GenerationsSeriesAndHyphens) {
    // A served generation above the reported one needs "Series" in either rest.
    EXPECT_FALSE(MatchModelName(u"QK-R40", u"QK-R40III"));
    EXPECT_TRUE(MatchModelName(u"QK-R40 Series", u"QK-R40III"));
    EXPECT_TRUE(MatchModelName(u"QK-R40IV", u"QK-R40III")) << "IV = 4 is not below III";
    EXPECT_FALSE(MatchModelName(u"QK-R40II", u"QK-R40IX")) << "IX = 9";
    // A hyphen after the generation must be matched by one on the other side.
    EXPECT_TRUE(MatchModelName(u"QK-R40II-A", u"QK-R40II-B"));
    EXPECT_FALSE(MatchModelName(u"QK-R40II", u"QK-R40II-B"));
    // The J series names one model by numbers a hundred apart.
    EXPECT_TRUE(MatchModelName(u"QK-J300", u"QK-J200"));
    EXPECT_FALSE(MatchModelName(u"QK-J250", u"QK-J200"));
}

// The library reports the served model unless a test says otherwise.
struct FakeLibrary : FakeCommLibrary {
    FakeLibrary() { reportedModel = u"QK-R40"; }
};

TEST(PrinterCheck, ModelCheckShowsTheMismatchAndAnswersWrongModel) {
    FakeLibrary library;
    ScriptedPresenter boxes;
    app::CPrinterChoice check(library.Binding());
    comm::PortRecord record{};
    EXPECT_EQ(check.LastTestResult(), static_cast<int32_t>(0x80000000u));

    EXPECT_EQ(check.TestPrinter(1, record), 0);
    EXPECT_TRUE(boxes.Shown().empty());

    library.reportedModel = u"QK-T90";
    EXPECT_EQ(check.TestPrinter(1, record), app::kResultWrongModel);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, L"The connected printer is not QK-R40.");
    EXPECT_EQ(boxes.Shown()[0].caption, L"QK-R40 Utility");
    EXPECT_EQ(boxes.Shown()[0].Icon(), static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(check.LastTestResult(), 0) << "the library's answer is what is kept";

    // Mode 0 only asks whether the printer answers: another model passes silently.
    boxes.Clear();
    EXPECT_EQ(check.TestPrinter(0, record), 0);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST(PrinterCheck, ExactComparisonOutsideTheInstallerMode) {
    FakeLibrary library;
    ScriptedPresenter boxes;
    app::CPrinterChoice check(library.Binding());
    comm::PortRecord record{};
    library.reportedModel = u"QK-R40II";
    EXPECT_EQ(check.TestPrinter(1, record), app::kResultWrongModel) << "case and all";
    check.SetDriverFilter(u"TARROW QK-R40");
    EXPECT_EQ(check.TestPrinter(1, record), 0);
}

TEST(PrinterCheck, FailedTestIsAnsweredUnchanged) {
    FakeLibrary library;
    ScriptedPresenter boxes;
    app::CPrinterChoice check(library.Binding());
    comm::PortRecord record{};
    library.testResult = comm::kQkcTimeout;
    EXPECT_EQ(check.TestPrinter(1, record), comm::kQkcTimeout);
    EXPECT_EQ(check.LastTestResult(), comm::kQkcTimeout);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST(PrinterCheck, OpenStopsAtTheFirstFailingStep) {
    FakeLibrary library;
    app::CPrinterChoice check(library.Binding());
    comm::PortRecord record{};
    EXPECT_EQ(check.OpenPrinter(record), 0);
    std::vector<std::string> all = {"SetPort", "GetPort", "Open(1)", "Initialize"};
    EXPECT_EQ(library.Calls(), all);

    library.ClearCalls();
    library.openResult = comm::kQkcPortInUse;
    EXPECT_EQ(check.OpenPrinter(record), comm::kQkcPortInUse);
    std::vector<std::string> stopped = {"SetPort", "GetPort", "Open(1)"};
    EXPECT_EQ(library.Calls(), stopped) << "no Initialize after a failed Open";
}

TEST(CommLibrary, UnboundRecordAnswersNotBoundEverywhere) {
    app::CCommLibrary library;
    EXPECT_FALSE(library.IsBound());
    comm::QkcBinding* record = library.Record();
    comm::PortRecord port{};
    int32_t count = 5;
    EXPECT_EQ(record->QKC_EnumPort(nullptr, 0, &count), comm::kQkcNotBound);
    EXPECT_EQ(record->QKC_CommunicationTest(&port), comm::kQkcNotBound);
    EXPECT_EQ(record->QKC_Open(1), comm::kQkcNotBound);
    EXPECT_EQ(record->QKC_Terminate(), comm::kQkcNotBound);
    EXPECT_EQ(count, 5) << "nothing is written through an unbound record";

    app::CPrinterChoice check(record);
    EXPECT_EQ(check.TestPrinter(1, port), comm::kQkcNotBound);
    EXPECT_EQ(check.OpenPrinter(port), comm::kQkcNotBound);
}

TEST(CommLibrary, MissingLibraryOrMissingNameLeavesItUnbound) {
    app::CCommLibrary library;
    EXPECT_FALSE(library.Bind(L"NoSuchLibrary.dll"));
    EXPECT_FALSE(library.IsBound());
    // A real library without the QKC_ names: loaded, found wanting, freed.
    std::wstring plugin = StageDir() + L"QKUEJ.dll";
    EXPECT_FALSE(library.Bind(plugin.c_str()));
    EXPECT_FALSE(library.IsBound());
    EXPECT_EQ(::GetModuleHandleW(plugin.c_str()), nullptr) << "the library was not freed";
    EXPECT_EQ(library.Record()->QKC_Initialize(), comm::kQkcNotBound);
}

TEST(CommLibrary, BindsTheMakersLibraryFromTheProgramFolder) {
    // The stage always holds it (the tests depend on the stage): missing is a staging fault.
    std::wstring path = StageDir() + L"QKComm.dll";
    ASSERT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES)
        << "QKComm.dll is missing from the program folder";
    app::CCommLibrary library;
    ASSERT_TRUE(library.Bind(path.c_str()));
    EXPECT_TRUE(library.IsBound());
    library.Unbind();
    EXPECT_FALSE(library.IsBound());
    EXPECT_EQ(library.Record()->QKC_Initialize(), comm::kQkcNotBound);
}

TEST(Context, StartsZeroedAndHoldsTheCurrentRecord) {
    auto context = std::make_unique<UtilContext>();
    EXPECT_EQ(context->startMode, 0);
    EXPECT_EQ(context->binding, nullptr);
    // The device name sits at byte 2092 of the record, which starts at byte 528.
    const auto* bytes = reinterpret_cast<const uint8_t*>(context.get());
    context->portRecord.deviceName[0] = u'Q';
    EXPECT_EQ(bytes[528 + 2092], 'Q');
}

} // namespace
} // namespace qk::test
