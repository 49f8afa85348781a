// The electronic journal page (template 8, texts of screen "QKUEJ_DLL").
//
// What it does today: it is the journal library's one page, created, shown and left by the
// controller with the texts loaded on its first showing. Its check box and viewer button,
// the journal switch and the settings read come with the journal page's own work.
#pragma once
#include "framework/view/SingleFormView.h"

namespace qk::journal {

class CEJView : public CSingleFormView {
public:
    CEJView();
};

} // namespace qk::journal
