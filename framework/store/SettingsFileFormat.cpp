#include "framework/store/SettingsFileFormat.h"

#include <cstring>
#include "framework/store/StoreBytes.h"

namespace qk::store {
namespace {

constexpr const char* kApplicationName = "QK-R40 Utility";
constexpr const char* kMakerName = "TARROW";

// ASCII copy into a zero-filled field, leaving at least one zero at the end.
template <size_t N> void CopyAscii(char (&field)[N], std::u16string_view text) {
    std::memset(field, 0, N);
    for (size_t i = 0; i < text.size() && i < N - 1; ++i)
        field[i] = text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
}

template <size_t N> void CopyAscii(char (&field)[N], const char* text) {
    std::memset(field, 0, N);
    std::strncpy(field, text, N - 1);
}

bool Loadable(const BlockStore::Block& block) {
    return block.size > kBlockHeaderSize;
}

} // namespace

// Every size is checked against the bytes present before anything is allocated, so a damaged
// count or size field ends the load instead of reading past the data or allocating gigabytes.
int32_t ReadSettingsFile(const std::vector<uint8_t>& data, BlockStore& blocks) {
    if (data.size() < sizeof(SettingsFileHeader))
        return kStoreFileError;
    if (ReadU32(data.data()) != kSettingsFileMagic)
        return kStoreBadData;
    const uint32_t count = ReadU32(data.data() + offsetof(SettingsFileHeader, blockCount));

    size_t pos = sizeof(SettingsFileHeader);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t left = data.size() - pos;
        if (left < kBlockHeaderSize)
            return kStoreFileError;
        const uint8_t* header = data.data() + pos;
        const uint32_t size = ReadU32(header + offsetof(PluginBlockHeader, size));
        if (ReadU32(header) != kPluginBlockMagic || size <= kBlockHeaderSize)
            return kStoreBadData;
        if (size > left)
            return kStoreFileError; // payload shorter than the size field says
        const int32_t appended = blocks.Append(header, size);
        if (appended != kStoreOk)
            return appended;
        pos += size;
    }
    return kStoreOk;
}

std::vector<uint8_t> SettingsFileBytes(const BlockStore& blocks, std::u16string_view modelName,
                                       uint32_t version1, uint32_t version2) {
    // Only blocks that a load can take back are written, and the count says how many there
    // are: a block never written (size 0) or shorter than its header would otherwise make the
    // whole file unreadable.
    uint32_t written = 0;
    size_t total = sizeof(SettingsFileHeader);
    for (const BlockStore::Block& block : blocks.Blocks()) {
        if (Loadable(block)) {
            ++written;
            total += block.size;
        }
    }
    std::vector<uint8_t> bytes(total, 0);
    SettingsFileHeader header{};
    WriteU32(header.magic, kSettingsFileMagic);
    header.version1 = version1;
    header.version2 = version2;
    header.blockCount = written;
    CopyAscii(header.applicationName, kApplicationName);
    CopyAscii(header.makerName, kMakerName);
    CopyAscii(header.modelName, modelName);
    std::memcpy(bytes.data(), &header, sizeof(header));
    size_t pos = sizeof(header);
    for (const BlockStore::Block& block : blocks.Blocks()) {
        if (!Loadable(block))
            continue;
        uint8_t* out = bytes.data() + pos;
        std::memcpy(out, block.content.data(), block.size);
        // The loader insists on the magic and a size field that matches the bytes.
        WriteU32(out, kPluginBlockMagic);
        WriteU32(out + offsetof(PluginBlockHeader, size), block.size);
        pos += block.size;
    }
    return bytes;
}

} // namespace qk::store
