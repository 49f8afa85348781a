#include <windows.h>

#include "plugins/printerinfo/PrinterInfoText.h"

#include <cstdio>
#include "framework/context/StartMode.h"
#include "framework/context/TextSlot.h"
#include "framework/context/UtilContext.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/store/PrinterInfoBlock.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"

namespace qk::printerinfo {
namespace {

// The block's strings: 0 maker, 1 name, 2 firmware, 3 serial number, 4 font type.
constexpr InfoLabel kStringLabels[kPrinterInfoStrings] = {kLabelMaker, kLabelModel, kLabelFirmware,
                                                          kLabelSerial, kLabelFonts};

void AddLine(std::u16string& text, const std::u16string& label, std::u16string_view value) {
    text += label;
    text += u": ";
    text += value;
    text += u"\r\n";
}

// The printer's strings, each with the "not read" text where the read brought none.
void AddPrinterLines(std::u16string& text, IPluginDataMgr& store, const InfoLabels& labels) {
    PrinterInfoBlock info{};
    const bool read = store.ReadBlock(kPrinterInfoBlockKey, &info, sizeof info) == 0;
    for (int i = 0; i < kPrinterInfoStrings; ++i) {
        const std::u16string_view value =
            read ? SlotView(info.strings[i], kPrinterInfoStringChars) : std::u16string_view{};
        AddLine(text, labels[kStringLabels[i]],
                value.empty() ? std::u16string_view(labels[kLabelNotRead]) : value);
    }
}

void AddPortLines(std::u16string& text, const UtilContext& context, const InfoLabels& labels) {
    const comm::PortRecord& port = context.portRecord;
    AddLine(text, labels[kLabelInterface], SlotView(port.interfaceKeyword));
    AddLine(text, labels[kLabelPort], SlotView(port.portName));
    // Where the library reached the printer: the network endpoint, else the device path.
    std::u16string_view address = SlotView(port.endpoint);
    if (address.empty())
        address = SlotView(port.devicePath);
    if (!address.empty())
        AddLine(text, labels[kLabelAddress], address);
}

std::string Utf8(const std::u16string& text) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, WidePtr(text), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, WidePtr(text), length, out.data(), bytes, nullptr,
                              nullptr);
    return out;
}

} // namespace

const InfoLabels& EnglishLabels() {
    static const InfoLabels labels = {
        u"Maker",
        u"Model",
        u"Firmware",
        u"Serial number",
        u"Fonts",
        u"Interface",
        u"Port",
        u"Address",
        u"Shown at",
        u"(not read)",
        u"No printer is connected.",
        u"Settings file",
    };
    return labels;
}

std::u16string InformationText(const UtilContext& context, IPluginDataMgr& store,
                               const InfoLabels& labels, const std::u16string& shownAt,
                               const InfoDetails* details) {
    std::u16string text;
    if (context.startMode == kStartFileMode) {
        // No printer: what the settings file brought into the blocks.
        text += labels[kLabelNoPrinter];
        text += u"\r\n";
        AddLine(text, labels[kLabelFromFile], SlotView(context.settingsFilePath));
        AddPrinterLines(text, store, labels);
    } else {
        AddPrinterLines(text, store, labels);
        AddPortLines(text, context, labels);
        if (details) {
            if (!details->libraryVersion.empty())
                AddLine(text, details->libraryLabel, details->libraryVersion);
            if (!details->driverVersion.empty())
                AddLine(text, details->driverLabel, details->driverVersion);
            AddLine(text, details->readAtLabel,
                    details->readAt.empty() ? std::u16string_view(labels[kLabelNotRead])
                                            : std::u16string_view(details->readAt));
        }
    }
    AddLine(text, labels[kLabelShownAt], shownAt);
    return text;
}

std::u16string VersionText(int32_t version) {
    const std::string text = std::to_string((static_cast<uint32_t>(version) >> 16) & 0xFFFF) + "." +
                             std::to_string(static_cast<uint32_t>(version) & 0xFFFF);
    return std::u16string(text.begin(), text.end());
}

std::u16string LocalTimeText() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02u %02u:%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute);
    return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
}

int32_t SaveInformationText(os::IFileSystem& files, const std::u16string& path,
                            const std::u16string& text) {
    const std::string utf8 = "\xEF\xBB\xBF" + Utf8(text);
    return files.WriteFile(path, std::vector<uint8_t>(utf8.begin(), utf8.end())) ? 0 : -1;
}

int32_t SaveInformationText(const std::u16string& path, const std::u16string& text) {
    return SaveInformationText(os::RealFileSystem(), path, text);
}

} // namespace qk::printerinfo
