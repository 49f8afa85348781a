// The application's store of keyed data blocks, registered printers and the save flag.
// One object, owned by the application for the whole run; plug-ins reach it through the
// context pointer and call it only through IPluginDataMgr (PluginDataMgrApi.h). The blocks
// (BlockStore.h), the printer list (PrinterList.h) and the settings file's bytes
// (SettingsFileFormat.h) each have their own file; this object holds the lock over them.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include "framework/store/BlockStore.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/store/PrinterList.h"
#include "platform/os/FileSystem.h"
#include "platform/os/Profile.h"
#include "platform/os/RealOs.h"

// The operation names stay free of the <windows.h> macros here too (see PluginDataMgrApi.h).
#pragma push_macro("AddPrinter")
#pragma push_macro("GetPrinter")
#undef AddPrinter
#undef GetPrinter

class PluginDataMgr final : public IPluginDataMgr {
public:
    explicit PluginDataMgr(qk::os::IFileSystem& fileSystem = qk::os::RealFileSystem(),
                           qk::os::IProfile& profile = qk::os::RealProfile());
    ~PluginDataMgr();
    PluginDataMgr(const PluginDataMgr&) = delete;
    PluginDataMgr& operator=(const PluginDataMgr&) = delete;

    int32_t CreateBlock(uint32_t key, uint32_t version, uint32_t size) override;
    int32_t FindBlock(uint32_t key) override;
    int32_t WriteBlock(uint32_t key, uint32_t size, void* data) override;
    int32_t ReadBlock(uint32_t key, void* buffer, uint32_t length) override;
    int32_t RemoveBlock(int32_t index) override;
    void ClearBlocks() override;
    int32_t GetBlockCount() override;
    int32_t GetBlockSize(int32_t index) override;

    int32_t GetSaveFlag() override;
    void SetSaveFlag(int32_t flag) override;

    int32_t LoadPrinterList(const char16_t* dataFolder) override;
    int32_t SavePrinterList(const char16_t* dataFolder) override;
    int32_t AddPrinter(const char16_t* dataFolder, const char16_t* deviceName,
                       const char16_t* portName) override;
    int32_t GetSettingsPath(const char16_t* deviceName, const char16_t* portName, char16_t* buffer,
                            uint32_t bufferChars) override;
    int32_t HasSettingsFile(const char16_t* deviceName, const char16_t* portName) override;
    int32_t GetPrinterCount() override;
    int32_t GetPrinter(int32_t index, RegisteredPrinter* entry) override;

    int32_t LoadSettingsFile(const char16_t* path) override;
    int32_t SaveSettingsFile(const char16_t* modelName, const char16_t* path, uint32_t version1,
                             uint32_t version2) override;

    // Application-side conveniences (not part of the cross-module table).
    std::u16string SettingsPathOf(const std::u16string& deviceName, const std::u16string& portName);
    // The exit sequence's store steps: register the printer, and when it has a settings
    // path write its settings file; only when that was written, write the printer list too.
    // Answers SaveSettingsFile's result (0 when there is no path).
    int32_t RegisterAndSave(const std::u16string& dataFolder, const std::u16string& deviceName,
                            const std::u16string& portName, const std::u16string& modelName,
                            uint32_t version1, uint32_t version2);

    static constexpr const char16_t* kPrinterListFile = qk::store::PrinterList::kFileName;
    static constexpr const char16_t* kSettingsFileSuffix =
        qk::store::PrinterList::kSettingsFileSuffix;
    static constexpr int32_t kMaxPrinters = qk::store::PrinterList::kMaxPrinters;

private:
    using Guard = std::lock_guard<std::recursive_mutex>;

    qk::store::BlockStore m_blocks;
    qk::store::PrinterList m_printers;
    int32_t m_saveFlag = 0;
    // A settings read's worker writes blocks while the user-interface thread reads them, and
    // a plug-in's reader may create one: every operation holds the lock.
    mutable std::recursive_mutex m_lock;

    qk::os::IFileSystem& m_fileSystem;
};

#pragma pop_macro("GetPrinter")
#pragma pop_macro("AddPrinter")
