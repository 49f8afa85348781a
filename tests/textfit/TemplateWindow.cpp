#include "tests/textfit/TemplateWindow.h"

#include <commctrl.h>

namespace qk::test {
namespace {

// The check only reads the controls; the window does nothing itself.
INT_PTR CALLBACK PassiveDialogProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

HMODULE OpenResources(const std::wstring& modulePath) {
    // Read as data: no plug-in code runs and an executable can be read too.
    return ::LoadLibraryExW(modulePath.c_str(), nullptr,
                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

BOOL CALLBACK CollectDialog(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int>*>(param)->push_back(
            static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

} // namespace

ScreenTexts::ScreenTexts(const std::u16string& folder, int32_t language,
                         const std::vector<std::u16string>& screens)
    : m_screens(screens), m_language(language) {
    for (const std::u16string& screen : screens) {
        auto table = std::make_unique<CLangResTable>();
        if (table->LoadLangFile(folder, language, 0x0409) != kLangRequestedFile)
            m_foundRequested = false;
        table->LoadScreenTexts(screen);
        m_tables.push_back(std::move(table));
    }
}

const CLangResTable& ScreenTexts::Of(std::u16string_view screen) const {
    for (size_t i = 0; i < m_screens.size(); ++i)
        if (m_screens[i] == screen)
            return *m_tables[i];
    return m_none;
}

std::u16string ScreenTexts::String(std::u16string_view screen, int32_t number) const {
    std::u16string text;
    if (Of(screen).GetText(LangListKind::ScreenStrings, number, text) != 0)
        text.clear();
    return text;
}

void ScreenTexts::ApplyTo(HWND window, std::u16string_view screen) const {
    const CLangResTable& table = Of(screen);
    table.ApplyCaptions(window);
    table.ApplyComboItems(window);
    table.ApplyListColumns(window);
}

TemplateWindow::TemplateWindow(const std::wstring& modulePath, int templateId) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES |
                                                        ICC_ANIMATE_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    m_module = OpenResources(modulePath);
    if (!m_module) {
        m_error = L"cannot read " + modulePath;
        return;
    }
    HRSRC found = ::FindResourceW(m_module, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    HGLOBAL loaded = found ? ::LoadResource(m_module, found) : nullptr;
    auto dialogTemplate = static_cast<LPCDLGTEMPLATEW>(loaded ? ::LockResource(loaded) : nullptr);
    if (!dialogTemplate) {
        m_error = L"no dialog template " + std::to_wstring(templateId) + L" in " + modulePath;
        return;
    }
    // Pages and panes are child templates: they need a parent, which is never shown.
    m_host = ::CreateWindowExW(0, WC_STATICW, L"", WS_POPUP, 0, 0, 1200, 900, nullptr, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    m_window = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), dialogTemplate, m_host,
                                            PassiveDialogProc, 0);
    if (!m_window)
        m_error = L"template " + std::to_wstring(templateId) + L" does not open (error " +
                  std::to_wstring(::GetLastError()) + L")";
}

TemplateWindow::~TemplateWindow() {
    if (m_window)
        ::DestroyWindow(m_window);
    if (m_host)
        ::DestroyWindow(m_host);
    if (m_module)
        ::FreeLibrary(m_module);
}

std::vector<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

std::vector<int> DialogTemplatesOf(const std::wstring& modulePath) {
    std::vector<int> ids;
    if (HMODULE module = OpenResources(modulePath)) {
        ::EnumResourceNamesW(module, RT_DIALOG, CollectDialog, reinterpret_cast<LONG_PTR>(&ids));
        ::FreeLibrary(module);
    }
    return ids;
}

} // namespace qk::test
