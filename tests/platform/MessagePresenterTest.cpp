#include <gtest/gtest.h>
#include "tests/support/ScriptedPresenter.h"

namespace qk::test {

TEST(MessagePresenter, ScriptedPresenterRecordsAndAnswersThenRestores) {
    IMessagePresenter* before = &MessagePresenter();
    {
        ScriptedPresenter script;
        EXPECT_EQ(&MessagePresenter(), &script);
        script.Answer(IDYES);
        EXPECT_EQ(ShowMessage(nullptr, L"Question?", L"QK-R40 Utility", MB_YESNO | MB_ICONQUESTION),
                  IDYES);
        // Script exhausted: a Yes/No box is answered No, never Yes by accident.
        EXPECT_EQ(ShowMessage(nullptr, L"Again?", L"QK-R40 Utility", MB_YESNO), IDNO);
        ASSERT_EQ(script.Shown().size(), 2u);
        EXPECT_EQ(script.Shown()[0].text, L"Question?");
        EXPECT_EQ(script.Shown()[0].caption, L"QK-R40 Utility");
        EXPECT_EQ(script.Shown()[0].Icon(), static_cast<UINT>(MB_ICONQUESTION));
        EXPECT_EQ(script.Shown()[0].Buttons(), static_cast<UINT>(MB_YESNO));
    }
    EXPECT_EQ(&MessagePresenter(), before);
}

} // namespace qk::test
