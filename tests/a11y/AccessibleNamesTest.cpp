// What a screen reader hears of the main window: each function menu row by its text and the
// selected row as selected, the status strip's printer picture and state picture by what its
// lines say, in every language, in the file mode and online on the simulator. Read through
// AccessibleObjectFromWindow from this process, as a screen reader reads another program (the
// buttons of every window, in every language, are heard in the text-fit suite, which opens
// them all).
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include "app/status/UtilStatusView.h"
#include "tests/app/RemoteListView.h"
#include "tests/app/StartupEndToEndFixture.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

struct Reading {
    const char* language; // SETTING.INI's LANGID
    bool online;          // on the simulator in the remote mode, else the file mode
};
constexpr Reading kRuns[] = {
    {"0409", false}, {"0407", false}, {"0411", false},
    {"0409", true},  {"0407", true},  {"0411", true},
};

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

class AccessibleNames : public UtilityRun, public testing::WithParamInterface<Reading> {
protected:
    void SetUp() override {
        UtilityRun::SetUp();
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override {
        ::CoUninitialize();
        UtilityRun::TearDown();
    }

    // A copy of the program whose settings start it in the run's language.
    std::wstring ProgramInLanguage(const char* language) {
        const std::wstring program = CopyOfStage();
        std::ofstream(std::filesystem::path(program + L"SETTING.INI"), std::ios::binary)
            << "[LANGUAGE]\r\nLANGID=" << language << "\r\n";
        return program;
    }

    // The main window once its pictures and lines show what they will be read by: the file
    // mode's at once, the remote mode's after the start's settings read.
    HWND StartIn(const Reading& run) {
        const std::wstring program = ProgramInLanguage(run.language);
        if (!run.online) {
            if (!Launch(program_, L"/mF" + Folder() + L"\\R40.dat", program))
                return nullptr;
            return WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
        }
        StartPrinter();
        if (!Launch(program_, L"/bM /mR /r" + DevicePath(), program))
            return nullptr;
        HWND frame = WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
        if (!frame ||
            !PumpUntil([&] { return TopLevelWindows(program_.Id(), L"#32770").empty(); }, 30000))
            return nullptr;
        return frame;
    }
};

TEST_P(AccessibleNames, MenuRowsAndStatusPicturesAreNamed) {
    const Reading run = GetParam();
    const char* kLanguage = run.language;
    HWND frame = StartIn(run);
    ASSERT_NE(frame, nullptr) << kLanguage << (run.online ? ", online" : ", file mode");
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
    // Both modes open on their first function's page.
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
    if (!run.online)
        Answer(IDNO);
    EXPECT_TRUE(program_.Wait(20000));
}

INSTANTIATE_TEST_SUITE_P(LanguagesAndModes, AccessibleNames, testing::ValuesIn(kRuns),
                         [](const testing::TestParamInfo<Reading>& info) {
                             return std::string("Lang") + info.param.language +
                                    (info.param.online ? "Online" : "FileMode");
                         });

} // namespace
} // namespace qk::test
