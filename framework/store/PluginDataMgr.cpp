// The data store: blocks in memory, the registered printer list in "PrinterSetting.INI" and
// the per-printer settings files. No exception leaves an operation: plug-ins call them.
#include "framework/store/PluginDataMgr.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>
#include "framework/context/TextSlot.h"
#include "platform/os/PathPart.h"
#include "platform/os/SectionCacheProfile.h"

namespace {

constexpr uint32_t kHeaderSize = sizeof(PluginBlockHeader);
constexpr uint32_t kMaxBlockSize = 256u << 20;
constexpr const char* kApplicationName = "QK-R40 Utility";
constexpr const char* kMakerName = "TARROW";

constexpr std::u16string_view kInfoSection = u"INFO";
constexpr std::u16string_view kCountKey = u"COUNT";
constexpr std::u16string_view kPortPrefix = u"PORT";
constexpr std::u16string_view kDeviceKey = u"DeviceName";
constexpr std::u16string_view kPortKey = u"PortName";
constexpr std::u16string_view kDirKey = u"Dir";

// Profile files written by the store start as UTF-16 so that device and port names outside
// the ANSI code page survive.
constexpr uint8_t kUtf16Bom[] = {0xFF, 0xFE};

uint32_t ReadU32(const uint8_t* p) {
    uint32_t value;
    std::memcpy(&value, p, sizeof(value));
    return value;
}

void WriteU32(uint8_t* p, uint32_t value) {
    std::memcpy(p, &value, sizeof(value));
}

// Texts handed in are read no further than a slot: a longer text matches no entry and makes
// no path that fits.
std::u16string_view View(const char16_t* text) {
    return SlotView(text, kStoreTextChars);
}

// Copies into a 260-character slot, cutting what does not fit.
void CopySlot(char16_t (&slot)[kStoreTextChars], std::u16string_view text) {
    const size_t n = std::min<size_t>(text.size(), kStoreTextChars - 1);
    std::copy_n(text.data(), n, slot);
    std::fill(slot + n, slot + kStoreTextChars, u'\0');
}

std::u16string Decimal(int64_t value) {
    std::u16string digits;
    const bool negative = value < 0;
    uint64_t v = negative ? static_cast<uint64_t>(-value) : static_cast<uint64_t>(value);
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
        v /= 10;
    } while (v != 0);
    if (negative)
        digits.insert(digits.begin(), u'-');
    return digits;
}

// The profile reader drops blanks around a value and one pair of enclosing quotes: a value
// that would lose either is written inside double quotes, so that it reads back as it was.
std::u16string ProfileValue(const char16_t* slot) {
    const std::u16string value(View(slot));
    auto blank = [](char16_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; };
    const bool edgeBlanks = !value.empty() && (blank(value.front()) || blank(value.back()));
    const bool enclosed = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                          value.back() == value.front();
    return edgeBlanks || enclosed ? u"\"" + value + u"\"" : value;
}

std::u16string PortSection(int32_t index) {
    return std::u16string(kPortPrefix) + u"_" + Decimal(index);
}

std::u16string ListPath(std::u16string_view dataFolder) {
    return std::u16string(dataFolder) + u"\\" + PluginDataMgr::kPrinterListFile;
}

// The settings path of an entry; empty when the folder or file name would not be one plain
// part inside the data folder (names come from the printer list and from the printer) or
// when the path does not fit its slot. A missing folder name (a record without "Dir") keeps
// the file in the data folder itself.
std::u16string SettingsPathFor(std::u16string_view dataFolder, std::u16string_view folderName,
                               std::u16string_view deviceName) {
    std::u16string file(deviceName);
    file += PluginDataMgr::kSettingsFileSuffix;
    if (dataFolder.empty() || (!folderName.empty() && !qk::os::IsPlainPathPart(folderName)) ||
        !qk::os::IsPlainPathPart(file))
        return {};
    std::u16string path(dataFolder);
    path += u"\\";
    path += folderName;
    path += u"\\";
    path += file;
    if (path.size() >= kStoreTextChars)
        return {};
    return path;
}

// A value read into a slot must fit whole: a cut name would name another printer or file.
bool FitsSlot(std::u16string_view text) {
    return text.size() < kStoreTextChars;
}

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

} // namespace

PluginDataMgr::PluginDataMgr(qk::os::IFileSystem& fileSystem, qk::os::IProfile& profile)
    : m_fileSystem(fileSystem), m_profile(profile) {}

PluginDataMgr::~PluginDataMgr() = default;

// ---- blocks ----

int32_t PluginDataMgr::CreateBlock(uint32_t key, uint32_t version, uint32_t size) {
    Guard hold(m_lock);
    if (size <= kHeaderSize)
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

int32_t PluginDataMgr::FindBlock(uint32_t key) {
    Guard hold(m_lock);
    for (size_t i = 0; i < m_blocks.size(); ++i) {
        if (m_blocks[i].key == key)
            return static_cast<int32_t>(i);
    }
    return kStoreNotFound;
}

int32_t PluginDataMgr::WriteBlock(uint32_t key, uint32_t size, void* data) {
    Guard hold(m_lock);
    const int32_t index = FindBlock(key);
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

int32_t PluginDataMgr::ReadBlock(uint32_t key, void* buffer, uint32_t length) {
    Guard hold(m_lock);
    const int32_t index = FindBlock(key);
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

int32_t PluginDataMgr::RemoveBlock(int32_t index) {
    Guard hold(m_lock);
    if (index < 0 || static_cast<size_t>(index) >= m_blocks.size())
        return kStoreBadData;
    m_blocks.erase(m_blocks.begin() + index);
    return kStoreOk;
}

void PluginDataMgr::ClearBlocks() {
    Guard hold(m_lock);
    m_blocks.clear();
}

int32_t PluginDataMgr::GetBlockCount() {
    Guard hold(m_lock);
    return static_cast<int32_t>(m_blocks.size());
}

int32_t PluginDataMgr::GetBlockSize(int32_t index) {
    Guard hold(m_lock);
    if (index < 0 || static_cast<size_t>(index) >= m_blocks.size())
        return kStoreBadData;
    return static_cast<int32_t>(m_blocks[static_cast<size_t>(index)].size);
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

int32_t PluginDataMgr::FindPrinter(const char16_t* deviceName, const char16_t* portName) const {
    const std::u16string_view device = View(deviceName);
    const std::u16string_view port = View(portName);
    if (device.empty())
        return kStoreNotFound; // an empty device name matches no entry
    for (size_t i = 0; i < m_printers.size(); ++i) {
        if (device == SlotView(m_printers[i].deviceName) &&
            port == SlotView(m_printers[i].portName))
            return static_cast<int32_t>(i);
    }
    return kStoreNotFound;
}

int32_t PluginDataMgr::LoadPrinterList(const char16_t* dataFolder) {
    Guard hold(m_lock);
    try {
        m_printers.clear();
        m_nextFolder = 0;
        const std::u16string_view folder = View(dataFolder);
        if (folder.empty())
            return 0;
        const std::u16string file = ListPath(folder);
        if (!m_fileSystem.Exists(file))
            return 0;
        // Each entry's section is read once, not once per key: the platform's reader looks a
        // section up from the file's start at every call.
        qk::os::SectionCacheProfile profile(m_profile, m_fileSystem);
        int32_t count =
            profile.GetInt(file, std::u16string(kInfoSection), std::u16string(kCountKey), 0);
        count = std::clamp(count, 0, kMaxPrinters);
        m_nextFolder = count;
        m_printers.reserve(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            const std::u16string section = PortSection(i);
            const std::u16string device =
                profile.GetString(file, section, std::u16string(kDeviceKey), u"");
            const std::u16string port =
                profile.GetString(file, section, std::u16string(kPortKey), u"");
            const std::u16string dir =
                profile.GetString(file, section, std::u16string(kDirKey), u"");
            const std::u16string path = SettingsPathFor(folder, dir, device);
            // Another program may have written the list: a record whose names would leave
            // the data folder, or would have to be cut, is skipped.
            if (path.empty() || !FitsSlot(device) || !FitsSlot(port))
                continue;
            RegisteredPrinter entry{};
            CopySlot(entry.deviceName, device);
            CopySlot(entry.portName, port);
            CopySlot(entry.folderName, dir);
            CopySlot(entry.settingsPath, path);
            m_printers.push_back(entry);
        }
        return static_cast<int32_t>(m_printers.size());
    } catch (...) {
        m_printers.clear();
        return 0;
    }
}

int32_t PluginDataMgr::SavePrinterList(const char16_t* dataFolder) {
    Guard hold(m_lock);
    try {
        if (m_printers.empty())
            return kStoreOk;
        const std::u16string_view folder = View(dataFolder);
        if (folder.empty())
            return kStoreFileError;
        // The list is written into a copy beside it, which then replaces it whole: a write
        // that fails half-way (a full disk) leaves the earlier list as it was.
        const std::u16string file = ListPath(folder);
        const std::u16string staging = file + u".new";
        std::vector<uint8_t> bytes(std::begin(kUtf16Bom), std::end(kUtf16Bom));
        if (m_fileSystem.Exists(file) && !m_fileSystem.ReadFile(file, bytes))
            return kStoreFileError;
        if (!m_fileSystem.WriteFile(staging, bytes))
            return kStoreFileError;
        bool ok = WritePrinterEntries(staging);
        std::vector<uint8_t> written;
        ok = ok && m_fileSystem.ReadFile(staging, written) && m_fileSystem.WriteFile(file, written);
        m_fileSystem.DeleteFile(staging);
        return ok ? kStoreOk : kStoreFileError;
    } catch (...) {
        return kStoreNoMemory;
    }
}

bool PluginDataMgr::WritePrinterEntries(const std::u16string& file) {
    bool ok = m_profile.WriteString(file, std::u16string(kInfoSection), std::u16string(kCountKey),
                                    Decimal(static_cast<int64_t>(m_printers.size())));
    for (size_t i = 0; i < m_printers.size() && ok; ++i) {
        const RegisteredPrinter& entry = m_printers[i];
        const std::u16string section = PortSection(static_cast<int32_t>(i));
        ok = m_profile.WriteString(file, section, std::u16string(kDeviceKey),
                                   ProfileValue(entry.deviceName)) &&
             m_profile.WriteString(file, section, std::u16string(kPortKey),
                                   ProfileValue(entry.portName)) &&
             m_profile.WriteString(file, section, std::u16string(kDirKey),
                                   ProfileValue(entry.folderName));
    }
    return ok;
}

int32_t PluginDataMgr::AddPrinter(const char16_t* dataFolder, const char16_t* deviceName,
                                  const char16_t* portName) {
    Guard hold(m_lock);
    if (dataFolder == nullptr || deviceName == nullptr || portName == nullptr)
        return kStoreNullPointer;
    const int32_t found = FindPrinter(deviceName, portName);
    if (found >= 0)
        return found;
    try {
        const std::u16string_view device = View(deviceName);
        const std::u16string_view port = View(portName);
        const std::u16string folderName = FreeFolderName();
        // The device name is the printer's answer: it must make a file name inside the
        // entry's folder, and the whole path must fit.
        const std::u16string path = SettingsPathFor(View(dataFolder), folderName, device);
        if (path.empty() || !FitsSlot(device) || !FitsSlot(port))
            return kStoreBadData;
        RegisteredPrinter entry{};
        CopySlot(entry.deviceName, device);
        CopySlot(entry.portName, port);
        CopySlot(entry.folderName, folderName);
        CopySlot(entry.settingsPath, path);
        m_printers.push_back(entry);
        ++m_nextFolder;
        return static_cast<int32_t>(m_printers.size() - 1);
    } catch (...) {
        return kStoreNoMemory;
    }
}

// Entries are never removed, so numbering from the larger of the list's count and the
// entries held gives every new entry a folder of its own; a skipped record's folder number
// and a "Dir" that names another number are passed over.
std::u16string PluginDataMgr::FreeFolderName() {
    int32_t number = std::max(m_nextFolder, static_cast<int32_t>(m_printers.size()));
    for (;; ++number) {
        const std::u16string name = PortSection(number);
        const bool taken =
            std::any_of(m_printers.begin(), m_printers.end(), [&](const RegisteredPrinter& entry) {
                return SlotView(entry.folderName) == name;
            });
        if (!taken) {
            m_nextFolder = number;
            return name;
        }
    }
}

int32_t PluginDataMgr::GetSettingsPath(const char16_t* deviceName, const char16_t* portName,
                                       char16_t* buffer, uint32_t bufferChars) {
    Guard hold(m_lock);
    if (buffer == nullptr || bufferChars == 0)
        return kStoreBufferTooSmall;
    buffer[0] = u'\0';
    const int32_t index = FindPrinter(deviceName, portName);
    if (index < 0)
        return 0;
    const std::u16string_view path = SlotView(m_printers[static_cast<size_t>(index)].settingsPath);
    if (path.size() >= bufferChars)
        return kStoreBufferTooSmall;
    std::copy(path.begin(), path.end(), buffer);
    buffer[path.size()] = u'\0';
    return static_cast<int32_t>(path.size());
}

int32_t PluginDataMgr::HasSettingsFile(const char16_t* deviceName, const char16_t* portName) {
    Guard hold(m_lock);
    const int32_t index = FindPrinter(deviceName, portName);
    if (index < 0)
        return 0;
    try {
        return m_fileSystem.Exists(m_printers[static_cast<size_t>(index)].settingsPath) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int32_t PluginDataMgr::GetPrinterCount() {
    Guard hold(m_lock);
    return static_cast<int32_t>(m_printers.size());
}

int32_t PluginDataMgr::GetPrinter(int32_t index, RegisteredPrinter* entry) {
    Guard hold(m_lock);
    if (entry == nullptr)
        return kStoreNullPointer;
    if (index < 0 || static_cast<size_t>(index) >= m_printers.size())
        return kStoreBadData;
    *entry = m_printers[static_cast<size_t>(index)];
    return kStoreOk;
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
        const std::u16string_view name = View(path);
        std::vector<uint8_t> data;
        if (name.empty() || !m_fileSystem.Exists(std::u16string(name)) ||
            !m_fileSystem.ReadFile(std::u16string(name), data))
            result = kStoreFileMissing;
        else
            result = LoadSettingsData(data);
    } catch (...) {
        result = kStoreNoMemory;
    }
    if (result != kStoreOk)
        ClearBlocks(); // a damaged file leaves no partial data
    return result;
}

// Every size is checked against the bytes present before anything is allocated, so a damaged
// count or size field ends the load instead of reading past the data or allocating gigabytes.
int32_t PluginDataMgr::LoadSettingsData(const std::vector<uint8_t>& data) {
    if (data.size() < sizeof(SettingsFileHeader))
        return kStoreFileError;
    if (ReadU32(data.data()) != kSettingsFileMagic)
        return kStoreBadData;
    const uint32_t count = ReadU32(data.data() + offsetof(SettingsFileHeader, blockCount));

    size_t pos = sizeof(SettingsFileHeader);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t left = data.size() - pos;
        if (left < kHeaderSize)
            return kStoreFileError;
        const uint8_t* header = data.data() + pos;
        const uint32_t size = ReadU32(header + offsetof(PluginBlockHeader, size));
        if (ReadU32(header) != kPluginBlockMagic || size <= kHeaderSize)
            return kStoreBadData;
        if (size > left)
            return kStoreFileError; // payload shorter than the size field says
        const int32_t created =
            CreateBlock(ReadU32(header + offsetof(PluginBlockHeader, key)),
                        ReadU32(header + offsetof(PluginBlockHeader, version)), size);
        if (created != kStoreOk)
            return created;
        // Written into the block just made: a key that is already present must not send the
        // bytes to the earlier block.
        Block& block = m_blocks.back();
        std::memcpy(block.content.data(), header, size);
        block.size = size;
        pos += size;
    }
    return kStoreOk;
}

int32_t PluginDataMgr::SaveSettingsFile(const char16_t* modelName, const char16_t* path,
                                        uint32_t version1, uint32_t version2) {
    Guard hold(m_lock);
    if (m_saveFlag != 1)
        return 0;
    const std::u16string_view target = View(path);
    if (target.empty())
        return 0;
    std::u16string file(target);
    try {
        const size_t slash = file.find_last_of(u"\\/");
        if (slash != std::u16string::npos && slash > 0) {
            const std::u16string folder = file.substr(0, slash);
            if (!m_fileSystem.IsDirectory(folder) && !m_fileSystem.CreateDirectory(folder))
                return 0;
        }

        // Only blocks that a load can take back are written, and the count says how many
        // there are: a block never written (size 0) or shorter than its header would
        // otherwise make the whole file unreadable.
        uint32_t written = 0;
        size_t total = sizeof(SettingsFileHeader);
        for (const Block& block : m_blocks) {
            if (block.size > kHeaderSize) {
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
        CopyAscii(header.modelName, View(modelName));
        std::memcpy(bytes.data(), &header, sizeof(header));
        size_t pos = sizeof(header);
        for (const Block& block : m_blocks) {
            if (block.size <= kHeaderSize)
                continue;
            uint8_t* out = bytes.data() + pos;
            std::memcpy(out, block.content.data(), block.size);
            // The loader insists on the magic and a size field that matches the bytes.
            WriteU32(out, kPluginBlockMagic);
            WriteU32(out + offsetof(PluginBlockHeader, size), block.size);
            pos += block.size;
        }
        // The write replaces the file whole or not at all: a failure keeps the earlier file.
        if (m_fileSystem.WriteFile(file, bytes))
            return 1;
    } catch (...) {
    }
    return 0;
}
