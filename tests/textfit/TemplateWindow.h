// A window of the program or a plug-in as the text-fit check opens it: the dialog template
// read from the module file in the program folder and created by the dialog manager (which
// maps its dialog units and gives every control the template's font), with its texts put in
// by the language tables the window loads, the way the window itself applies them.
#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#include "framework/lang/LangResTable.h"

namespace qk::test {

// The text tables a window fills from one language file, one per screen name it loads.
class ScreenTexts {
public:
    ScreenTexts(const std::u16string& folder, int32_t language,
                const std::vector<std::u16string>& screens);

    // Every table found the requested language's own file.
    bool FoundRequestedFile() const { return m_foundRequested; }
    // The table of a screen the window loads (an empty one when the name is not listed).
    const CLangResTable& Of(std::u16string_view screen) const;
    // A screen string of a table, or an empty text when the file has none.
    std::u16string String(std::u16string_view screen, int32_t number) const;
    int32_t Language() const { return m_language; }
    // Captions, combo items and list columns of one screen, as a window applies them when its
    // texts are loaded.
    void ApplyTo(HWND window, std::u16string_view screen) const;

private:
    std::vector<std::u16string> m_screens;
    std::vector<std::unique_ptr<CLangResTable>> m_tables;
    CLangResTable m_none;
    int32_t m_language;
    bool m_foundRequested = true;
};

// A dialog template opened under a hidden host window; destroyed with the object.
class TemplateWindow {
public:
    TemplateWindow(const std::wstring& modulePath, int templateId);
    ~TemplateWindow();
    TemplateWindow(const TemplateWindow&) = delete;
    TemplateWindow& operator=(const TemplateWindow&) = delete;

    HWND Hwnd() const { return m_window; }
    // Why the window could not be opened (empty when it was).
    const std::wstring& Error() const { return m_error; }

private:
    HMODULE m_module = nullptr;
    HWND m_host = nullptr;
    HWND m_window = nullptr;
    std::wstring m_error;
};

// Names of the files of a folder (with its trailing backslash) that match a pattern.
std::vector<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern);

// The dialog templates a module file holds, by identifier.
std::vector<int> DialogTemplatesOf(const std::wstring& modulePath);

} // namespace qk::test
