// A printer's settings file ("<device>_Setting.DAT"): a SettingsFileHeader and the data
// blocks back to back (PluginDataMgrApi.h has the layouts). Bytes only; the store reads and
// writes the file. Portable.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>
#include "framework/store/BlockStore.h"

namespace qk::store {

// Appends the file's blocks to `blocks`: 0, or the load codes of IPluginDataMgr (-3 bad magic
// or block, -4 short data, -5 or -7 from a block that cannot be made). On a failure the
// blocks read before it stay; the caller clears them.
int32_t ReadSettingsFile(const std::vector<uint8_t>& data, BlockStore& blocks);

// The file of the blocks that a load can take back (those longer than their header), the
// header naming the model in ASCII. May throw std::bad_alloc.
std::vector<uint8_t> SettingsFileBytes(const BlockStore& blocks, std::u16string_view modelName,
                                       uint32_t version1, uint32_t version2);

} // namespace qk::store
