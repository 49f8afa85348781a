// Data blocks with a distinct value in every field the settings command file reads, and the
// section the command table makes of them, written out by hand from that table.
#pragma once
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>
#include "framework/store/PluginDataMgrApi.h"

namespace qk::test {

using Bytes = std::vector<uint8_t>;

inline Bytes Hex(const char* text) {
    Bytes out;
    for (const char* p = text; *p;) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        out.push_back(static_cast<uint8_t>(std::stoi(std::string(p, 2), nullptr, 16)));
        p += 2;
    }
    return out;
}

inline std::string HexOf(const Bytes& bytes) {
    std::string text;
    char digits[4];
    for (uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "%02X ", b);
        text += digits;
    }
    return text;
}

inline bool Contains(const Bytes& haystack, const Bytes& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
           haystack.end();
}

// Data blocks with a distinct value in every field the file reads.
class SettingsBlocks {
public:
    SettingsBlocks() {
        Put32(0x10007, 32, 0x0102); // 16-bit field at 32
        Put8(0x10007, 34, 0x20);    // top logo key codes and alignment
        Put8(0x10007, 35, 0x21);
        Put8(0x10007, 36, 2);
        Put8(0x10007, 41, 0x41); // bottom logo
        Put8(0x10007, 42, 0x42);
        Put8(0x10007, 44, 1);
        Put32(0x10007, 48, 0);
        Put32(0x10007, 52, 2); // not 1: '0'
        Put32(0x10007, 56, 1);
        Put32(0x1000B, 112, 5);
        Put32(0x10005, 32, 2);
        Put32(0x10005, 40, 0x1234);
        Put32(0x10005, 44, 0x00050007); // only the low half is sent
        Put32(0x10005, 60, 0x0100);
        Put32(0x10005, 72, 9);
        Put32(0x10003, 32, 0x0135); // '5' with a high byte: the digit rule sends 05 00
        Put32(0x10003, 36, 0x41);   // 'A' is no digit
        Put32(0x10003, 40, 3);
        Put32(0x10003, 44, 4);
        for (uint32_t i = 0; i < 5; ++i)
            Put32(0x10006, 32 + 4 * i, 11 + i);
        for (uint32_t i = 0; i < 8; ++i)
            Put16(0x1000A, 32 + 2 * i, static_cast<uint16_t>(21 + i));
    }

    void Put8(uint32_t key, uint32_t at, uint8_t v) { Block(key)[at] = v; }
    void Put16(uint32_t key, uint32_t at, uint16_t v) { std::memcpy(&Block(key)[at], &v, 2); }
    void Put32(uint32_t key, uint32_t at, uint32_t v) { std::memcpy(&Block(key)[at], &v, 4); }
    void Remove(uint32_t key) { m_blocks.erase(key); }
    // Keeps only the first `size` bytes of a block.
    void Shorten(uint32_t key, size_t size) { Block(key).resize(size); }

    // As the pages store them: each block at its own size, with its header.
    void StoreAsThePagesDo(IPluginDataMgr& store) {
        for (auto [key, size] : {std::pair{0x10003u, 48u},
                                 {0x10005u, 152u},
                                 {0x10006u, 52u},
                                 {0x10007u, 68u},
                                 {0x1000Au, 60u},
                                 {0x1000Bu, 248u}}) {
            Bytes block = Block(key);
            block.resize(size);
            const PluginBlockHeader header{{'P', 'N', 'D', 0}, key, 1, size, {}};
            std::memcpy(block.data(), &header, sizeof header);
            ASSERT_EQ(store.CreateBlock(key, 1, size), 0);
            ASSERT_EQ(store.WriteBlock(key, size, block.data()), 0);
        }
    }
    void StoreInto(IPluginDataMgr& store) {
        for (auto& [key, data] : m_blocks) {
            ASSERT_EQ(store.CreateBlock(key, 1, 4096), 0);
            ASSERT_EQ(store.WriteBlock(key, static_cast<uint32_t>(data.size()), data.data()), 0);
        }
    }

private:
    Bytes& Block(uint32_t key) {
        Bytes& block = m_blocks[key];
        if (block.empty())
            block.assign(256, 0);
        return block;
    }
    std::map<uint32_t, Bytes> m_blocks;
};

// Every row of the command table for SettingsBlocks, both font rows included.
inline const char* const kExpectedSection =
    "1C 28 45 06 00 3E 02 20 21 32 00 " // top logo
    "1C 28 45 05 00 3F 02 41 42 31 "    // bottom logo
    "1C 28 45 04 00 40 02 30 31 "       // logo option from the word at 56
    "1C 28 45 04 00 40 02 40 30 "       // word at 52 is 2
    "1C 28 45 04 00 40 02 41 30 "       // word at 48 is 0
    "1D 28 45 03 00 01 49 4E "          // enter user setup
    "1D 28 45 0A 00 03 06 32 32 32 32 32 32 32 31 "
    "1D 28 45 04 00 05 03 02 00 "
    "1D 28 45 04 00 05 05 34 12 "
    "1D 28 45 04 00 05 06 07 00 "
    "1D 28 45 04 00 05 08 03 00 "
    "1D 28 45 04 00 05 09 04 00 "
    "1D 28 45 04 00 05 0B 00 01 "
    "1D 28 45 04 00 05 64 02 01 "
    "1D 28 45 04 00 05 65 0B 00 "
    "1D 28 45 04 00 05 66 0C 00 "
    "1D 28 45 04 00 05 67 0D 00 "
    "1D 28 45 04 00 05 68 0E 00 "
    "1D 28 45 04 00 05 69 0F 00 "
    "1D 28 45 04 00 05 6F 05 00 " // font A, digit rule
    "1D 28 45 04 00 05 70 41 00 " // font B, not a digit
    "1D 28 45 04 00 05 77 15 00 "
    "1D 28 45 04 00 05 78 16 00 "
    "1D 28 45 04 00 05 79 17 00 "
    "1D 28 45 04 00 05 7A 18 00 "
    "1D 28 45 04 00 05 7B 19 00 "
    "1D 28 45 04 00 05 7C 1A 00 "
    "1D 28 45 04 00 05 7D 1B 00 "
    "1D 28 45 04 00 05 7E 1C 00 "
    "1D 28 45 04 00 05 7F 09 00 "
    "1D 28 45 04 00 02 4F 55 54"; // leave user setup

// The section of the sample blocks with the font rows that are switched on.
inline Bytes ExpectedSection(bool fontA, bool fontB) {
    std::string text = kExpectedSection;
    auto drop = [&](const char* row) {
        const std::size_t at = text.find(row);
        if (at != std::string::npos)
            text.erase(at, std::strlen(row));
    };
    if (!fontA)
        drop("1D 28 45 04 00 05 6F 05 00 ");
    if (!fontB)
        drop("1D 28 45 04 00 05 70 41 00 ");
    return Hex(text.c_str());
}

} // namespace qk::test
