// Little-endian fields and text slots as the store's records and files hold them. Portable.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include "framework/context/TextSlot.h"
#include "framework/store/PluginDataMgrApi.h"

namespace qk::store {

inline constexpr uint32_t kBlockHeaderSize = sizeof(PluginBlockHeader);

inline uint32_t ReadU32(const uint8_t* p) {
    uint32_t value;
    std::memcpy(&value, p, sizeof(value));
    return value;
}

inline void WriteU32(uint8_t* p, uint32_t value) {
    std::memcpy(p, &value, sizeof(value));
}

// Texts handed in are read no further than a slot: a longer text matches no entry and makes
// no path that fits.
inline std::u16string_view StoreText(const char16_t* text) {
    return SlotView(text, kStoreTextChars);
}

} // namespace qk::store
