// Text and file helpers at the Win32 boundary of the maker's programs.
#pragma once
#include <string>

namespace qk::win {

std::wstring FromUtf8(const std::string& text);
std::string ToUtf8(const std::wstring& text);
std::wstring FromOem(const std::string& text);
std::string ToOem(const std::wstring& text);
std::wstring FromU16(const char16_t* text, std::size_t maxChars);
// Copies into a fixed slot, cut to fit and always NUL-terminated.
void ToU16(const std::wstring& text, char16_t* slot, std::size_t slotChars);

// Whole-file read and write (write replaces through a temporary file).
bool ReadFileText(const std::wstring& path, std::string& text);
bool WriteFileText(const std::wstring& path, const std::string& text);
bool CreateFolders(const std::wstring& path);
// Folder (with trailing backslash) of the module that holds `address`.
std::wstring ModuleFolder(const void* address);

} // namespace qk::win
