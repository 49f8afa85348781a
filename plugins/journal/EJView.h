// The electronic journal page (template 8, texts of screen "QKUEJ_DLL"): a check box that
// switches the command emulator's journal for the current printer port on or off, and a
// button that runs the emulator's journal viewer for that port.
#pragma once
#include "framework/controls/CheckBoxItem.h"
#include "framework/system/EmulatorPort.h"
#include "framework/view/SingleFormView.h"
#include "plugins/journal/JournalBlock.h"
#include "resources/resource.h"

namespace qk::journal {

inline constexpr int kEnableCheckId = IDC_EJ_ENABLE;
inline constexpr int kViewerButtonId = IDC_EJ_VIEWER;
inline constexpr int kGroupBoxId = IDC_EJ_GROUP;

class CEJView : public CSingleFormView {
public:
    explicit CEJView(const sys::SystemServices& services = {});
    ~CEJView() override;

    int32_t ReadSettings() override;
    int32_t WriteSettings() override { return 1; }

protected:
    void OnInitialUpdate() override;
    bool OnCommand(UINT code, UINT id, HWND control) override;

private:
    void OnEnableClicked();
    void OnViewerClicked();
    void SetInitialControlState();
    // A fresh emulator record for the current port: false when the paper settings block or
    // the port cannot be had.
    bool PrepareEmulatorRecord(sys::EmulatorPortSettings& record);
    void WriteFontSettings(const sys::EmulatorPortSettings& record);
    void StoreJournalFlag(int32_t flag);
    int32_t StoredJournalFlag();

    sys::CEmulatorPort m_emulator;
    CCheckBoxItem m_enableCheck;
    CButton m_viewerButton;
    JournalBlock m_block{};
};

} // namespace qk::journal
