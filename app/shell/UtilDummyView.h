// The page area: an empty child form in which the plug-in pages are created.
#pragma once
#include "platform/FormView.h"

namespace qk::app {

class CUtilDummyView : public CFormView {
public:
    CUtilDummyView();

protected:
    // Pages are children of this view: pass every size change on to all of them.
    void OnSize(UINT type, int cx, int cy) override;
};

} // namespace qk::app
