// The common form view: its texts with the English fallback, its size rule, its exchange
// timings, its data-block helpers and the message boxes of the pages.
#include <gtest/gtest.h>
#include <cstring>
#include "framework/store/PluginDataMgr.h"
#include "framework/view/UtilMessageBox.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/WindowDriver.h"
#include "tests/view/ViewTestSupport.h"

namespace qk::test {
namespace {

const wchar_t kEnglish[] = L"[TEST_PAGE_STR]\nSTR_0=Page text\n"
                           L"[QK_UTILITY_APP_STR]\nSTR_0=App text\n";

struct PageFixture : ::testing::Test {
    ScratchFolder lang;
    HostWindows host;
    ScriptedPresenter presenter;
    std::unique_ptr<TestContext> context;
    std::unique_ptr<ProbeController> controller;
    void Make(int language, std::vector<UINT> pages = {8}) {
        context = std::make_unique<TestContext>(lang.Path(), language);
        controller = std::make_unique<ProbeController>();
        controller->pageTemplates = std::move(pages);
        ASSERT_EQ(controller->Initialize(host.frame, host.pane, context->get()), 0);
    }
    ProbePage& Page(size_t i = 0) { return *controller->made.at(i); }
};

TEST_F(PageFixture, MissingLanguageFallsBackToEnglishWithOneNotice) {
    lang.WriteLangFile(0x0409, kEnglish);
    Make(0x0411, {8, 20});
    EXPECT_EQ(Page(0).LoadPageTexts(), 1);
    ASSERT_EQ(presenter.Shown().size(), 1u);
    EXPECT_EQ(presenter.Shown()[0].text,
              L"Could not find the required files.\nDisplaying the screen in English.");
    EXPECT_EQ(presenter.Shown()[0].caption, L"QK-R40 Utility");
    EXPECT_EQ(presenter.Shown()[0].Icon(), static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(presenter.Shown()[0].owner, nullptr);
    EXPECT_EQ(context->get()->languageId, 0x0409);
    EXPECT_EQ(std::u16string(context->get()->languageText), u"0409");
    EXPECT_EQ(Page(0).PageTexts().TextOr(LangListKind::ScreenStrings, 0, u""), u"Page text");
    EXPECT_TRUE(Page(0).ShowedEnglishNotice());

    // The shared language is English now: the second page finds its file directly.
    EXPECT_EQ(Page(1).LoadPageTexts(), 2);
    EXPECT_EQ(presenter.Shown().size(), 1u);
    // The same page falling back again does not repeat its notice.
    context->get()->languageId = 0x0407;
    EXPECT_EQ(Page(0).LoadPageTexts(), 1);
    EXPECT_EQ(presenter.Shown().size(), 1u);
}

TEST_F(PageFixture, NoLanguageFileAtAllClosesTheApplication) {
    Make(0x0411);
    EXPECT_EQ(Page().LoadPageTexts(), -1);
    ASSERT_EQ(presenter.Shown().size(), 1u);
    EXPECT_EQ(presenter.Shown()[0].text,
              L"Could not find the required files.\nClosing application.");
    PumpMessages(50);
    EXPECT_EQ(host.frame.closes, 1) << "WM_CLOSE posted to the main frame";
    EXPECT_EQ(Page().PageTexts().Count(LangListKind::ScreenStrings), 0);
}

TEST_F(PageFixture, InitialUpdateLoadsApplicationAndPageTexts) {
    lang.WriteLangFile(0x0409, kEnglish);
    Make(0x0409);
    ASSERT_EQ(controller->ChangeMenuState(kMenuStateShow), 1);
    EXPECT_EQ(Page().AppTexts().TextOr(LangListKind::ScreenStrings, 0, u""), u"App text");
    EXPECT_EQ(Page().PageTexts().TextOr(LangListKind::ScreenStrings, 0, u""), u"Page text");
    EXPECT_TRUE(presenter.Shown().empty());
}

// They are read when first asked for, from the language that the page was shown in: the
// page's fallback to English, or a later change of the shared language, does not reach them.
TEST_F(PageFixture, ApplicationTextsAreThoseOfTheLanguageThePageWasShownIn) {
    lang.WriteLangFile(0x0409, kEnglish);
    lang.WriteLangFile(0x0407, L"[TEST_PAGE_STR]\nSTR_0=Seitentext\n"
                               L"[QK_UTILITY_APP_STR]\nSTR_0=Programmtext\n");
    Make(0x0407);
    ASSERT_EQ(controller->ChangeMenuState(kMenuStateShow), 1);
    context->get()->languageId = 0x0409;
    EXPECT_EQ(Page().AppTexts().TextOr(LangListKind::ScreenStrings, 0, u""), u"Programmtext");
    EXPECT_EQ(Page().PageTexts().TextOr(LangListKind::ScreenStrings, 0, u""), u"Seitentext");
}

TEST_F(PageFixture, SizeRuleKeepsALargePageAndFitsAnyOtherToThePane) {
    lang.WriteLangFile(0x0409, kEnglish);
    Make(0x0409);
    HWND page = Page().m_hWnd;
    ::ShowWindow(page, SW_SHOW);
    RECT pane{};
    ::GetClientRect(host.pane, &pane);
    struct Row {
        int x, y, w, h;
        RECT expected; // x, y, right, bottom in the pane
    } rows[] = {
        {5,
         7,
         pane.right + 40,
         pane.bottom + 30,
         {0, 0, pane.right + 40, pane.bottom + 30}},                                // larger: kept
        {5, 7, pane.right + 40, pane.bottom - 30, {0, 0, pane.right, pane.bottom}}, // lower
        {5, 7, 50, 40, {0, 0, pane.right, pane.bottom}},                            // smaller
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        ::MoveWindow(page, rows[i].x, rows[i].y, rows[i].w, rows[i].h, FALSE);
        RECT r{};
        ::GetWindowRect(page, &r);
        ::MapWindowPoints(nullptr, host.pane, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(::EqualRect(&r, &rows[i].expected))
            << "row " << i << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    // A hidden page is left alone.
    ::ShowWindow(page, SW_HIDE);
    ::MoveWindow(page, 3, 3, 20, 20, FALSE);
    RECT r{};
    ::GetWindowRect(page, &r);
    EXPECT_EQ(r.right - r.left, 20);
}

TEST(CommTimings, LongWaitOnlyForNetworkWirelessPorts) {
    struct Row {
        int32_t kind;
        std::u16string device;
        int32_t wait;
    } rows[] = {
        {kIfNetwork, u"QK-R40 Wi-Fi", 15000}, {kIfNetwork, u"WB-K20 bridge", 15000},
        {kIfUsb, u"QK-R40 Wi-Fi", 1000},      {kIfNetwork, u"QK-R40 wi-fi", 1000},
        {kIfNetwork, u"QK-R40 LAN", 1000},    {kIfNetwork, u"", 1000},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        TestContext context;
        context.get()->interfaceKind = rows[i].kind;
        context.SetPortDeviceText(rows[i].device);
        ProbeController controller;
        controller.pageTemplates = {};
        ASSERT_EQ(controller.Initialize(nullptr, nullptr, context.get()), 0);
        ProbePage page;
        page.SetController(&controller);
        CommTimings timings{};
        EXPECT_EQ(page.GetCommTimings(&timings), 1);
        EXPECT_EQ(timings.waitMs, rows[i].wait) << "row " << i;
        EXPECT_EQ(timings.attempts, 30);
        EXPECT_EQ(timings.pauseMs, 1000);
        EXPECT_EQ(page.GetCommTimings(nullptr), 0);
        page.SetController(nullptr);
    }
}

TEST(DataBlocks, ReadAndWriteThroughTheContextsDataManager) {
    PluginDataMgr store;
    TestContext context;
    context.get()->dataManager = &store;
    ProbeController controller(nullptr, 0x00010010, 36);
    controller.pageTemplates = {};
    ASSERT_EQ(controller.Initialize(nullptr, nullptr, context.get()), 0);
    ProbePage page;
    EXPECT_EQ(page.ReadOwnDataBlock(nullptr, 0), -2) << "no controller yet";
    page.SetController(&controller);

    unsigned char block[36] = {};
    controller.GetBlockHeader(reinterpret_cast<PluginBlockHeader*>(block));
    block[32] = 1;
    EXPECT_EQ(page.WriteOwnDataBlock(block, sizeof(block)), -1) << "no such block yet";
    ASSERT_EQ(store.CreateBlock(0x00010010, 0x00010000, 36), 0);
    EXPECT_EQ(page.WriteOwnDataBlock(block, sizeof(block)), 0);
    unsigned char back[36];
    std::memset(back, 0xCC, sizeof(back));
    EXPECT_EQ(page.ReadDataBlock(0x00010010, back, sizeof(back)), 0);
    EXPECT_EQ(std::memcmp(back, block, sizeof(back)), 0);
    EXPECT_EQ(page.ReadDataBlock(0x00010005, back, sizeof(back)), -1);
    page.SetController(nullptr);
}

TEST(MessageBoxes, DefaultTextsButtonsAndIcons) {
    ScriptedPresenter presenter;
    presenter.Answer(IDOK);
    presenter.Answer(IDOK);
    presenter.Answer(IDNO);
    presenter.Answer(IDCANCEL);
    presenter.Answer(IDYES);
    EXPECT_EQ(ShowInfo(nullptr), IDOK);
    EXPECT_EQ(ShowWarning(nullptr, L""), IDOK);
    EXPECT_EQ(AskYesNo(nullptr), IDNO);
    EXPECT_EQ(AskYesNoCancel(nullptr), IDCANCEL);
    EXPECT_EQ(AskYesNo(nullptr, L"Really?", L"Other caption"), IDYES);
    const auto& shown = presenter.Shown();
    ASSERT_EQ(shown.size(), 5u);
    const wchar_t* question = L"Do you want to save your changes to the settings to the printer?";
    struct Row {
        const wchar_t* text;
        const wchar_t* caption;
        UINT buttons, icon;
    } rows[] = {
        {L"Settings were changed successfully.", L"QK-R40 Utility", MB_OK, MB_ICONINFORMATION},
        {L"Failed to change settings.", L"QK-R40 Utility", MB_OK, MB_ICONWARNING},
        {question, L"QK-R40 Utility", MB_YESNO, MB_ICONQUESTION},
        {question, L"QK-R40 Utility", MB_YESNOCANCEL, MB_ICONQUESTION},
        {L"Really?", L"Other caption", MB_YESNO, MB_ICONQUESTION},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(shown[i].text, rows[i].text) << "row " << i;
        EXPECT_EQ(shown[i].caption, rows[i].caption) << "row " << i;
        EXPECT_EQ(shown[i].Buttons(), rows[i].buttons) << "row " << i;
        EXPECT_EQ(shown[i].Icon(), rows[i].icon) << "row " << i;
    }
}

} // namespace
} // namespace qk::test
