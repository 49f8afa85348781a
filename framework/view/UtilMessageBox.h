// The message boxes of the pages: caption "QK-R40 Utility", each with an English text of its
// own for when the caller gives none (null or empty). Answers are the box's button ids.
#pragma once
#include <windows.h>

namespace qk {

inline constexpr wchar_t kUtilCaption[] = L"QK-R40 Utility";

// OK, information icon; "Settings were changed successfully."
int ShowInfo(HWND owner, const wchar_t* text = nullptr);
// OK, warning icon; "Failed to change settings."
int ShowWarning(HWND owner, const wchar_t* text = nullptr);
// Yes and No, question icon; the save question. A caption of the caller's replaces ours.
int AskYesNo(HWND owner, const wchar_t* text = nullptr, const wchar_t* caption = nullptr);
// Yes, No and Cancel, question icon; the save question.
int AskYesNoCancel(HWND owner, const wchar_t* text = nullptr);

} // namespace qk
