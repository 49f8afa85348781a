// Settings command files that tests give the page, the library and the utility.
#pragma once
#include <cstdint>
#include <vector>
#include "app/status/SettingsCommandFile.h"

namespace qk::test {

// A file as the file mode writes it, written at `writtenAt`: 58 mm paper, code table PC858 and
// a lighter print, the rest factory settings.
std::vector<uint8_t> FileOtherThanFactory(const app::SettingsFileTime& writtenAt);

} // namespace qk::test
