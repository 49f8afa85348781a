// Writes the settings command file of the file mode to disk: reads the logo work file, builds
// the file from the data blocks (SettingsCommandFile.h) and replaces the output file only
// once the whole file is written, so a failure never leaves a damaged or half-written file
// in its place.
#pragma once
#include <cstdint>
#include <string>
#include "platform/os/RealOs.h"

class IPluginDataMgr;

namespace qk::app {

struct SettingsFileOptions {
    bool enableFontA = false; // "EnableFontA" of the utility's settings
    bool enableFontB = false;
    bool logoSettings = true; // SettingsFileSource::logoSettings
};

// 0 on success or a SettingsFileResult code. `logoPath` is read only when `logoPresent`; the
// output is written through `files`.
int32_t WriteSettingsFile(IPluginDataMgr& store, const std::u16string& modelName,
                          const std::u16string& outputPath, const std::u16string& logoPath,
                          bool logoPresent, const SettingsFileOptions& options,
                          os::IFileSystem& files = os::RealFileSystem());

// The model name in the multibyte code page, cut at a character boundary to the bytes that
// fit the header's text field.
std::string ModelNameForHeader(const std::u16string& modelName);

} // namespace qk::app
