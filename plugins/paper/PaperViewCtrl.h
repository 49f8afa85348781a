// The paper and print settings library's page controller: its own block is 0x10005, it asks
// the host for the four other blocks the page owns, fills each with the printer's factory
// values and creates the page. It works without the device test engine: the page talks to
// the printer only through the communication library.
#pragma once
#include "framework/plugin/FormViewCtrl.h"

namespace qk::paper {

class CPaperView;

class CPaperViewCtrl : public CFormViewCtrl {
public:
    CPaperViewCtrl();

    // The factory content of an owned block; -1 for another key or a missing block, -2
    // before the context (and with it the data manager) is known.
    int32_t SetDefaultData(uint32_t key) override;
    // Blocks 0x10003, 0x10006, 0x1000A and 0x1000B; with a list, at most *count are filled
    // and *count becomes the number filled.
    int32_t GetDependData(DependRecord* list, int32_t* count) override;
    // Each showing brings the page to what the store holds (a left page's edits are gone).
    void OnPageShown() override;
    void CreatePages() override;

private:
    CPaperView* m_page = nullptr; // owned through the page list
};

} // namespace qk::paper
