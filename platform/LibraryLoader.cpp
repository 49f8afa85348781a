#include "platform/LibraryLoader.h"

#include "platform/Text.h"
#include "platform/os/PathPart.h"

namespace qk {
namespace {

// Not in every version of the platform: looked up rather than imported.
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

constexpr DWORD kSearchDllLoadDir = 0x00000100;  // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
constexpr DWORD kSearchDefaultDirs = 0x00001000; // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS

} // namespace

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::wstring folder(path, length);
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

HMODULE LoadLibraryFrom(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || !os::IsPlainPathPart(FromWide(name)))
        return nullptr;
    std::wstring path = folder;
    if (path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    path += name;
    HMODULE module =
        ::LoadLibraryExW(path.c_str(), nullptr, kSearchDllLoadDir | kSearchDefaultDirs);
    // A platform without the search flags refuses them; the older flag also looks beside
    // the library first.
    if (!module && ::GetLastError() == ERROR_INVALID_PARAMETER)
        module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return module;
}

FARPROC SystemLibraryProc(const wchar_t* library, const char* name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    HMODULE module = LoadLibraryFrom(folder, library);
    return module ? ::GetProcAddress(module, name) : nullptr;
}

void RestrictLibrarySearch() {
    ::SetDllDirectoryW(L"");
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
                                   ::GetProcAddress(kernel, "SetDefaultDllDirectories")))
                             : nullptr;
    if (setDefault)
        setDefault(kSearchDefaultDirs);
}

} // namespace qk
