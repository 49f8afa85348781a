// The file dialogs of the pages: a file to open or to save to, in a filter the language file
// gives. The dialog's library is loaded when the operator first chooses a file, not with the
// page, and a choice never moves the whole process into the file's folder.
#pragma once
#include <windows.h>
#include <string>

namespace qk {

enum class FileChoice { Open, Save };

// The language file's filter, "name|pattern|name|pattern|", as the dialog wants it: each part
// ended by a NUL, the whole by a second one.
std::u16string DialogFilter(std::u16string bars);

// filter: as DialogFilter gives it. defaultExtension (without the dot) may be null. Saving
// asks before a file is replaced; opening takes existing files only. The chosen path; empty
// when the operator cancelled.
std::u16string ChooseFileName(HWND owner, const std::u16string& filter,
                              const wchar_t* defaultExtension, FileChoice choice);

} // namespace qk
