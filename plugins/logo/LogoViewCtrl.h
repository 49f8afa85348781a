// The logo library's page controller: its own block is 0x10007, filled with the factory
// values (no logos, options off), and one page.
#pragma once
#include "framework/plugin/PageViewCtrl.h"

namespace qk::logo {

class CLogoViewCtrl : public CPrinterPageViewCtrl {
public:
    CLogoViewCtrl();

    // The factory content of block 0x10007; -1 for another key, -2 before the context (and
    // with it the data manager) is known.
    int32_t SetDefaultData(uint32_t key) override;
};

} // namespace qk::logo
