// The page's files: saving this printer's settings as the settings command file that the file
// mode writes (the same writer, fed the same way), and reading a settings command file back
// and checking it before anything of it goes to a printer.
#pragma once
#include <cstdint>
#include <string>
#include "plugins/settingsfile/SettingsFileCheck.h"

struct UtilContext;
class IPluginDataMgr;

namespace qk::settingsfile {

// The printer's model name: the port record's device name, or, for a port opened on its device
// path (the remote start), whose record names none, the printer name the settings read found.
std::u16string PrinterModel(const UtilContext& context, IPluginDataMgr& store);

// Written from the blocks the last settings read and the pages hold, with the logo work file
// when it exists: 0, or a SettingsFileResult code of the file mode's writer. With a printer,
// only after a settings read that got every setting (kSettingsNotRead, and no file, else):
// a file of half-read settings would carry factory values to every printer it is applied to.
inline constexpr int32_t kSettingsNotRead = -20;
int32_t SavePrinterSettings(const UtilContext& context, IPluginDataMgr& store,
                            const std::u16string& path);

// A file larger than this is no settings command file (the logo graphic and the settings
// together stay far below it).
inline constexpr uint64_t kMaxSettingsFileBytes = 16u << 20;
// The file could not be read.
inline constexpr int32_t kFileUnreadable = -10;

// Reads and checks `path` for `modelName` (the printer's name as it reports it): a
// FileCheckResult, or kFileUnreadable.
int32_t ReadSettingsFile(const std::u16string& path, const std::u16string& modelName,
                         CheckedFile& file);

} // namespace qk::settingsfile
