// The maker's device test engine, outside the system: operation 2 makes an engine from the
// communication library's binding record, operation 3 releases it. A plug-in's controller
// only creates, hands on and releases the handle.
#pragma once
#include <windows.h>

namespace qk::comm {
struct QkcBinding;
}

namespace qk {

using EngineHandle = void*;

class IDeviceTestEngine {
public:
    // The engine's handle, or null when it could not be made.
    virtual EngineHandle Create(comm::QkcBinding* binding) = 0;
    // Releases the engine whose handle is at `handle`; a released (null) handle is harmless.
    virtual void Release(EngineHandle* handle) = 0;

protected:
    ~IDeviceTestEngine() = default;
};

// The engine library "ProbeEngine.dll", found beside the module that carries this code and
// bound by ordinal when the first engine is made. Ordinals: 2 create, 3 release.
class CProbeEngineLibrary final : public IDeviceTestEngine {
public:
    static constexpr WORD kCreateOrdinal = 2;
    static constexpr WORD kReleaseOrdinal = 3;

    CProbeEngineLibrary() = default;
    ~CProbeEngineLibrary();
    CProbeEngineLibrary(const CProbeEngineLibrary&) = delete;
    CProbeEngineLibrary& operator=(const CProbeEngineLibrary&) = delete;

    EngineHandle Create(comm::QkcBinding* binding) override;
    void Release(EngineHandle* handle) override;
    // Frees the library; later releases do nothing, a later Create loads it again.
    void Unload();
    // Lets go of the library without freeing it (process exit).
    void Abandon() { m_module = nullptr; }
    bool IsLoaded() const { return m_module != nullptr; }

private:
    bool Load();

    using CreateProc = EngineHandle(WINAPI*)(comm::QkcBinding* binding);
    using ReleaseProc = int(WINAPI*)(EngineHandle* handle);
    HMODULE m_module = nullptr;
    CreateProc m_create = nullptr;
    ReleaseProc m_release = nullptr;
};

} // namespace qk
