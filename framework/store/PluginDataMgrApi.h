// What a separately built module (a plug-in) may call on the application's data store through
// the context pointer. The application and a plug-in do not share a C++ runtime, so this is a
// table of virtual operations with plain data only: integers, raw pointers and fixed records.
// No destructor in the table and no overloaded names, so that the slot order is the
// declaration order for every compiler of the platform. Never delete through this type.
// Also the fixed file layouts of the store.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little, "the store's files are little-endian");

// Result codes of the store.
enum : int32_t {
    kStoreOk = 0,
    kStoreNotFound = -1,    // no block with the key / no entry
    kStoreFileMissing = -2, // settings file missing or not openable
    kStoreBadData = -3,     // bad magic or bad block (also: bad argument)
    kStoreFileError = -4,   // short read or file error
    kStoreBlockTooSmall = -5,
    kStoreNullPointer = -6,
    kStoreNoMemory = -7, // out of memory or another failure
    kStoreBufferTooSmall = -8,
};

// Header of every data block, in memory and in settings files.
struct PluginBlockHeader {
    uint8_t magic[4]; // "PND" and a zero byte
    uint32_t key;
    uint32_t version;
    uint32_t size;     // of the whole block, header included
    uint8_t owner[16]; // zero when created; the block's owner may use them
};
static_assert(sizeof(PluginBlockHeader) == 32);
static_assert(offsetof(PluginBlockHeader, key) == 4);
static_assert(offsetof(PluginBlockHeader, version) == 8);
static_assert(offsetof(PluginBlockHeader, size) == 12);
static_assert(offsetof(PluginBlockHeader, owner) == 16);

inline constexpr uint32_t kPluginBlockMagic = 0x00444E50; // "PND\0" read little-endian

// Header of a settings file; the blocks follow back to back.
struct SettingsFileHeader {
    uint8_t magic[4]; // "PSD" and a zero byte
    uint32_t version1;
    uint32_t version2;
    uint32_t blockCount;
    char applicationName[32]; // ASCII, zero-filled
    char makerName[32];
    char modelName[56];
};
static_assert(sizeof(SettingsFileHeader) == 136);
static_assert(offsetof(SettingsFileHeader, version1) == 4);
static_assert(offsetof(SettingsFileHeader, version2) == 8);
static_assert(offsetof(SettingsFileHeader, blockCount) == 12);
static_assert(offsetof(SettingsFileHeader, applicationName) == 16);
static_assert(offsetof(SettingsFileHeader, makerName) == 48);
static_assert(offsetof(SettingsFileHeader, modelName) == 80);

inline constexpr uint32_t kSettingsFileMagic = 0x00445350; // "PSD\0" read little-endian

// Text slots of the store hold 259 characters and a terminating zero.
inline constexpr uint32_t kStoreTextChars = 260;

// One registered printer, UTF-16 text.
struct RegisteredPrinter {
    char16_t deviceName[kStoreTextChars];
    char16_t portName[kStoreTextChars];
    char16_t folderName[kStoreTextChars];   // "PORT_<n>"
    char16_t settingsPath[kStoreTextChars]; // <data folder>\<folder>\<device>_Setting.DAT
};
static_assert(sizeof(RegisteredPrinter) == 2080);
static_assert(offsetof(RegisteredPrinter, portName) == 520);
static_assert(offsetof(RegisteredPrinter, folderName) == 1040);
static_assert(offsetof(RegisteredPrinter, settingsPath) == 1560);

// <windows.h> defines AddPrinter and GetPrinter as macros naming the ...W spooler functions.
// The table's operations keep their names in every file: they are declared with those macros
// suspended, and the ...W spellings that a call turns into where <windows.h> came first
// forward to them (plain inline functions, not entries of the table).
#pragma push_macro("AddPrinter")
#pragma push_macro("GetPrinter")
#undef AddPrinter
#undef GetPrinter

class IPluginDataMgr {
public:
    // Blocks. 0 on success unless said otherwise.
    // size below 33: -5; no memory: -7. The new block's size stays 0 until the first write.
    virtual int32_t CreateBlock(uint32_t key, uint32_t version, uint32_t size) = 0;
    // Index of the first block with the key, or -1.
    virtual int32_t FindBlock(uint32_t key) = 0;
    // Writes `size` bytes of `data` as the block and stores `size` in the caller's data at
    // byte 12 (when it has 16 bytes or more). -1 no such block.
    virtual int32_t WriteBlock(uint32_t key, uint32_t size, void* data) = 0;
    // Copies the first min(length, block size) bytes, header included. -1 no such block.
    virtual int32_t ReadBlock(uint32_t key, void* buffer, uint32_t length) = 0;
    virtual int32_t RemoveBlock(int32_t index) = 0; // -3 for an index out of range
    virtual void ClearBlocks() = 0;
    virtual int32_t GetBlockCount() = 0;
    // Size in bytes of the block at an index (0 before its first write), or -3.
    virtual int32_t GetBlockSize(int32_t index) = 0;

    // The save flag: 1 lets SaveSettingsFile write.
    virtual int32_t GetSaveFlag() = 0;
    virtual void SetSaveFlag(int32_t flag) = 0;

    // Registered printers ("PrinterSetting.INI" in the data folder). Texts are zero-terminated.
    virtual int32_t LoadPrinterList(const char16_t* dataFolder) = 0; // number of entries
    virtual int32_t SavePrinterList(const char16_t* dataFolder) = 0; // 0, or -4 write failure
    // Index of the printer's entry, appended when new; -6 for a null argument.
    virtual int32_t AddPrinter(const char16_t* dataFolder, const char16_t* deviceName,
                               const char16_t* portName) = 0;
    // Length of the entry's settings path copied into the buffer (0 and an empty text when
    // there is no entry); -8 when the buffer cannot hold it.
    virtual int32_t GetSettingsPath(const char16_t* deviceName, const char16_t* portName,
                                    char16_t* buffer, uint32_t bufferChars) = 0;
    // 1 when the entry exists and its settings file exists, else 0.
    virtual int32_t HasSettingsFile(const char16_t* deviceName, const char16_t* portName) = 0;
    virtual int32_t GetPrinterCount() = 0;
    virtual int32_t GetPrinter(int32_t index, RegisteredPrinter* entry) = 0; // 0, -3, -6

    // Settings files. Load: 0, -2, -3, -4, -5, -7 (the block list is empty after a failure).
    virtual int32_t LoadSettingsFile(const char16_t* path) = 0;
    // 1 written, 0 not (save flag clear, folder or file not writable).
    virtual int32_t SaveSettingsFile(const char16_t* modelName, const char16_t* path,
                                     uint32_t version1, uint32_t version2) = 0;

    // The spellings that calls take after <windows.h>.
    int32_t AddPrinterW(const char16_t* dataFolder, const char16_t* deviceName,
                        const char16_t* portName) {
        return AddPrinter(dataFolder, deviceName, portName);
    }
    int32_t GetPrinterW(int32_t index, RegisteredPrinter* entry) {
        return GetPrinter(index, entry);
    }

protected:
    IPluginDataMgr() = default;
    ~IPluginDataMgr() = default;
    IPluginDataMgr(const IPluginDataMgr&) = default;
    IPluginDataMgr& operator=(const IPluginDataMgr&) = default;
};

#pragma pop_macro("GetPrinter")
#pragma pop_macro("AddPrinter")
