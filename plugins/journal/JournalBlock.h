// The journal's data block: the common header, then the journal flag.
#pragma once
#include <cstddef>
#include <cstdint>
#include "framework/store/PluginDataMgrApi.h"

namespace qk::journal {

inline constexpr uint32_t kJournalBlockKey = 0x00010010;

struct JournalBlock {
    PluginBlockHeader header;
    int32_t journalFlag; // 1 on, 0 off
};
static_assert(sizeof(JournalBlock) == 36);
static_assert(offsetof(JournalBlock, journalFlag) == 32);

} // namespace qk::journal
