// The port configuration library: answers per port what "PortCfgLib.ini" beside it says. One
// section per port name; numbers are keys "Number<item>" (item 0 also as "Kind"), strings
// "String<item>" (item 1 also as "Target"). Results: 0 done, -1 unknown port or item,
// -3 bad argument, -8 buffer too small (the size then tells the bytes needed).
#include <windows.h>
#include <cstring>
#include "framework/comm/MakerToolsApi.h"
#include "maker/common/IniText.h"
#include "maker/common/WinText.h"

namespace {

bool Settings(qk::ini::IniText& ini) {
    std::string text;
    if (!qk::win::ReadFileText(qk::win::ModuleFolder(reinterpret_cast<const void*>(&Settings)) +
                                   L"PortCfgLib.ini",
                               text))
        return false;
    ini.Parse(text);
    return true;
}

bool Lookup(const char16_t* port, int32_t item, bool number, std::string& value) {
    qk::ini::IniText ini;
    if (!Settings(ini))
        return false;
    std::string section = qk::win::ToUtf8(qk::win::FromU16(port, 260));
    std::string alias = number ? (item == 0 ? "Kind" : "") : (item == 1 ? "Target" : "");
    std::string key = (number ? "Number" : "String") + std::to_string(item);
    if (ini.Has(section, key))
        value = ini.Get(section, key);
    else if (!alias.empty() && ini.Has(section, alias))
        value = ini.Get(section, alias);
    else
        return false;
    return true;
}

} // namespace

extern "C" __declspec(dllexport) int32_t QKC_CALL
    PCS_GetPortCfgLibNumber(int32_t, const char16_t* port, int32_t item, int32_t* value) {
    try {
        if (!port || !port[0] || !value || item < 0)
            return -3;
        std::string text;
        if (!Lookup(port, item, true, text))
            return -1;
        char* end = nullptr;
        long number = std::strtol(text.c_str(), &end, 0);
        if (text.empty() || *end != '\0')
            return -1;
        *value = static_cast<int32_t>(number);
        return 0;
    } catch (...) {
        return -7;
    }
}

extern "C" __declspec(dllexport) int32_t QKC_CALL
    PCS_GetPortCfgLibString(int32_t, const char16_t* port, int32_t item, int32_t* size,
                            char16_t* buffer) {
    try {
        if (!port || !port[0] || !size || *size < 0 || (*size > 0 && !buffer) || item < 0)
            return -3;
        std::string text;
        if (!Lookup(port, item, false, text))
            return -1;
        std::wstring wide = qk::win::FromUtf8(text);
        int32_t needed = static_cast<int32_t>((wide.size() + 1) * sizeof(char16_t));
        if (*size < needed) {
            *size = needed;
            return -8;
        }
        qk::win::ToU16(wide, buffer, static_cast<std::size_t>(*size) / sizeof(char16_t));
        *size = needed;
        return 0;
    } catch (...) {
        return -7;
    }
}

static_assert(
    std::is_same_v<decltype(&PCS_GetPortCfgLibNumber), qk::comm::PFN_PCS_GetPortCfgLibNumber>);
static_assert(
    std::is_same_v<decltype(&PCS_GetPortCfgLibString), qk::comm::PFN_PCS_GetPortCfgLibString>);
