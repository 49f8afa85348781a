#include "plugins/journal/EJView.h"

#include "framework/context/TextSlot.h"
#include "framework/context/UtilContext.h"
#include "framework/plugin/FormViewCtrl.h"
#include "framework/store/PrinterInfoBlock.h"
#include "framework/store/PrinterSettingBlocks.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/Text.h"
#include "platform/WaitCursor.h"
#include "resource.h"

namespace qk::journal {
namespace {

inline constexpr int32_t kConfirmMessage = 0;
inline constexpr int32_t kViewerMissingMessage = 1;
inline constexpr int32_t kSwitchFailedMessage = 2;
inline constexpr char16_t kConfirmText[] =
    u"Do you want to change the electronic journal setting for this printer port?";
inline constexpr char16_t kViewerMissingText[] =
    u"Could not find the required files. \nPlease reinstall.";
inline constexpr char16_t kSwitchFailedText[] = u"Failed to change settings.";

} // namespace

CEJView::CEJView(const sys::SystemServices& services)
    : CSingleFormView(IDD_EJ_VIEW, u"QKUEJ_DLL"), m_emulator(services) {}

CEJView::~CEJView() = default;

bool CEJView::PrepareEmulatorRecord(sys::EmulatorPortSettings& record) {
    record = m_emulator.NewSettings();
    PaperSettingBlock paper{};
    if (ReadDataBlock(kPaperSettingBlockKey, &paper, sizeof paper) != 0)
        return false;
    UtilContext* context = Context();
    if (!context)
        return false;
    comm::PortRecord* port = &context->portRecord;
    return m_emulator.SetupEmulatorPort(record, context->binding, SlotText(port->deviceName), port,
                                        paper.paperSize, context->resolutionDpi);
}

int32_t CEJView::StoredJournalFlag() {
    if (ReadOwnDataBlock(&m_block, sizeof m_block) != 0) {
        m_block = JournalBlock{};
        if (Controller())
            Controller()->GetBlockHeader(&m_block.header);
    }
    return m_block.journalFlag;
}

void CEJView::StoreJournalFlag(int32_t flag) {
    StoredJournalFlag();
    m_block.journalFlag = flag;
    WriteOwnDataBlock(&m_block, sizeof m_block);
}

int32_t CEJView::ReadSettings() {
    sys::EmulatorPortSettings record;
    PrepareEmulatorRecord(record);
    StoreJournalFlag(record.journalEnabled ? 1 : 0);
    return 1;
}

void CEJView::OnInitialUpdate() {
    CSingleFormView::OnInitialUpdate();
    if (!m_enableCheck.m_hWnd)
        m_enableCheck.SubclassDlgItem(kEnableCheckId, m_hWnd);
    m_viewerButton.AttachDlgItem(m_hWnd, kViewerButtonId);
    SetInitialControlState();
    PageTexts().ApplyCaptions(m_hWnd);
}

void CEJView::SetInitialControlState() {
    sys::EmulatorPortSettings record;
    PrepareEmulatorRecord(record);
    if (m_emulator.CanRoute(record)) {
        m_enableCheck.SetCheck(StoredJournalFlag() == 1 ? BST_CHECKED : BST_UNCHECKED);
        return;
    }
    m_enableCheck.EnableWindow(false);
    m_viewerButton.EnableWindow(false);
}

bool CEJView::OnCommand(UINT code, UINT id, HWND control) {
    if (code == BN_CLICKED && id == kEnableCheckId) {
        OnEnableClicked();
        return true;
    }
    if (code == BN_CLICKED && id == kViewerButtonId) {
        OnViewerClicked();
        return true;
    }
    return CSingleFormView::OnCommand(code, id, control);
}

void CEJView::OnEnableClicked() {
    const bool checked = m_enableCheck.GetCheck() == BST_CHECKED;
    const std::u16string question =
        PageTexts().TextOr(LangListKind::ScreenMessages, kConfirmMessage, kConfirmText);
    if (AskYesNo(m_hWnd, WidePtr(question)) == IDYES) {
        sys::EmulatorPortSettings record;
        // A switch the machine did not take whole is undone there, and the box follows it;
        // the operator is told, or the box going back looks like a click that was lost.
        if (PrepareEmulatorRecord(record) && !m_emulator.ApplyJournalEnable(record, checked)) {
            m_enableCheck.SetCheck(record.journalEnabled ? BST_CHECKED : BST_UNCHECKED);
            ShowWarning(m_hWnd,
                        WidePtr(PageTexts().TextOr(LangListKind::ScreenMessages,
                                                   kSwitchFailedMessage, kSwitchFailedText)));
        }
    } else {
        m_enableCheck.SetCheck(checked ? BST_UNCHECKED : BST_CHECKED);
    }
    StoreJournalFlag(m_enableCheck.GetCheck() == BST_CHECKED ? 1 : 0);
}

void CEJView::WriteFontSettings(const sys::EmulatorPortSettings& record) {
    FontSettingBlock characters{};
    PrinterInfoBlock info{};
    if (ReadDataBlock(kFontSettingBlockKey, &characters, sizeof characters) != 0 ||
        ReadDataBlock(kPrinterInfoBlockKey, &info, sizeof info) != 0)
        return;
    m_emulator.WriteFontSettings(characters.codeTable, record, SlotText(info.strings[4]),
                                 characters.charSet);
}

void CEJView::OnViewerClicked() {
    CWaitCursor wait;
    HWND mainWindow = Controller() ? Controller()->OwnerWindow() : nullptr;
    if (!mainWindow)
        return;
    sys::EmulatorPortSettings record;
    if (!PrepareEmulatorRecord(record))
        return;
    WriteFontSettings(record);
    if (!m_emulator.LaunchJournalViewer(record, reinterpret_cast<os::WindowId>(mainWindow))) {
        const std::u16string text = PageTexts().TextOr(LangListKind::ScreenMessages,
                                                       kViewerMissingMessage, kViewerMissingText);
        ShowWarning(m_hWnd, WidePtr(text));
    }
}

} // namespace qk::journal
