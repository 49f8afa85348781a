// The data store: blocks in memory, the registered printer list in "PrinterSetting.INI" and
// the per-printer settings files. No exception leaves an operation: plug-ins call them.
#include "framework/store/PluginDataMgr.h"

#include "framework/store/SettingsFileFormat.h"
#include "framework/store/StoreBytes.h"

using qk::store::StoreText;

PluginDataMgr::PluginDataMgr(qk::os::IFileSystem& fileSystem, qk::os::IProfile& profile)
    : m_printers(fileSystem, profile), m_fileSystem(fileSystem) {}

PluginDataMgr::~PluginDataMgr() = default;

// ---- blocks ----

int32_t PluginDataMgr::CreateBlock(uint32_t key, uint32_t version, uint32_t size) {
    Guard hold(m_lock);
    return m_blocks.Create(key, version, size);
}

int32_t PluginDataMgr::FindBlock(uint32_t key) {
    Guard hold(m_lock);
    return m_blocks.Find(key);
}

int32_t PluginDataMgr::WriteBlock(uint32_t key, uint32_t size, void* data) {
    Guard hold(m_lock);
    return m_blocks.Write(key, size, data);
}

int32_t PluginDataMgr::ReadBlock(uint32_t key, void* buffer, uint32_t length) {
    Guard hold(m_lock);
    return m_blocks.Read(key, buffer, length);
}

int32_t PluginDataMgr::RemoveBlock(int32_t index) {
    Guard hold(m_lock);
    return m_blocks.Remove(index);
}

void PluginDataMgr::ClearBlocks() {
    Guard hold(m_lock);
    m_blocks.Clear();
}

int32_t PluginDataMgr::GetBlockCount() {
    Guard hold(m_lock);
    return m_blocks.Count();
}

int32_t PluginDataMgr::GetBlockSize(int32_t index) {
    Guard hold(m_lock);
    return m_blocks.Size(index);
}

int32_t PluginDataMgr::GetSaveFlag() {
    Guard hold(m_lock);
    return m_saveFlag;
}

void PluginDataMgr::SetSaveFlag(int32_t flag) {
    Guard hold(m_lock);
    m_saveFlag = flag;
}

// ---- registered printers ----

int32_t PluginDataMgr::LoadPrinterList(const char16_t* dataFolder) {
    Guard hold(m_lock);
    return m_printers.Load(dataFolder);
}

int32_t PluginDataMgr::SavePrinterList(const char16_t* dataFolder) {
    Guard hold(m_lock);
    return m_printers.Save(dataFolder);
}

int32_t PluginDataMgr::AddPrinter(const char16_t* dataFolder, const char16_t* deviceName,
                                  const char16_t* portName) {
    Guard hold(m_lock);
    return m_printers.Add(dataFolder, deviceName, portName);
}

int32_t PluginDataMgr::GetSettingsPath(const char16_t* deviceName, const char16_t* portName,
                                       char16_t* buffer, uint32_t bufferChars) {
    Guard hold(m_lock);
    return m_printers.SettingsPath(deviceName, portName, buffer, bufferChars);
}

int32_t PluginDataMgr::HasSettingsFile(const char16_t* deviceName, const char16_t* portName) {
    Guard hold(m_lock);
    return m_printers.HasSettingsFile(deviceName, portName);
}

int32_t PluginDataMgr::GetPrinterCount() {
    Guard hold(m_lock);
    return m_printers.Count();
}

int32_t PluginDataMgr::GetPrinter(int32_t index, RegisteredPrinter* entry) {
    Guard hold(m_lock);
    return m_printers.Get(index, entry);
}

std::u16string PluginDataMgr::SettingsPathOf(const std::u16string& deviceName,
                                             const std::u16string& portName) {
    char16_t path[kStoreTextChars];
    if (GetSettingsPath(deviceName.c_str(), portName.c_str(), path, kStoreTextChars) <= 0)
        return {};
    return path;
}

int32_t PluginDataMgr::RegisterAndSave(const std::u16string& dataFolder,
                                       const std::u16string& deviceName,
                                       const std::u16string& portName,
                                       const std::u16string& modelName, uint32_t version1,
                                       uint32_t version2) {
    Guard hold(m_lock);
    AddPrinter(dataFolder.c_str(), deviceName.c_str(), portName.c_str());
    const std::u16string path = SettingsPathOf(deviceName, portName);
    if (path.empty())
        return 0;
    const int32_t written = SaveSettingsFile(modelName.c_str(), path.c_str(), version1, version2);
    if (written == 1)
        SavePrinterList(dataFolder.c_str());
    return written;
}

// ---- settings files ----

int32_t PluginDataMgr::LoadSettingsFile(const char16_t* path) {
    Guard hold(m_lock);
    int32_t result;
    try {
        const std::u16string_view name = StoreText(path);
        std::vector<uint8_t> data;
        if (name.empty() || !m_fileSystem.Exists(std::u16string(name)) ||
            !m_fileSystem.ReadFile(std::u16string(name), data))
            result = kStoreFileMissing;
        else
            result = qk::store::ReadSettingsFile(data, m_blocks);
    } catch (...) {
        result = kStoreNoMemory;
    }
    if (result != kStoreOk)
        ClearBlocks(); // a damaged file leaves no partial data
    return result;
}

int32_t PluginDataMgr::SaveSettingsFile(const char16_t* modelName, const char16_t* path,
                                        uint32_t version1, uint32_t version2) {
    Guard hold(m_lock);
    if (m_saveFlag != 1)
        return 0;
    const std::u16string_view target = StoreText(path);
    if (target.empty())
        return 0;
    try {
        const std::u16string file(target);
        const size_t slash = file.find_last_of(u"\\/");
        if (slash != std::u16string::npos && slash > 0) {
            const std::u16string folder = file.substr(0, slash);
            if (!m_fileSystem.IsDirectory(folder) && !m_fileSystem.CreateDirectory(folder))
                return 0;
        }
        const std::vector<uint8_t> bytes =
            qk::store::SettingsFileBytes(m_blocks, StoreText(modelName), version1, version2);
        // The write replaces the file whole or not at all: a failure keeps the earlier file.
        if (m_fileSystem.WriteFile(file, bytes))
            return 1;
    } catch (...) {
    }
    return 0;
}
