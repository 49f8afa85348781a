// Reading and writing the text slots of port records and the context, and the few text rules
// the printer choice and its dialog apply to them. Portable: no windows.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include "framework/comm/PortRecord.h"

namespace qk::app {

// The text of a slot (260 characters unless told), never read past the slot.
std::u16string SlotText(const char16_t* slot, std::size_t chars = comm::kPortTextChars);
// Copies text into a slot, cut to 259 characters, the rest zero-filled.
void SetSlotText(char16_t* slot, std::u16string_view text);

// Interface kind of a keyword compared whole: "COM" 1, "LPT" 2, "USB" 3, "NET" 4, "BT" 5;
// 0 for any other.
int32_t InterfaceKindOf(std::u16string_view keyword);

// A device path up to and including its last '/'; empty when it has none.
std::u16string DevicePathFolder(std::u16string_view path);
// A device path after its last '/'; the whole path when it has none.
std::u16string DevicePathLeaf(std::u16string_view path);

// The port monitor's port a "pipe://qk/" device path names: from "rsdprt" (any case) up to
// the next '"' or '/', as written in the path. Empty when the path names none.
std::u16string PortMonitorPort(std::u16string_view devicePath);
// The number after the first six characters ("RSDPRT12" gives 12); 0 when there is none.
int32_t PortMonitorNumber(std::u16string_view port);

// Replaces the first "%s" (or "%ls") of a text by an argument and "%%" by "%"; the text is
// never used as a format, since it comes from a language file.
std::u16string FillPlaceholder(std::u16string_view text, std::u16string_view argument);

} // namespace qk::app
