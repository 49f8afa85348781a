// The base from which concrete pages derive.
#pragma once
#include "framework/view/CommonFormView.h"

namespace qk {

class CSingleFormView : public CCommonFormView {
public:
    using CCommonFormView::CCommonFormView;
};

} // namespace qk
