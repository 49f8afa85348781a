#include "framework/plugin/DeviceTestEngine.h"

#include <string>
#include "platform/Module.h"

namespace qk {
namespace {

constexpr wchar_t kLibraryName[] = L"ProbeEngine.dll";

// The folder of this module, with a trailing backslash; empty when unknown.
std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(ThisModule(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::wstring folder(path, length);
    size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

} // namespace

CProbeEngineLibrary::~CProbeEngineLibrary() {
    Unload();
}

bool CProbeEngineLibrary::Load() {
    if (m_module)
        return true;
    std::wstring folder = ModuleFolder();
    if (folder.empty())
        return false;
    HMODULE module = ::LoadLibraryW((folder + kLibraryName).c_str());
    if (!module)
        return false;
    auto create = reinterpret_cast<CreateProc>(
        reinterpret_cast<void*>(::GetProcAddress(module, MAKEINTRESOURCEA(kCreateOrdinal))));
    auto release = reinterpret_cast<ReleaseProc>(
        reinterpret_cast<void*>(::GetProcAddress(module, MAKEINTRESOURCEA(kReleaseOrdinal))));
    if (!create || !release) {
        ::FreeLibrary(module);
        return false;
    }
    m_module = module;
    m_create = create;
    m_release = release;
    return true;
}

EngineHandle CProbeEngineLibrary::Create(comm::QkcBinding* binding) {
    // Without a binding record (the file mode has none) there is no printer to test and the
    // engine makes no handle: the library is not loaded for it.
    if (!binding)
        return nullptr;
    if (!Load())
        return nullptr;
    return m_create(binding);
}

void CProbeEngineLibrary::Release(EngineHandle* handle) {
    if (m_module && handle)
        m_release(handle);
}

void CProbeEngineLibrary::Unload() {
    if (!m_module)
        return;
    ::FreeLibrary(m_module);
    m_module = nullptr;
    m_create = nullptr;
    m_release = nullptr;
}

} // namespace qk
