// The binding of one menu item to its plug-in library: the module and the FORMVIEWDLL_
// entry points bound by name. Portable on purpose (no windows.h): the menu file reader and
// the status pane walk items that embed it. Loading and unloading live in PluginHost.
#pragma once
#include <cstdint>
#include <string>

// The Win32 handle types as windows.h declares them (STRICT), so that the entry points keep
// their real signatures without the header.
struct HWND__;
struct HINSTANCE__;
struct UtilContext;
struct PluginInfo;

// Plug-in entry points use the platform's standard calling convention.
#if defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
#define QK_PLUGIN_CALL __stdcall
#else
#define QK_PLUGIN_CALL
#endif

namespace qk::app {

class CMenuDLLProc {
public:
    using InitializeFn = int32_t(QK_PLUGIN_CALL*)(HWND__* owner, HWND__* parent,
                                                  UtilContext* context);
    using FinalizeFn = int32_t(QK_PLUGIN_CALL*)();
    using GetActiveViewFn = void*(QK_PLUGIN_CALL*)();
    using ChangeMenuStateFn = int32_t(QK_PLUGIN_CALL*)(int32_t state);
    using GetPluginInfoFn = int32_t(QK_PLUGIN_CALL*)(PluginInfo* info);
    using ReadPrinterSettingsFn = int32_t(QK_PLUGIN_CALL*)();
    using SetDefaultDataFn = int32_t(QK_PLUGIN_CALL*)(uint32_t key);
    using GetDependPluginDataFn = int32_t(QK_PLUGIN_CALL*)(PluginInfo* list, int32_t* count);
    // key (null when empty), key length, buffer (null to ask for the length), buffer length,
    // needed length in characters. 0 done, -8 buffer too small.
    using GetMenuNameFn = int32_t(QK_PLUGIN_CALL*)(const char16_t* key, int32_t keyLength,
                                                   char16_t* buffer, int32_t bufferLength,
                                                   int32_t* needed);

    // Result codes of the menu-name request.
    static constexpr int32_t kNotBound = -1;
    static constexpr int32_t kNoEntryPoint = -7;
    static constexpr int32_t kBufferTooSmall = -8;

    // The plug-in's menu-name request: -1 not bound, -7 the library has no
    // FORMVIEWDLL_GetMenuName, otherwise the entry point's answer.
    virtual int32_t RequestMenuName(const char16_t* key, int32_t keyLength, char16_t* buffer,
                                    int32_t bufferLength, int32_t* needed) {
        if (!m_bound)
            return kNotBound;
        if (!m_pfnGetMenuName)
            return kNoEntryPoint;
        return m_pfnGetMenuName(key, keyLength, buffer, bufferLength, needed);
    }

    // The display name the plug-in gives for key; empty when it gives none.
    std::u16string GetMenuName(const std::u16string& key) {
        if (!m_bound)
            return {};
        const char16_t* keyText = key.empty() ? nullptr : key.c_str();
        const auto keyLength = static_cast<int32_t>(key.size());
        int32_t needed = 0;
        if (RequestMenuName(keyText, keyLength, nullptr, 0, &needed) != kBufferTooSmall ||
            needed <= 0 || needed > kMaxMenuNameChars)
            return {};
        std::u16string buffer(static_cast<std::size_t>(needed), u'\0');
        int32_t again = 0;
        if (RequestMenuName(keyText, keyLength, buffer.data(), needed, &again) != 0)
            return {};
        // A plug-in that fills the whole buffer without a terminator still ends here.
        buffer.resize(buffer.find(u'\0') == std::u16string::npos ? buffer.size()
                                                                 : buffer.find(u'\0'));
        return buffer;
    }

    bool IsBound() const { return m_bound != 0; }

    // Forgets the library and every entry point (the module is not freed here).
    void Clear() {
        m_hModule = nullptr;
        m_pfnInitialize = nullptr;
        m_pfnFinalize = nullptr;
        m_pfnGetActiveView = nullptr;
        m_pfnChangeMenuState = nullptr;
        m_pfnGetPluginInfo = nullptr;
        m_pfnReadPrinterSettings = nullptr;
        m_pfnSetDefaultData = nullptr;
        m_pfnGetDependPluginData = nullptr;
        m_pfnGetMenuName = nullptr;
        m_bound = 0;
    }

    // A plug-in asking for more than this is taken as answering nonsense.
    static constexpr int32_t kMaxMenuNameChars = 0x10000;

    HINSTANCE__* m_hModule = nullptr; // null when not loaded; freed by PluginHost
    InitializeFn m_pfnInitialize = nullptr;
    FinalizeFn m_pfnFinalize = nullptr;
    GetActiveViewFn m_pfnGetActiveView = nullptr;
    ChangeMenuStateFn m_pfnChangeMenuState = nullptr;
    GetPluginInfoFn m_pfnGetPluginInfo = nullptr;
    ReadPrinterSettingsFn m_pfnReadPrinterSettings = nullptr;
    SetDefaultDataFn m_pfnSetDefaultData = nullptr;
    GetDependPluginDataFn m_pfnGetDependPluginData = nullptr;
    GetMenuNameFn m_pfnGetMenuName = nullptr; // optional
    uint8_t m_bound = 0;                      // 1: loaded and the first eight entry points present
};

} // namespace qk::app
