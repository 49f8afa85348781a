// The page controller on real windows: initialisation order and answers, the menu states,
// the save question, finalisation and the device test engine's calls.
#include <gtest/gtest.h>
#include <cstring>
#include "framework/plugin/PluginExports.h"
#include "framework/view/UtilMessageBox.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/WindowDriver.h"
#include "tests/view/ViewTestSupport.h"

namespace qk::test {
namespace {

// English texts with a distinct save question per index, so a test can tell them apart.
const wchar_t kLangText[] = L"[PLUGIN_COMMON_MSG]\n"
                            L"MSG_0=Save zero?\n"
                            L"MSG_1=Save one?\n"
                            L"MSG_2=Save two?\n";

struct ControllerFixture : ::testing::Test {
    ScratchFolder lang;
    HostWindows host;
    std::unique_ptr<TestContext> context;
    CountingEngine engine;
    std::unique_ptr<ProbeController> controller;
    ScriptedPresenter presenter;
    void SetUp() override {
        lang.WriteLangFile(0x0409, kLangText);
        context = std::make_unique<TestContext>(lang.Path());
        controller = std::make_unique<ProbeController>(&engine);
    }
    int32_t Init() { return controller->Initialize(host.frame, host.pane, context->get()); }
    ProbePage& Page(size_t i = 0) { return *controller->made.at(i); }
};

TEST_F(ControllerFixture, InitializeCreatesHiddenPagesInTheParentAndMakesTheEngine) {
    controller->pageTemplates = {8, 20};
    ASSERT_EQ(Init(), 0);
    EXPECT_TRUE(controller->IsInitialized());
    EXPECT_EQ(controller->ActiveIndex(), 0);
    EXPECT_EQ(controller->OwnerWindow(), host.frame.m_hWnd);
    ASSERT_EQ(controller->Pages().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        HWND page = Page(i).m_hWnd;
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(::GetParent(page), host.pane);
        EXPECT_FALSE(::IsWindowVisible(page));
        EXPECT_EQ(static_cast<UINT>(::GetDlgCtrlID(page)), controller->pageTemplates[i]);
        EXPECT_EQ(Page(i).Controller(), controller.get());
        EXPECT_EQ(Page(i).CommCtrl().GetEngineHandle(), controller->GetEngineHandle());
    }
    EXPECT_EQ(engine.creates, 1);
    EXPECT_NE(controller->GetEngineHandle(), nullptr);
    EXPECT_EQ(controller->CommonTexts().TextOr(LangListKind::ScreenMessages, 1, u"none"),
              u"Save one?");
    EXPECT_EQ(controller->GetActiveView(), &Page(0));
}

TEST_F(ControllerFixture, SecondInitializeAnswersMinusThreeAndOnlyTakesTheContext) {
    ASSERT_EQ(Init(), 0);
    TestContext other(lang.Path());
    EXPECT_EQ(controller->Initialize(nullptr, nullptr, other.get()), -3);
    EXPECT_EQ(controller->Context(), other.get());
    EXPECT_EQ(controller->OwnerWindow(), host.frame.m_hWnd);
    EXPECT_EQ(controller->Pages().size(), 1u);
    EXPECT_EQ(engine.creates, 1);
}

TEST_F(ControllerFixture, InitializeStopsAtTheCheckAndAtAMissingEngine) {
    controller->checkAnswer = -9;
    EXPECT_EQ(Init(), -9);
    EXPECT_TRUE(controller->made.empty());
    EXPECT_EQ(engine.creates, 0);
    controller->checkAnswer = 0;
    engine.fail = true;
    EXPECT_EQ(Init(), -4);
    EXPECT_FALSE(controller->IsInitialized());
    EXPECT_TRUE(controller->made.empty()) << "no pages without an engine";
    engine.fail = false;
    EXPECT_EQ(Init(), 0) << "a later try may succeed";
}

TEST_F(ControllerFixture, InitializeEngineAndFinalizeAnswers) {
    EXPECT_EQ(controller->Finalize(), -2) << "never initialised";
    EXPECT_EQ(controller->InitializeEngine(context->get()), 0);
    EXPECT_EQ(controller->InitializeEngine(context->get()), 0) << "present already";
    EXPECT_EQ(engine.creates, 1);
    ASSERT_EQ(Init(), 0);
    EXPECT_EQ(engine.creates, 1) << "the engine made before is kept";
    HWND page = Page().m_hWnd;
    EXPECT_EQ(controller->Finalize(), 0);
    EXPECT_FALSE(::IsWindow(page));
    EXPECT_TRUE(controller->Pages().empty());
    EXPECT_EQ(engine.releases, 1);
    EXPECT_TRUE(controller->IsInitialized()) << "the flag stays set";
    EXPECT_EQ(Init(), -3);
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateShow), -1) << "no page any more";
    controller.reset();
    // The destructor releases, then finalises (which releases once more): all harmless.
    EXPECT_EQ(engine.releases, 3);
}

TEST_F(ControllerFixture, ExecutableControllerWorksWithoutAnEngine) {
    ProbeController plain(nullptr, 0x00010001, 992);
    ASSERT_EQ(plain.Initialize(host.frame, host.pane, context->get()), 0);
    EXPECT_EQ(plain.GetEngineHandle(), nullptr);
    EXPECT_EQ(plain.Finalize(), 0);
    EXPECT_EQ(plain.InitializeEngine(context->get()), -4);
    EXPECT_EQ(engine.creates + engine.releases, 0);
}

TEST_F(ControllerFixture, ShowFocusAndLeaveWithoutChanges) {
    ASSERT_EQ(Init(), 0);
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateFocus), 0) << "never shown yet";
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateShow), 1);
    HWND page = Page().m_hWnd;
    EXPECT_TRUE(::IsWindowVisible(page));
    EXPECT_TRUE(::IsWindowEnabled(page));
    RECT pane{}, own{};
    ::GetClientRect(host.pane, &pane);
    ::GetClientRect(page, &own);
    EXPECT_EQ(own.right, pane.right);
    EXPECT_EQ(own.bottom, pane.bottom);
    EXPECT_EQ(Page().initialUpdates, 1);
    EXPECT_EQ(controller->shownCalls, 1);
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateFocus), 1);
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateLeave), 0);
    EXPECT_FALSE(::IsWindowVisible(page));
    EXPECT_FALSE(::IsWindowEnabled(page));
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateShow), 1);
    EXPECT_EQ(Page().initialUpdates, 1) << "the initial update runs on the first show only";
    EXPECT_EQ(controller->ChangeMenuState(4), -1);
    EXPECT_EQ(controller->ChangeMenuState(0), -1);
    EXPECT_TRUE(presenter.Shown().empty());
}

TEST_F(ControllerFixture, DeferredPageWindowsAreMadeAtTheFirstShowing) {
    controller->Defer();
    controller->pageTemplates = {8, 20};
    ASSERT_EQ(Init(), 0);
    ASSERT_EQ(controller->Pages().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(Page(i).m_hWnd, nullptr);
        EXPECT_EQ(Page(i).Controller(), controller.get()) << "a read may come before the showing";
    }
    Page(1).readAnswer = 7;
    EXPECT_EQ(controller->ReadPrinterSettings(), 7);
    EXPECT_EQ(Page(0).reads + Page(1).reads, 2);
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateFocus), 0);
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateShow), 1);
    for (size_t i = 0; i < 2; ++i) {
        ASSERT_NE(Page(i).m_hWnd, nullptr);
        EXPECT_EQ(::GetParent(Page(i).m_hWnd), host.pane);
    }
    EXPECT_TRUE(::IsWindowVisible(Page(0).m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(Page(1).m_hWnd));
    EXPECT_EQ(Page().initialUpdates, 1);
    const HWND made = Page().m_hWnd;
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateLeave), 0);
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateShow), 1);
    EXPECT_EQ(Page().m_hWnd, made) << "made once";
    EXPECT_EQ(controller->Finalize(), 0);
    EXPECT_TRUE(controller->Pages().empty());
}

TEST_F(ControllerFixture, LeavingWithChangesAsksAndFollowsTheAnswer) {
    controller->pageTemplates = {8, 20};
    ASSERT_EQ(Init(), 0);
    ASSERT_EQ(controller->ChangeMenuState(kMenuStateShow), 1);
    Page(1).modified = 1; // a change on another page counts too
    HWND page = Page().m_hWnd;

    presenter.Answer(IDCANCEL);
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateLeave), -5);
    EXPECT_TRUE(::IsWindowVisible(page));
    ASSERT_EQ(presenter.Shown().size(), 1u);
    EXPECT_EQ(presenter.Shown()[0].text, L"Save zero?");
    EXPECT_EQ(presenter.Shown()[0].caption, L"QK-R40 Utility");
    EXPECT_EQ(presenter.Shown()[0].Buttons(), static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_EQ(presenter.Shown()[0].Icon(), static_cast<UINT>(MB_ICONQUESTION));
    EXPECT_EQ(presenter.Shown()[0].owner, page);

    presenter.Answer(IDYES);
    Page().writeAnswer = 0;
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateLeave), -5) << "writing failed";
    EXPECT_TRUE(::IsWindowVisible(page));
    EXPECT_EQ(Page().writes, 1);

    presenter.Answer(IDYES);
    Page().writeAnswer = 1;
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateLeave), 0);
    EXPECT_FALSE(::IsWindowVisible(page));
    EXPECT_EQ(Page().writes, 2);
    EXPECT_EQ(Page().saves, 0);

    controller->ChangeMenuState(kMenuStateShow);
    presenter.Answer(IDNO);
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateLeave), 0);
    EXPECT_FALSE(::IsWindowVisible(page));
    EXPECT_EQ(Page().writes, 2) << "No leaves without writing";
}

TEST_F(ControllerFixture, FileModeSavesToTheFileWithItsOwnQuestion) {
    context->get()->startMode = kStartFileMode;
    ASSERT_EQ(Init(), 0);
    controller->ChangeMenuState(kMenuStateShow);
    Page().modified = 1;
    presenter.Answer(IDYES);
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateLeave), 0);
    EXPECT_EQ(Page().saves, 1);
    EXPECT_EQ(Page().writes, 0);
    ASSERT_EQ(presenter.Shown().size(), 1u);
    EXPECT_EQ(presenter.Shown()[0].text, L"Save two?");
}

TEST_F(ControllerFixture, PageTwelveHasTheSecondQuestionAndMissingTextsFallBack) {
    controller->pageTemplates = {12};
    ASSERT_EQ(Init(), 0);
    controller->ChangeMenuState(kMenuStateShow);
    Page().modified = 1;
    presenter.Answer(IDCANCEL);
    controller->ChangeMenuState(kMenuStateLeave);
    ASSERT_EQ(presenter.Shown().size(), 1u);
    EXPECT_EQ(presenter.Shown()[0].text, L"Save one?");

    ProbeController plain(nullptr);
    TestContext noLanguage(L"");
    ASSERT_EQ(plain.Initialize(host.frame, host.pane, noLanguage.get()), 0);
    presenter.Answer(IDCANCEL); // the page reports its missing language file first
    plain.ChangeMenuState(kMenuStateShow);
    plain.made[0]->modified = 1;
    presenter.Clear();
    presenter.Answer(IDCANCEL);
    plain.ChangeMenuState(kMenuStateLeave);
    ASSERT_EQ(presenter.Shown().size(), 1u);
    EXPECT_EQ(presenter.Shown()[0].text,
              L"Do you want to save your changes to the settings to the printer?");
}

TEST_F(ControllerFixture, ReadPrinterSettingsAnswersTheLastPage) {
    EXPECT_EQ(controller->ReadPrinterSettings(), 1) << "no pages";
    controller->pageTemplates = {8, 20};
    ASSERT_EQ(Init(), 0);
    Page(0).readAnswer = -64;
    Page(1).readAnswer = 1;
    EXPECT_EQ(controller->ReadPrinterSettings(), 1);
    EXPECT_EQ(Page(0).reads, 1) << "every page reads";
    Page(1).readAnswer = -3;
    EXPECT_EQ(controller->ReadPrinterSettings(), -3);
}

TEST_F(ControllerFixture, PageDestroyedWithItsPaneLeavesTheList) {
    ASSERT_EQ(Init(), 0);
    ::DestroyWindow(host.pane); // the page area goes before the plug-in is finalised
    EXPECT_TRUE(controller->Pages().empty());
    EXPECT_EQ(controller->ChangeMenuState(kMenuStateShow), -1);
    EXPECT_EQ(controller->Finalize(), 0);
}

TEST(BlockHeader, CarriesMagicKeyVersionAndSize) {
    ProbeController controller(nullptr, 0x00010010, 36);
    PluginBlockHeader header;
    std::memset(&header, 0xCC, sizeof(header));
    EXPECT_EQ(controller.GetBlockHeader(&header), &header);
    const unsigned char expected[32] = {'P', 'N', 'D', 0, 0x10, 0, 1, 0, 0, 0, 1, 0, 36, 0, 0, 0};
    EXPECT_EQ(std::memcmp(&header, expected, sizeof(expected)), 0);
    controller.MakeBlockHeader(&header, 7, 8, 9);
    EXPECT_EQ(header.key, 7u);
    EXPECT_EQ(header.version, 8u);
    EXPECT_EQ(header.size, 9u);
    EXPECT_EQ(controller.GetBlockHeader(nullptr), nullptr);
}

// The test program has no plug-in application object, like a library whose object is gone.
TEST(ExportsWithoutController, AnswerTheirNoControllerCodes) {
    PluginInfo info{};
    int32_t count = 0;
    EXPECT_EQ(plugin::Initialize(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(plugin::InitializeEngine(nullptr), -1);
    EXPECT_EQ(plugin::Finalize(), 0);
    EXPECT_EQ(plugin::GetActiveView(), nullptr);
    EXPECT_EQ(plugin::ChangeMenuState(kMenuStateShow), -1);
    EXPECT_EQ(plugin::GetPluginInfo(&info), -1);
    EXPECT_EQ(plugin::GetPluginInfo(nullptr), -6);
    EXPECT_EQ(plugin::ReadPrinterSettings(), -1);
    EXPECT_EQ(plugin::SetDefaultData(0x00010010), -1);
    EXPECT_EQ(plugin::GetDependData(nullptr, &count), -1);
}

} // namespace
} // namespace qk::test
