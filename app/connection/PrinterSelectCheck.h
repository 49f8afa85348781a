// The printer check as the selection dialog runs it: the model mismatch is told in the
// dialog's own language.
#pragma once
#include <windows.h>
#include <functional>
#include <utility>
#include "app/connection/PrinterCheck.h"

namespace qk::app {

class CPrinterSelectCheck : public CPrinterCheck {
public:
    explicit CPrinterSelectCheck(std::function<void()> reportWrongModel)
        : m_reportWrongModel(std::move(reportWrongModel)) {}

protected:
    void ReportWrongModel() override {
        if (m_reportWrongModel)
            m_reportWrongModel();
        else
            CPrinterCheck::ReportWrongModel();
    }

private:
    std::function<void()> m_reportWrongModel;
};

} // namespace qk::app
