#include "app/startup/UnattendedStart.h"

#include "app/connection/PrinterChoice.h"
#include "app/connection/PortRecordText.h"
#include "framework/context/StartMode.h"
#include "framework/plugin/UnattendedApplyApi.h"
#include "framework/plugin/UnattendedResultFile.h"
#include "platform/LibraryLoader.h"
#include "platform/Text.h"

namespace qk::app {

bool CUnattendedStart::IsWellFormed(const CExtCommandLineInfo& commandLine) {
    return commandLine.applyFilePath.empty() != commandLine.checkFilePath.empty() &&
           !commandLine.unattendedPort.empty();
}

std::u16string CUnattendedStart::ResultPath(const std::u16string& dataFolder,
                                            const std::u16string& port) {
    return UnattendedResultPath(dataFolder, port);
}

int32_t CUnattendedStart::Run(const std::u16string& programFolder) {
    HMODULE library = LoadLibraryFrom(ToWide(programFolder), kSettingsFileLibrary);
    auto run = library ? reinterpret_cast<PFN_SETFILEDLL_RunUnattended>(reinterpret_cast<void*>(
                             ::GetProcAddress(library, kRunUnattendedExport)))
                       : nullptr;
    if (!run) {
        if (library)
            ::FreeLibrary(library);
        return kUnattendedFilesMissing;
    }
    const bool checkOnly = !m_commandLine.checkFilePath.empty();
    const std::u16string file =
        checkOnly ? m_commandLine.checkFilePath : m_commandLine.applyFilePath;
    const std::u16string result =
        ResultPath(SlotText(m_context.dataFolder), m_commandLine.unattendedPort);
    UnattendedRequest request{};
    request.size = sizeof request;
    request.filePath = file.c_str();
    request.port = m_commandLine.unattendedPort.c_str();
    request.resultPath = result.c_str();
    request.checkOnly = checkOnly ? 1 : 0;
    request.openPrinter = &CUnattendedStart::OpenPrinterProc;
    request.openUser = this;
    const int32_t code = run(&m_context, &request);
    ::FreeLibrary(library);
    return code;
}

int32_t WINAPI CUnattendedStart::OpenPrinterProc(void* self) {
    try {
        return static_cast<CUnattendedStart*>(self)->OpenPrinter();
    } catch (...) {
        return kUnattendedFailed;
    }
}

bool CUnattendedStart::FindRegisteredPort(comm::PortRecord& record) {
    CPrinterChoice choice(&m_binding);
    if (!choice.Refresh())
        return false;
    const std::u16string& port = m_commandLine.unattendedPort;
    for (const CPrinterChoice::Row& row : choice.Rows()) {
        if (::lstrcmpiW(WidePtr(SlotText(row.record->portName)), WidePtr(port)) == 0 ||
            SlotText(row.record->devicePath) == port) {
            record = *row.record;
            return true;
        }
    }
    return false;
}

int32_t CUnattendedStart::OpenPrinter() {
    comm::PortRecord record{};
    if (FindRegisteredPort(record)) {
        StoreChosenPort(m_context, record);
    } else {
        // Not registered: a device path, opened as the remote start opens one.
        record.reserved1040 = -1;
        record.reserved1044 = -1;
        record.connectorFlag = 1;
        SetSlotText(record.devicePath, m_commandLine.unattendedPort);
        m_context.portRecord = record;
        m_context.interfaceKind = kIfDevicePath;
    }
    CPrinterChoice choice(&m_binding);
    // The library writes into the record it tests and opens; the reported model is kept.
    comm::PortRecord tested = m_context.portRecord;
    if (choice.TestPrinter(0, tested) != 0 || choice.OpenPrinter(tested) != 0)
        return kUnattendedNoPrinter;
    SetSlotText(m_context.portRecord.deviceName, SlotText(tested.deviceName));
    return 0;
}

} // namespace qk::app
