// The journal library's page controller: its own block is the journal block, it creates the
// journal page and fills the journal block with its defaults.
#pragma once
#include "framework/plugin/FormViewCtrl.h"

namespace qk::journal {

class CEJViewCtrl : public CFormViewCtrl {
public:
    explicit CEJViewCtrl(IDeviceTestEngine* engine);

    // The journal block with the journal off; -1 for another key or a missing block, -2
    // before the context (and with it the data manager) is known.
    int32_t SetDefaultData(uint32_t key) override;
    void PrepareController() override {}
    void CreatePages() override;
};

} // namespace qk::journal
