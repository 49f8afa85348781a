// Blocks in memory. No exception leaves an operation: plug-ins call them.
#include "framework/store/BlockStore.h"

#include <algorithm>
#include <cstring>
#include "framework/store/PluginDataMgrApi.h"
#include "framework/store/StoreBytes.h"

namespace qk::store {
namespace {

constexpr uint32_t kMaxBlockSize = 256u << 20;

} // namespace

int32_t BlockStore::Create(uint32_t key, uint32_t version, uint32_t size) {
    if (size <= kBlockHeaderSize)
        return kStoreBlockTooSmall;
    // A request the 32-bit program can never meet is out of memory everywhere, without
    // zero-filling gigabytes where an allocator would grant it.
    if (size > kMaxBlockSize)
        return kStoreNoMemory;
    try {
        Block block;
        block.key = key;
        block.version = version;
        block.size = 0; // until the first write
        block.content.assign(size, 0);
        WriteU32(block.content.data(), kPluginBlockMagic);
        WriteU32(block.content.data() + 4, key);
        WriteU32(block.content.data() + 8, version);
        m_blocks.push_back(std::move(block));
        return kStoreOk;
    } catch (...) {
        return kStoreNoMemory;
    }
}

int32_t BlockStore::Find(uint32_t key) const {
    for (size_t i = 0; i < m_blocks.size(); ++i) {
        if (m_blocks[i].key == key)
            return static_cast<int32_t>(i);
    }
    return kStoreNotFound;
}

int32_t BlockStore::Write(uint32_t key, uint32_t size, void* data) {
    const int32_t index = Find(key);
    if (index < 0)
        return kStoreNotFound;
    if (data == nullptr && size > 0)
        return kStoreNullPointer;
    try {
        Block& block = m_blocks[static_cast<size_t>(index)];
        if (block.content.size() < size)
            block.content.resize(size);
        // The caller's size field is at byte 12; a shorter record has none to set.
        if (size >= 16)
            WriteU32(static_cast<uint8_t*>(data) + 12, size);
        if (size > 0)
            std::memcpy(block.content.data(), data, size);
        block.size = size;
        return kStoreOk;
    } catch (...) {
        return kStoreNoMemory;
    }
}

int32_t BlockStore::Read(uint32_t key, void* buffer, uint32_t length) const {
    const int32_t index = Find(key);
    if (index < 0)
        return kStoreNotFound;
    const Block& block = m_blocks[static_cast<size_t>(index)];
    const uint32_t n = std::min(length, block.size);
    if (n == 0)
        return kStoreOk;
    if (buffer == nullptr)
        return kStoreNullPointer;
    std::memcpy(buffer, block.content.data(), n);
    return kStoreOk;
}

int32_t BlockStore::Remove(int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= m_blocks.size())
        return kStoreBadData;
    m_blocks.erase(m_blocks.begin() + index);
    return kStoreOk;
}

int32_t BlockStore::Size(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= m_blocks.size())
        return kStoreBadData;
    return static_cast<int32_t>(m_blocks[static_cast<size_t>(index)].size);
}

int32_t BlockStore::Append(const uint8_t* bytes, uint32_t size) {
    const int32_t created = Create(ReadU32(bytes + offsetof(PluginBlockHeader, key)),
                                   ReadU32(bytes + offsetof(PluginBlockHeader, version)), size);
    if (created != kStoreOk)
        return created;
    // Into the block just made: a key that is already present must not get the bytes.
    Block& block = m_blocks.back();
    std::memcpy(block.content.data(), bytes, size);
    block.size = size;
    return kStoreOk;
}

} // namespace qk::store
