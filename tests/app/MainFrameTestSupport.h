// The main frame made in-process through the document template, with an application stand-in
// whose communication library is the scripted fake.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include "app/shell/MainFrame.h"
#include "app/shell/ShellHost.h"
#include "framework/comm/QkcBinding.h"
#include "framework/context/UtilContext.h"
#include "framework/store/PluginDataMgr.h"
#include "platform/DocTemplate.h"
#include "platform/Sync.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/fakes/FakeCommLibrary.h"

namespace qk::test {

class FakeShellHost : public app::IShellHost {
public:
    FakeShellHost();
    ~FakeShellHost();
    UtilContext* Context() override { return context.get(); }
    comm::QkcBinding* Binding() override { return library.Binding(); }
    int32_t ConnectionResult() override { return connectionResult; }

    std::unique_ptr<UtilContext> context;
    // A loaded library; a call of an entry point it does not script fails the test.
    FakeCommLibrary library;
    int32_t connectionResult = 0;
    CCriticalSection lock;
    // The status strip reads the printer information block from here.
    PluginDataMgr store;

private:
    app::IShellHost* previous_;
};

struct FrameFixture : ::testing::Test {
    // The settings read that starts with the frame reports through message boxes.
    ScriptedPresenter presenter;
    FakeShellHost host;
    CSingleDocTemplate docTemplate;
    app::CMainFrame* frameObject = nullptr;
    HWND frame = nullptr;
    FrameFixture();
    void SetUp() override;
    void TearDown() override;
    app::CMainFrame& Frame() { return *frameObject; }
};

} // namespace qk::test
