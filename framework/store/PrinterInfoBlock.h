// Block 0x10001 of the data store: what the settings read learned about the printer. Written by
// the executable's printer setting page, read by the status strip, the journal page and the
// settings command file, and kept in the per-printer settings file, so its layout is fixed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include "framework/store/PluginDataMgrApi.h"

inline constexpr uint32_t kPrinterInfoBlockKey = 0x00010001;
inline constexpr uint32_t kPrinterInfoBlockVersion = 0x00010000;
inline constexpr uint32_t kPrinterInfoBlockSize = 992;
inline constexpr int kPrinterInfoStrings = 5;
inline constexpr int kPrinterInfoStringChars = 90;
// Information string 1 is the printer's name.
inline constexpr int kPrinterInfoNameString = 1;

struct PrinterInfoBlock {
    PluginBlockHeader header;
    // UTF-16, NUL-terminated: 0 maker, 1 printer name, 2 firmware, 3 serial number, 4 font type.
    char16_t strings[kPrinterInfoStrings][kPrinterInfoStringChars];
    int32_t reserved932[6];
    int32_t zero956;
    int32_t arpSupport;      // the application's ARP setting
    int32_t feature3;        // QKC_IsSupported(3) flag, 0 when the call failed
    int32_t feature3Copy;    // same as feature3
    int32_t emulatorPortSet; // 1 when the command emulator is set up for the port
    int32_t informationRead; // 1 after every successful read
    int32_t reserved980;
    int32_t value984; // 80
    int32_t value988; // 180
};

static_assert(sizeof(char16_t) == 2);
static_assert(sizeof(PrinterInfoBlock) == kPrinterInfoBlockSize);
static_assert(offsetof(PrinterInfoBlock, header) == 0);
static_assert(offsetof(PrinterInfoBlock, strings) == 32);
static_assert(offsetof(PrinterInfoBlock, strings[1]) == 212);
static_assert(offsetof(PrinterInfoBlock, strings[2]) == 392);
static_assert(offsetof(PrinterInfoBlock, strings[3]) == 572);
static_assert(offsetof(PrinterInfoBlock, strings[4]) == 752);
static_assert(offsetof(PrinterInfoBlock, reserved932) == 932);
static_assert(offsetof(PrinterInfoBlock, zero956) == 956);
static_assert(offsetof(PrinterInfoBlock, arpSupport) == 960);
static_assert(offsetof(PrinterInfoBlock, feature3) == 964);
static_assert(offsetof(PrinterInfoBlock, feature3Copy) == 968);
static_assert(offsetof(PrinterInfoBlock, emulatorPortSet) == 972);
static_assert(offsetof(PrinterInfoBlock, informationRead) == 976);
static_assert(offsetof(PrinterInfoBlock, reserved980) == 980);
static_assert(offsetof(PrinterInfoBlock, value984) == 984);
static_assert(offsetof(PrinterInfoBlock, value988) == 988);

// The default content under the given header (strings empty, words as a fresh block has them).
inline void SetPrinterInfoDefaults(PrinterInfoBlock& block, const PluginBlockHeader& header) {
    std::memset(&block, 0, sizeof(block));
    block.header = header;
    block.value984 = 80;
    block.value988 = 180;
}
