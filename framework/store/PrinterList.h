// The registered printers: "PrinterSetting.INI" in the data folder, one section per printer
// with its device and port names and the folder of its settings file. Holds no lock: its
// owner (PluginDataMgr) does. Portable.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "framework/store/PluginDataMgrApi.h"
#include "platform/os/FileSystem.h"
#include "platform/os/Profile.h"

namespace qk::store {

class PrinterList {
public:
    static constexpr const char16_t* kFileName = u"PrinterSetting.INI";
    static constexpr const char16_t* kSettingsFileSuffix = u"_Setting.DAT";
    // A damaged COUNT cannot make start-up read more entries than this.
    static constexpr int32_t kMaxPrinters = 1000;

    PrinterList(os::IFileSystem& fileSystem, os::IProfile& profile)
        : m_fileSystem(fileSystem), m_profile(profile) {}

    // The operations of IPluginDataMgr, with its result codes.
    int32_t Load(const char16_t* dataFolder);
    int32_t Save(const char16_t* dataFolder);
    int32_t Add(const char16_t* dataFolder, const char16_t* deviceName, const char16_t* portName);
    int32_t SettingsPath(const char16_t* deviceName, const char16_t* portName, char16_t* buffer,
                         uint32_t bufferChars) const;
    int32_t HasSettingsFile(const char16_t* deviceName, const char16_t* portName) const;
    int32_t Count() const { return static_cast<int32_t>(m_printers.size()); }
    int32_t Get(int32_t index, RegisteredPrinter* entry) const;

private:
    int32_t Find(const char16_t* deviceName, const char16_t* portName) const;
    std::u16string FreeFolderName();
    bool WriteEntries(os::IProfile& profile, const std::u16string& file);

    std::vector<RegisteredPrinter> m_printers;
    int32_t m_nextFolder = 0; // the folder number that a new entry tries first
    os::IFileSystem& m_fileSystem;
    os::IProfile& m_profile;
};

} // namespace qk::store
