// The shell's shortcut reading behind IShortcutResolver.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include "app/connection/CompanionTools.h"
#include "platform/LibraryLoader.h"
#include "platform/Text.h"

namespace qk::app {
namespace {

class CShortcutResolver : public IShortcutResolver {
public:
    bool Target(const std::u16string& shortcut, std::u16string& target) override {
        if (::GetFileAttributesW(WidePtr(shortcut)) == INVALID_FILE_ATTRIBUTES)
            return false;
        // COM is loaded by the first shortcut read, not by every start.
        auto* initialize =
            SystemLibraryFunction<decltype(::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
        auto* create =
            SystemLibraryFunction<decltype(::CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
        auto* uninitialize =
            SystemLibraryFunction<decltype(::CoUninitialize)>(L"ole32.dll", "CoUninitialize");
        if (!initialize || !create || !uninitialize)
            return false;
        // The caller's thread may not have COM yet; balance only what this call started.
        const HRESULT init = initialize(nullptr, COINIT_APARTMENTTHREADED);
        bool found = false;
        IShellLinkW* link = nullptr;
        if (SUCCEEDED(create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                             reinterpret_cast<void**>(&link)))) {
            IPersistFile* file = nullptr;
            if (SUCCEEDED(
                    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
                wchar_t path[MAX_PATH] = {};
                if (SUCCEEDED(file->Load(WidePtr(shortcut), STGM_READ)) &&
                    SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)) && path[0]) {
                    target = FromWide(path);
                    found = true;
                }
                file->Release();
            }
            link->Release();
        }
        if (SUCCEEDED(init))
            uninitialize();
        return found;
    }
};

} // namespace

IShortcutResolver& RealShortcutResolver() {
    static CShortcutResolver resolver;
    return resolver;
}

} // namespace qk::app
