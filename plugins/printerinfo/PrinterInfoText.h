// What the printer information page shows, as plain text: what the last settings read learned
// about the printer (block 0x10001) and the port it was read on, or, in the file mode, that no
// printer is connected and what the settings file holds. The same text goes to the clipboard
// and to the saved file, so a support call hears what the operator sees.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include "platform/os/FileSystem.h"

struct UtilContext;
struct IPluginDataMgr;

namespace qk::printerinfo {

// The page's line labels, in the order of the language file's screen strings.
enum InfoLabel : int {
    kLabelMaker,
    kLabelModel,
    kLabelFirmware,
    kLabelSerial,
    kLabelFonts,
    kLabelInterface,
    kLabelPort,
    kLabelAddress,
    kLabelShownAt,
    kLabelNotRead,
    kLabelNoPrinter,
    kLabelFromFile,
    kLabelCount
};

using InfoLabels = std::array<std::u16string, kLabelCount>;

// The English labels, for a language file that lacks them.
const InfoLabels& EnglishLabels();

// What the page learns besides the blocks: when the settings read ran, and the versions of the
// communication library and the port driver ("" where not known: no line), with their labels.
struct InfoDetails {
    std::u16string readAt; // "" when no settings read ran in this run
    std::u16string libraryVersion, driverVersion;
    std::u16string readAtLabel = u"Read at";
    std::u16string libraryLabel = u"Communication library";
    std::u16string driverLabel = u"Port driver";
};

// One "label: value" line per item, CRLF-separated; `shownAt` is the local time the text is
// made for ("2026-12-09 09:40"). With a printer, the details follow the port's lines.
std::u16string InformationText(const UtilContext& context, IPluginDataMgr& store,
                               const InfoLabels& labels, const std::u16string& shownAt,
                               const InfoDetails* details = nullptr);

// The communication library's interface version (high word major, low word minor) as "1.0".
std::u16string VersionText(int32_t version);

// The local time now as "YYYY-MM-DD hh:mm".
std::u16string LocalTimeText();

// Writes `text` to `path` as UTF-8 with a byte-order mark (Notepad and mail tools take it);
// 0, or -1 when the file could not be written whole (then no part of it is there).
int32_t SaveInformationText(os::IFileSystem& files, const std::u16string& path,
                            const std::u16string& text);
// The same on the real file system.
int32_t SaveInformationText(const std::u16string& path, const std::u16string& text);

} // namespace qk::printerinfo
