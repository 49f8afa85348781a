#include "app/connection/PrinterCheck.h"

#include <cwchar>
#include <string>
#include <windows.h>
#include "app/connection/ModelName.h"
#include "app/shell/Model.h"
#include "framework/comm/CommResult.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/MessagePresenter.h"

namespace qk::app {
namespace {

std::u16string ReportedName(const comm::PortRecord& record) {
    std::u16string name(record.deviceName, comm::kPortTextChars);
    // The library writes a NUL-terminated name; never read past the slot.
    name.resize(name.find(u'\0') == std::u16string::npos ? name.size() : name.find(u'\0'));
    return name;
}

} // namespace

int32_t CPrinterCheck::TestPrinter(int32_t mode, comm::PortRecord& record) {
    if (!m_binding) {
        m_lastTest = comm::kQkcNotBound;
        return m_lastTest;
    }
    m_lastTest = m_binding->QKC_CommunicationTest(&record);
    if (mode != 1 || m_lastTest != 0)
        return m_lastTest;
    const std::u16string reported = ReportedName(record);
    const std::u16string served = reinterpret_cast<const char16_t*>(kModelName);
    bool same = m_installerMode ? MatchModelName(reported, served) : reported == served;
    if (same)
        return m_lastTest;
    ReportWrongModel();
    return kResultWrongModel;
}

int32_t CPrinterCheck::OpenPrinter(comm::PortRecord& record) {
    if (!m_binding)
        return comm::kQkcNotBound;
    if (int32_t code = m_binding->QKC_SetPort(&record))
        return code;
    if (int32_t code = m_binding->QKC_GetPort(&record))
        return code;
    if (int32_t code = m_binding->QKC_Open(1))
        return code;
    return m_binding->QKC_Initialize();
}

void CPrinterCheck::ReportWrongModel() {
    wchar_t text[256];
    swprintf(text, 256, L"The connected printer is not %ls.", kModelName);
    ShowMessage(nullptr, text, kUtilCaption, MB_OK | MB_ICONWARNING);
}

} // namespace qk::app
