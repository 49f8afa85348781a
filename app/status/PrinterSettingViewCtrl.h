// The page controller of the status strip: it owns the printer setting page and writes the
// defaults of the printer information block.
#pragma once
#include "framework/plugin/FormViewCtrl.h"

namespace qk::app {

class CPrinterSettingView;

class CPrinterSettingViewCtrl : public CFormViewCtrl {
public:
    CPrinterSettingViewCtrl();
    ~CPrinterSettingViewCtrl() override;

    // Only block 0x10001 is known: its defaults are written (1, or the store's code); -1 else.
    int32_t SetDefaultData(uint32_t key) override;
    void PrepareController() override {}
    void CreatePages() override;

    // The printer setting page, once the controller is initialised; else null.
    CPrinterSettingView* Page() const;
};

} // namespace qk::app
