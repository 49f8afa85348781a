#include <windows.h>

#include "plugins/settingsfile/PrinterTargets.h"

#include "framework/comm/EnumerateRecords.h"
#include "framework/comm/QkcBinding.h"
#include "framework/context/TextSlot.h"
#include "framework/context/UtilContext.h"
#include "platform/Text.h"

namespace qk::settingsfile {
namespace {

constexpr char16_t kServedModel[] = u"QK-R40";

template <size_t N> std::u16string Slot(const char16_t (&slot)[N]) {
    return std::u16string(SlotView(slot));
}

bool IsThisPrinter(const comm::PortRecord& record, const comm::PortRecord& current) {
    const std::u16string port = Slot(record.portName), path = Slot(record.devicePath);
    return (!port.empty() && ::lstrcmpiW(WidePtr(port), WidePtr(Slot(current.portName))) == 0) ||
           (!path.empty() && path == Slot(current.devicePath));
}

} // namespace

std::vector<PrinterTarget> PrinterTargets(const UtilContext& context) {
    std::vector<PrinterTarget> targets;
    comm::QkcBinding* library = context.binding;
    if (!comm::IsBound(library))
        return targets;
    std::vector<comm::PortRecord> records;
    comm::EnumerateRecords([&](comm::PortRecord* r, int32_t room,
                               int32_t* found) { return library->QKC_EnumPort(r, room, found); },
                           0, records);
    bool thisOneListed = false;
    for (const comm::PortRecord& record : records) {
        if (Slot(record.deviceName) != kServedModel)
            continue;
        const bool mine = IsThisPrinter(record, context.portRecord);
        thisOneListed = thisOneListed || mine;
        const std::u16string port = Slot(record.portName);
        targets.push_back(
            {Slot(record.deviceName), port.empty() ? Slot(record.devicePath) : port, mine});
    }
    if (!thisOneListed) {
        const comm::PortRecord& current = context.portRecord;
        const std::u16string port = Slot(current.portName);
        const std::u16string name = Slot(current.deviceName);
        targets.insert(targets.begin(), {name.empty() ? kServedModel : name,
                                         port.empty() ? Slot(current.devicePath) : port, true});
    }
    return targets;
}

} // namespace qk::settingsfile
