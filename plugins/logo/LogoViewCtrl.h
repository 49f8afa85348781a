// The logo library's page controller: its own block is 0x10007, filled with the factory
// values (no logos, options off), and one page. It works without the device test engine:
// the page talks to the printer only through the communication library.
#pragma once
#include "framework/plugin/FormViewCtrl.h"

namespace qk::logo {

class CLogoView;

class CLogoViewCtrl : public CFormViewCtrl {
public:
    CLogoViewCtrl();

    // The factory content of block 0x10007; -1 for another key, -2 before the context (and
    // with it the data manager) is known.
    int32_t SetDefaultData(uint32_t key) override;
    // Each showing brings the page to what the store holds.
    void OnPageShown() override;
    void CreatePages() override;

private:
    CLogoView* m_page = nullptr; // owned through the page list
};

} // namespace qk::logo
