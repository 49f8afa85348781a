#include "framework/view/UtilMessageBox.h"

#include "platform/MessagePresenter.h"

namespace qk {
namespace {

constexpr wchar_t kChangedText[] = L"Settings were changed successfully.";
constexpr wchar_t kFailedText[] = L"Failed to change settings.";
constexpr wchar_t kSaveQuestion[] =
    L"Do you want to save your changes to the settings to the printer?";

const wchar_t* OrDefault(const wchar_t* text, const wchar_t* fallback) {
    return text && *text ? text : fallback;
}

} // namespace

int ShowInfo(HWND owner, const wchar_t* text) {
    return ShowMessage(owner, OrDefault(text, kChangedText), kUtilCaption,
                       MB_OK | MB_ICONINFORMATION);
}

int ShowWarning(HWND owner, const wchar_t* text) {
    return ShowMessage(owner, OrDefault(text, kFailedText), kUtilCaption, MB_OK | MB_ICONWARNING);
}

int AskYesNo(HWND owner, const wchar_t* text, const wchar_t* caption) {
    return ShowMessage(owner, OrDefault(text, kSaveQuestion), OrDefault(caption, kUtilCaption),
                       MB_YESNO | MB_ICONQUESTION);
}

int AskYesNoCancel(HWND owner, const wchar_t* text) {
    return ShowMessage(owner, OrDefault(text, kSaveQuestion), kUtilCaption,
                       MB_YESNOCANCEL | MB_ICONQUESTION);
}

} // namespace qk
