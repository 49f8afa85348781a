// The printer information library's entry points. A context is a PrinterQuery; a context the
// library did not hand out is refused rather than used.
#include <windows.h>
#include <cstring>
#include <mutex>
#include <set>
#include "framework/comm/PrinfoLibApi.h"
#include "maker/prinfo/PrinterQuery.h"

using qk::comm::PrinterInformation;
using qk::prinfo::PrinterQuery;

namespace {
// The model IDs this library knows: the QK-R40.
constexpr uint8_t kKnownModelIds[] = {0x40};

std::mutex g_mutex;
std::set<PrinterQuery*>& Live() {
    static auto* live = new std::set<PrinterQuery*>();
    return *live;
}

PrinterQuery* Find(void* context) {
    std::lock_guard lock(g_mutex);
    auto* query = static_cast<PrinterQuery*>(context);
    return Live().count(query) ? query : nullptr;
}

template <typename F> int32_t Guard(F&& body) {
    try {
        return body();
    } catch (...) {
        return 0;
    }
}
} // namespace

#define PRINFO_EXPORT extern "C" __declspec(dllexport)

PRINFO_EXPORT void* QKC_CALL Initialize(const qk::comm::QkcBinding* binding) {
    try {
        if (!qk::comm::IsBound(binding))
            return nullptr;
        auto* query = new PrinterQuery(binding);
        std::lock_guard lock(g_mutex);
        Live().insert(query);
        return query;
    } catch (...) {
        return nullptr;
    }
}

PRINFO_EXPORT int32_t QKC_CALL Finalize(void** context) {
    return Guard([&] {
        if (!context || !*context)
            return 1;
        auto* query = static_cast<PrinterQuery*>(*context);
        {
            std::lock_guard lock(g_mutex);
            if (!Live().erase(query))
                return 0;
        }
        delete query;
        *context = nullptr;
        return 1;
    });
}

PRINFO_EXPORT int32_t QKC_CALL GetPrinterName(void* context, char* buffer, int32_t size) {
    return Guard([&] {
        PrinterQuery* query = Find(context);
        if (!query || !buffer || size <= 0)
            return 0;
        buffer[0] = '\0';
        std::string name;
        if (!query->AskText(0x43, name) || name.empty() ||
            name.size() + 1 > static_cast<std::size_t>(size))
            return 0;
        std::memcpy(buffer, name.c_str(), name.size() + 1);
        return 1;
    });
}

PRINFO_EXPORT int32_t QKC_CALL GetDeviceID(void* context, int32_t* value) {
    return Guard([&] {
        PrinterQuery* query = Find(context);
        if (!query || !value)
            return 0;
        uint8_t id = 0;
        if (!query->AskByte(0x01, id)) {
            *value = -1; // no answer: a communication failure
            return 0;
        }
        for (uint8_t known : kKnownModelIds)
            if (id == known) {
                *value = id;
                return 1;
            }
        *value = 0; // answered, but not a printer this library knows
        return 0;
    });
}

PRINFO_EXPORT int32_t QKC_CALL GetPrinterInformation(void* context, PrinterInformation* info,
                                                     int32_t) {
    return Guard([&] {
        PrinterQuery* query = Find(context);
        if (!query || !info)
            return 0;
        return query->ReadInformation(info->requestMask, *info) ? 1 : 0;
    });
}

PRINFO_EXPORT int32_t QKC_CALL RegisterCallback(void* context, qk::comm::PrinfoCallback proc,
                                                void* user) {
    return Guard([&] {
        PrinterQuery* query = Find(context);
        if (!query || !proc)
            return 0;
        query->SetCallback(proc, user);
        return 1;
    });
}

PRINFO_EXPORT int32_t QKC_CALL UnregisterCallback(void* context) {
    return Guard([&] {
        PrinterQuery* query = Find(context);
        if (!query)
            return 0;
        query->SetCallback(nullptr, nullptr);
        return 1;
    });
}

PRINFO_EXPORT int32_t QKC_CALL GetPrinterInfo(void* context, int32_t index, char* buffer,
                                              int32_t size) {
    return Guard([&] {
        PrinterQuery* query = Find(context);
        if (!query || !buffer || size <= 0 || index < 0 || index > 4)
            return 0;
        std::string text;
        if (!query->AskText(qk::prinfo::InformationForm(index), text) ||
            text.size() + 1 > static_cast<std::size_t>(size))
            return 0;
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return 1;
    });
}

static_assert(std::is_same_v<decltype(&Initialize), qk::comm::PFN_PRINFO_Initialize>);
static_assert(std::is_same_v<decltype(&Finalize), qk::comm::PFN_PRINFO_Finalize>);
static_assert(std::is_same_v<decltype(&GetPrinterName), qk::comm::PFN_PRINFO_GetPrinterName>);
static_assert(std::is_same_v<decltype(&GetDeviceID), qk::comm::PFN_PRINFO_GetDeviceID>);
static_assert(
    std::is_same_v<decltype(&GetPrinterInformation), qk::comm::PFN_PRINFO_GetPrinterInformation>);
static_assert(std::is_same_v<decltype(&RegisterCallback), qk::comm::PFN_PRINFO_RegisterCallback>);
static_assert(
    std::is_same_v<decltype(&UnregisterCallback), qk::comm::PFN_PRINFO_UnregisterCallback>);
static_assert(std::is_same_v<decltype(&GetPrinterInfo), qk::comm::PFN_PRINFO_GetPrinterInfo>);
