// The device test engine: ordinal 2 makes an engine for a bound communication library, ordinal
// 3 releases it. Whether engines are available, and how many at once, comes from
// "ProbeEngine.ini" beside the library ([Engine] Available=1, MaxEngines=4).
#include <windows.h>
#include <mutex>
#include <set>
#include "framework/comm/MakerToolsApi.h"
#include "maker/common/IniText.h"
#include "maker/common/WinText.h"

namespace {

struct Engine {
    const qk::comm::QkcBinding* binding; // owned by the host
};

std::mutex g_mutex;
std::set<Engine*>& Engines() {
    static auto* engines = new std::set<Engine*>();
    return *engines;
}

qk::ini::IniText Settings() {
    qk::ini::IniText ini;
    std::string text;
    if (qk::win::ReadFileText(qk::win::ModuleFolder(reinterpret_cast<const void*>(&Settings)) +
                                  L"ProbeEngine.ini",
                              text))
        ini.Parse(text);
    return ini;
}

} // namespace

extern "C" uintptr_t QKC_CALL ProbeEngineCreate(const qk::comm::QkcBinding* binding) {
    try {
        if (!qk::comm::IsBound(binding))
            return 0;
        qk::ini::IniText ini = Settings();
        if (ini.GetInt("Engine", "Available", 1) == 0)
            return 0;
        std::lock_guard lock(g_mutex);
        if (static_cast<long>(Engines().size()) >= ini.GetInt("Engine", "MaxEngines", 4))
            return 0;
        Engine* engine = new Engine{binding};
        Engines().insert(engine);
        return reinterpret_cast<uintptr_t>(engine);
    } catch (...) {
        return 0;
    }
}

extern "C" int32_t QKC_CALL ProbeEngineRelease(uintptr_t* handle) {
    try {
        if (!handle)
            return -3;
        if (*handle == 0)
            return 0; // released already
        Engine* engine = reinterpret_cast<Engine*>(*handle);
        std::lock_guard lock(g_mutex);
        if (!Engines().erase(engine))
            return -1; // not one of ours: left alone
        delete engine;
        *handle = 0;
        return 0;
    } catch (...) {
        return -7;
    }
}

static_assert(std::is_same_v<decltype(&ProbeEngineCreate), qk::comm::PFN_ProbeEngineCreate>);
static_assert(std::is_same_v<decltype(&ProbeEngineRelease), qk::comm::PFN_ProbeEngineRelease>);
