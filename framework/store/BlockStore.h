// The data store's keyed blocks in memory: what the pages read from the printer and edit,
// and what a settings file holds. Holds no lock: its owner (PluginDataMgr) does. Portable.
#pragma once
#include <cstdint>
#include <vector>

namespace qk::store {

class BlockStore {
public:
    struct Block {
        uint32_t key = 0;
        uint32_t version = 0;
        uint32_t size = 0;            // bytes of content that are the block
        std::vector<uint8_t> content; // at least `size` bytes
    };

    // The operations of IPluginDataMgr, with its result codes.
    int32_t Create(uint32_t key, uint32_t version, uint32_t size);
    int32_t Find(uint32_t key) const;
    int32_t Write(uint32_t key, uint32_t size, void* data);
    int32_t Read(uint32_t key, void* buffer, uint32_t length) const;
    int32_t Remove(int32_t index);
    void Clear() { m_blocks.clear(); }
    int32_t Count() const { return static_cast<int32_t>(m_blocks.size()); }
    int32_t Size(int32_t index) const;

    // Appends a block whose header and content are `size` bytes at `bytes` (a loaded file's),
    // even when a block of that key is already present.
    int32_t Append(const uint8_t* bytes, uint32_t size);

    const std::vector<Block>& Blocks() const { return m_blocks; }

private:
    std::vector<Block> m_blocks;
};

} // namespace qk::store
