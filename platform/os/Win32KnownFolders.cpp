#include "platform/os/Win32KnownFolders.h"
#include <windows.h>
#include <shlobj.h>
#include <vector>
#include "platform/Text.h"
#include "platform/os/RealOs.h"

namespace qk::os {
namespace {

std::u16string ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return u"";
    }
    std::u16string folder = FromWide(path);
    while (folder.size() > 3 && folder.back() == u'\\') {
        folder.pop_back();
    }
    return folder;
}

} // namespace

std::u16string Win32KnownFolders::ExecutablePath() {
    // The answer fills the buffer when the path was cut: read again with more room.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return u"";
        }
        if (n < buffer.size()) {
            return FromWide(std::wstring_view(buffer.data(), n));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::u16string Win32KnownFolders::CommonAppData() {
    return ShellFolder(CSIDL_COMMON_APPDATA);
}

std::u16string Win32KnownFolders::UserAppData() {
    return ShellFolder(CSIDL_APPDATA);
}

std::u16string Win32KnownFolders::ProgramFiles() {
    return ShellFolder(CSIDL_PROGRAM_FILES);
}

std::u16string Win32KnownFolders::CommonStartMenu() {
    return ShellFolder(CSIDL_COMMON_STARTMENU);
}

std::u16string Win32KnownFolders::UserStartMenu() {
    return ShellFolder(CSIDL_STARTMENU);
}

bool Win32KnownFolders::Environment(const std::u16string& name, std::u16string& value) {
    SetLastError(ERROR_SUCCESS);
    const DWORD needed = GetEnvironmentVariableW(WidePtr(name), nullptr, 0);
    if (needed == 0) {
        // Zero with no error is a variable set to the empty text.
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
            return false;
        }
        value.clear();
        return true;
    }
    std::vector<wchar_t> buffer(needed);
    const DWORD n = GetEnvironmentVariableW(WidePtr(name), buffer.data(), needed);
    if (n == 0 || n >= needed) {
        return false;
    }
    value = FromWide(std::wstring_view(buffer.data(), n));
    return true;
}

IKnownFolders& RealKnownFolders() {
    static Win32KnownFolders folders;
    return folders;
}

} // namespace qk::os
