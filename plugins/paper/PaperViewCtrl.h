// The paper and print settings library's page controller: its own block is 0x10005, it asks
// the host for the four other blocks the page owns, fills each with the printer's factory
// values and creates the page.
#pragma once
#include "framework/plugin/PageViewCtrl.h"

namespace qk::paper {

class CPaperViewCtrl : public CPrinterPageViewCtrl {
public:
    CPaperViewCtrl();

    // The factory content of an owned block; -1 for another key or a missing block, -2
    // before the context (and with it the data manager) is known.
    int32_t SetDefaultData(uint32_t key) override;
    // Blocks 0x10003, 0x10006, 0x1000A and 0x1000B; with a list, at most *count are filled
    // and *count becomes the number filled.
    int32_t GetDependData(DependRecord* list, int32_t* count) override;
};

} // namespace qk::paper
