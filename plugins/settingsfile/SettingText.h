// A setting of a settings command file as text: its value as the operator reads it (the page's
// lists and the unattended run's result file show the same). Portable.
#pragma once
#include <cstdint>
#include <string>
#include "framework/lang/FilledText.h"
#include "plugins/settingsfile/SettingsFileCheck.h"

namespace qk::settingsfile {

// "1D 28 45": two hex digits a byte, a space between.
std::u16string HexText(const Bytes& bytes);
// A customized value in decimal, a memory switch or logo option as its characters, the logo
// keys in hex.
std::u16string SettingValueText(const FileSetting& setting);
// `setting` with `value` in place of the file's, as SettingValueText shows it.
std::u16string HeldValueText(const FileSetting& setting, const Bytes& value);

} // namespace qk::settingsfile
