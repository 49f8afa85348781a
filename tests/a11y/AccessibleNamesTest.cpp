// What a screen reader hears of the main window: each function menu row by its text and the
// selected row as selected, the status strip's printer picture and state picture by what its
// lines say. Read through AccessibleObjectFromWindow from this process, as a screen reader
// reads another program (the buttons of every window, in every language, are heard in the
// text-fit suite, which opens them all).
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "app/status/UtilStatusView.h"
#include "tests/app/RemoteListView.h"
#include "tests/app/StartupEndToEndFixture.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

constexpr char kLanguage[] = "0409";

struct Heard {
    bool ok = false;
    std::wstring name;
    LONG state = 0;
    LONG childCount = 0;
};

// The client object's name and state of the window, or of one of its rows (1...).
Heard Hear(HWND window, LONG child = CHILDID_SELF) {
    Heard heard;
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                            IID_IAccessible, reinterpret_cast<void**>(&object))) ||
        !object)
        return heard;
    VARIANT id;
    ::VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    BSTR name = nullptr;
    heard.ok = SUCCEEDED(object->get_accName(id, &name));
    if (name) {
        heard.name.assign(name, ::SysStringLen(name));
        ::SysFreeString(name);
    }
    VARIANT state;
    ::VariantInit(&state);
    if (SUCCEEDED(object->get_accState(id, &state)) && state.vt == VT_I4)
        heard.state = state.lVal;
    object->get_accChildCount(&heard.childCount);
    object->Release();
    return heard;
}

// One picture of the status strip: it is named by the line beside it.
struct PictureRow {
    const char* control;
    int pictureId;
    int lineId;
};
constexpr PictureRow kStatusPictures[] = {
    {"printer picture", app::CUtilStatusView::kPictureId, app::CUtilStatusView::kNameLineId},
    {"state picture", app::CUtilStatusView::kIconId, app::CUtilStatusView::kStatusLineId},
};

class AccessibleNames : public UtilityRun {
protected:
    void SetUp() override {
        UtilityRun::SetUp();
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override {
        ::CoUninitialize();
        UtilityRun::TearDown();
    }
};

TEST_F(AccessibleNames, MenuRowsAndStatusPicturesAreNamed) {
    HWND frame = StartFileMode(Folder() + L"\\R40.dat");
    ASSERT_NE(frame, nullptr);
    HWND menu = Descendant(frame, 0, L"SysListView32");
    ASSERT_NE(menu, nullptr);
    const auto rows = RemoteListRows(menu, 1);
    ASSERT_FALSE(rows.empty()) << "main window, function menu, " << kLanguage << ": no rows";

    EXPECT_EQ(Hear(menu).childCount, static_cast<LONG>(rows.size()))
        << "main window, function menu, " << kLanguage;
    int selected = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Heard row = Hear(menu, static_cast<LONG>(i + 1));
        EXPECT_TRUE(row.ok && row.name == rows[i][0])
            << "main window, function menu row " << i << ", " << kLanguage << ": heard \""
            << testing::PrintToString(row.name) << "\", shows "
            << testing::PrintToString(rows[i][0]);
        if (row.state & STATE_SYSTEM_SELECTED)
            ++selected;
    }
    // The file mode opens on its first function's page.
    EXPECT_EQ(selected, 1) << "main window, function menu, " << kLanguage
                           << ": rows heard as selected";

    for (const PictureRow& picture : kStatusPictures) {
        HWND control = Descendant(frame, picture.pictureId);
        ASSERT_NE(control, nullptr) << picture.control;
        const std::wstring line = DescendantText(frame, picture.lineId);
        const Heard heard = Hear(control);
        EXPECT_TRUE(heard.ok && !line.empty() && heard.name == line)
            << "status strip, " << picture.control << ", " << kLanguage << ": heard "
            << testing::PrintToString(heard.name) << ", the line says "
            << testing::PrintToString(line);
    }

    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    Answer(IDNO);
    EXPECT_TRUE(program_.Wait(20000));
}

} // namespace
} // namespace qk::test
