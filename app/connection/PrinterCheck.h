// Whether the printer on a port is the served model, and making that port the library's open
// port. The printer selection dialog keeps the last test result; start-up takes it as its
// connection result.
#pragma once
// First, so that names the platform headers turn into macros (OpenPrinter) read the same in
// every file that uses this class.
#include <windows.h>
#include <cstdint>
#include "framework/comm/QkcBinding.h"

namespace qk::app {

// The printer is another model.
inline constexpr int32_t kResultWrongModel = -67;

class CPrinterCheck {
public:
    explicit CPrinterCheck(comm::QkcBinding* binding = nullptr) : m_binding(binding) {}
    virtual ~CPrinterCheck() = default;

    void SetBinding(comm::QkcBinding* binding) { m_binding = binding; }
    // The driver installer's modes compare model names with MatchModelName.
    void SetInstallerMode(bool installer) { m_installerMode = installer; }

    // Mode 1 also checks the model; mode 0 only that the printer answers.
    int32_t TestPrinter(int32_t mode, comm::PortRecord& record);
    // SetPort, GetPort, Open(1), Initialize; the first failure ends it and is answered.
    int32_t OpenPrinter(comm::PortRecord& record);
    // 0x80000000 until a test has run.
    int32_t LastTestResult() const { return m_lastTest; }

protected:
    // Tells the operator that the printer is another model (message 2 of the selection
    // dialog's screen); the default shows the English text.
    virtual void ReportWrongModel();

private:
    comm::QkcBinding* m_binding; // not owned
    bool m_installerMode = false;
    int32_t m_lastTest = static_cast<int32_t>(0x80000000u);
};

} // namespace qk::app
