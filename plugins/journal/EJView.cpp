#include "plugins/journal/EJView.h"

#include "resource.h"

namespace qk::journal {

CEJView::CEJView() : CSingleFormView(IDD_EJ_VIEW, u"QKUEJ_DLL") {}

} // namespace qk::journal
