#include "tests/app/MainFrameTestSupport.h"

#include <cstring>
#include "app/shell/UtilDummyView.h"
#include "app/shell/UtlDoc.h"
#include "platform/Text.h"
#include "resource.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {

FakeShellHost::FakeShellHost() : context(std::make_unique<UtilContext>()) {
    std::memset(context.get(), 0, sizeof(UtilContext));
    context->applicationLock = lock.Get();
    context->dataManager = &store;
    library.MarkLoaded();
    library.strictUnscripted = true;
    previous_ = app::SetShellHost(this);
}

FakeShellHost::~FakeShellHost() {
    app::SetShellHost(previous_);
}

FrameFixture::FrameFixture()
    : docTemplate(
          IDR_MAINFRAME, [] { return new app::CUtlDoc; }, [] { return new app::CMainFrame; },
          [] { return new app::CUtilDummyView; }) {
    // The panes load their texts from the program folder's language files.
    const std::u16string languageFolder = FromWide(StageDir() + L"\\LANG");
    languageFolder.copy(host.context->languageFolder, kTextSlot - 1);
    host.context->languageId = 0x0409;
}

void FrameFixture::SetUp() {
    CFrameWnd* created = docTemplate.OpenNewDocument();
    ASSERT_NE(created, nullptr);
    frameObject = dynamic_cast<app::CMainFrame*>(created);
    ASSERT_NE(frameObject, nullptr);
    frame = created->m_hWnd;
    // A printer that answered at start-up is read as soon as the message loop runs. These
    // tests are about the frame, so that read is taken out of the queue; the status strip's
    // own tests run it.
    MSG pending;
    while (
        ::PeekMessageW(&pending, nullptr, WM_UTIL_READSETTINGS, WM_UTIL_READSETTINGS, PM_REMOVE)) {
    }
}

void FrameFixture::TearDown() {
    if (::IsWindow(frame))
        ::DestroyWindow(frame);
}

} // namespace qk::test
