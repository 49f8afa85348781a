// The one-page controller of the plug-ins: the block of a page without settings of its own. A
// page's buttons through its click table, and the file dialogs' filter.
#include <gtest/gtest.h>
#include <cstring>
#include "framework/plugin/PageViewCtrl.h"
#include "framework/store/PluginDataMgr.h"
#include "framework/view/ExchangePageView.h"
#include "framework/view/FileChooser.h"
#include "tests/view/ViewTestSupport.h"

namespace qk::test {
namespace {

constexpr uint32_t kKey = 0x0001000C;

TEST(PageViewCtrl, HeaderOnlyBlockReplacesWhatTheBlockHeld) {
    CPageViewCtrl controller(kKey, 36, []() -> CCommonFormView* { return new ProbePage; });
    EXPECT_EQ(controller.SetDefaultData(kKey), -2) << "no context yet";
    PluginDataMgr store;
    TestContext context;
    context.get()->dataManager = &store;
    ASSERT_EQ(controller.Initialize(nullptr, nullptr, context.get()), 0);
    ASSERT_EQ(store.CreateBlock(kKey, kBlockVersion, 36), 0);
    unsigned char stale[36];
    std::memset(stale, 0xCC, sizeof stale);
    ASSERT_EQ(store.WriteBlock(kKey, sizeof stale, stale), 0);

    EXPECT_EQ(controller.SetDefaultData(0x0001000D), -1);
    EXPECT_EQ(controller.SetDefaultData(kKey), 0);
    unsigned char block[36];
    ASSERT_EQ(store.ReadBlock(kKey, block, sizeof block), 0);
    const unsigned char expected[36] = {'P', 'N', 'D', 0, 0x0C, 0, 1, 0, 0, 0, 1, 0, 36};
    EXPECT_EQ(std::memcmp(block, expected, sizeof expected), 0);
    controller.Finalize();
}

class ClickPage : public CExchangePageView {
public:
    ClickPage() : CExchangePageView(8, u"TEST_PAGE", 0) {}
    int first = 0, second = 0;
    bool Command(UINT code, UINT id) {
        static constexpr Click<ClickPage> kClicks[] = {{101, &ClickPage::OnFirst},
                                                       {102, &ClickPage::OnSecond}};
        return OnClick(*this, kClicks, code, id);
    }

protected:
    int32_t ExchangeOnWorker(const PrinterWork&) override { return 1; }

private:
    void OnFirst() { ++first; }
    void OnSecond() { ++second; }
};

TEST(ExchangePage, OnlyAClickOfAListedButtonRunsItsHandler) {
    ClickPage page;
    EXPECT_TRUE(page.Command(BN_CLICKED, 102));
    EXPECT_FALSE(page.Command(BN_SETFOCUS, 101)) << "a focus change is no click";
    EXPECT_FALSE(page.Command(BN_CLICKED, 103));
    EXPECT_EQ(page.first, 0);
    EXPECT_EQ(page.second, 1);
}

TEST(FileChooser, LanguageFileFilterEndsInTwoNuls) {
    const std::u16string filter = DialogFilter(u"Text (*.txt)|*.txt|All (*.*)|*.*|");
    EXPECT_EQ(filter, std::u16string(u"Text (*.txt)\0*.txt\0All (*.*)\0*.*\0\0", 34));
}

} // namespace
} // namespace qk::test
