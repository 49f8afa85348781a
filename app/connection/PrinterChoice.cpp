#include "app/connection/PrinterChoice.h"

#include <algorithm>
#include "app/connection/CommLibrary.h"
#include "app/connection/ModelName.h"
#include "app/connection/PortRecordText.h"
#include "app/shell/Model.h"
#include "framework/comm/EnumerateRecords.h"
#include "framework/lang/LangResTable.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/MessagePresenter.h"
#include "platform/Text.h"

namespace qk::app {
namespace {

constexpr int32_t kOfferedDevicePorts = 128;

bool IsReceiptOrLabelDriver(const std::u16string& driver) {
    return driver.find(u" Receipt5") != std::u16string::npos ||
           driver.find(u" Label5") != std::u16string::npos;
}

} // namespace

void StoreChosenPort(UtilContext& context, const comm::PortRecord& record) {
    context.portRecord = record;
    context.interfaceKind = InterfaceKindOf(SlotText(record.interfaceKeyword));
}

CPrinterChoice::CPrinterChoice(comm::QkcBinding* binding, IInstalledPrinters& installed)
    : m_binding(binding), m_installed(installed) {
    MakeUnbound(m_unbound);
}

bool CPrinterChoice::Refresh() {
    m_rows.clear();
    m_ownRecords.clear();
    m_chosenRow = -1;
    if (!ReadRegisteredPorts())
        return false;
    if (IsInstallerMode()) {
        ScanInstalledPrinters();
        return true;
    }
    for (comm::PortRecord& record : m_ports)
        if (SlotText(record.deviceName) == kServedModel)
            m_rows.push_back({SlotText(record.deviceName), &record});
    return true;
}

bool CPrinterChoice::ReadRegisteredPorts() {
    comm::QkcBinding& library = Library();
    auto fill = [&](comm::PortRecord* r, int32_t room, int32_t* found) {
        return library.QKC_EnumPort(r, room, found);
    };
    return comm::EnumerateRecords(fill, 0, m_ports);
}

void CPrinterChoice::ScanInstalledPrinters() {
    for (const InstalledPrinter& printer : m_installed.Enumerate()) {
        if (!m_printerFilter.empty() && printer.printerName != m_printerFilter)
            continue;
        if (printer.driverName.find(m_driverFilter) == std::u16string::npos ||
            !IsReceiptOrLabelDriver(printer.driverName))
            continue;
        auto registered = std::find_if(m_ports.begin(), m_ports.end(), [&](const auto& port) {
            return DevicePathLeaf(SlotText(port.devicePath)) == printer.portName;
        });
        comm::PortRecord* record = registered == m_ports.end() ? nullptr : &*registered;
        if (!record) {
            record = &m_ownRecords.emplace_back();
            SetSlotText(record->portName, printer.portName);
            SetSlotText(record->deviceName, printer.driverName);
            record->origin = 3;
        }
        m_rows.push_back({printer.printerName, record});
    }
}

bool CPrinterChoice::SelectByDevicePath(std::u16string_view prefix, UtilContext& context) {
    Refresh();
    for (int i = 0; IsInstallerMode() && i < static_cast<int>(m_rows.size()); ++i) {
        if (DevicePathFolder(SlotText(m_rows[i].record->devicePath)).starts_with(prefix)) {
            m_chosenRow = i;
            break;
        }
    }
    for (const comm::PortRecord& record : m_ports) {
        const std::u16string folder = DevicePathFolder(SlotText(record.devicePath));
        if (!folder.empty() && folder == prefix) {
            StoreChosenPort(context, record);
            return true;
        }
    }
    return false;
}

std::u16string CPrinterChoice::GetChosenPrinterName() const {
    if (m_chosenRow < 0 || m_chosenRow >= static_cast<int>(m_rows.size()))
        return {};
    return m_rows[m_chosenRow].name;
}

std::vector<comm::PortRecord> CPrinterChoice::DevicePorts(const std::u16string& keyword) {
    comm::QkcBinding& library = Library();
    auto fill = [&](comm::PortRecord* r, int32_t room, int32_t* found) {
        return library.QKC_EnumDevPort(keyword.c_str(), r, room, found);
    };
    std::vector<comm::PortRecord> records;
    comm::EnumerateRecords(fill, kOfferedDevicePorts, records);
    return records;
}

int32_t CPrinterChoice::TestPrinter(int32_t mode, comm::PortRecord& record, HWND owner,
                                    const CLangResTable* table) {
    m_lastTest = Library().QKC_CommunicationTest(&record);
    if (mode != 1 || m_lastTest != 0)
        return m_lastTest;
    const std::u16string reported = SlotText(record.deviceName);
    if (IsInstallerMode() ? MatchModelName(reported, kServedModel) : reported == kServedModel)
        return m_lastTest;
    std::u16string text = u"The connected printer is not %s.";
    if (table)
        text = table->TextOr(LangListKind::ScreenMessages, 2, text);
    ShowMessage(owner, WidePtr(FillPlaceholder(text, kServedModel)), kUtilCaption,
                MB_OK | MB_ICONWARNING);
    return kResultWrongModel;
}

int32_t CPrinterChoice::OpenPrinter(comm::PortRecord& record) {
    comm::QkcBinding& library = Library();
    if (int32_t code = library.QKC_SetPort(&record))
        return code;
    if (int32_t code = library.QKC_GetPort(&record))
        return code;
    if (int32_t code = library.QKC_Open(1))
        return code;
    return library.QKC_Initialize();
}

} // namespace qk::app
