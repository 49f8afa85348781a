// Build constants: the served model and the version text.
#pragma once

namespace qk::app {

inline constexpr wchar_t kModelName[] = L"QK-R40";
inline constexpr char16_t kServedModel[] = u"QK-R40";
inline constexpr wchar_t kVersionText[] = L"Ver.1.40";
// Fixed size of the main window, in pixels at 96 DPI (scaled to the system DPI).
inline constexpr int kFrameWidth = 796;
inline constexpr int kFrameHeight = 523;
// Window property that marks the running instance's windows: the prefix, "_", the model.
inline constexpr wchar_t kInstancePropertyFormat[] = L"%ls_%ls";
inline constexpr wchar_t kInstancePropertyPrefix[] = L"QK-R40_UTILITY";

} // namespace qk::app
