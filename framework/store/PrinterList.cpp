// The registered printer list. No exception leaves an operation: plug-ins call them.
#include "framework/store/PrinterList.h"

#include <algorithm>
#include <string_view>
#include "framework/lang/FilledText.h"
#include "framework/store/StoreBytes.h"
#include "platform/os/PathPart.h"
#include "platform/os/FileImageProfile.h"

namespace qk::store {
namespace {

constexpr std::u16string_view kInfoSection = u"INFO";
constexpr std::u16string_view kCountKey = u"COUNT";
constexpr std::u16string_view kPortPrefix = u"PORT";
constexpr std::u16string_view kDeviceKey = u"DeviceName";
constexpr std::u16string_view kPortKey = u"PortName";
constexpr std::u16string_view kDirKey = u"Dir";

// Profile files written by the store start as UTF-16 so that device and port names outside
// the ANSI code page survive.
constexpr uint8_t kUtf16Bom[] = {0xFF, 0xFE};

// Copies into a 260-character slot, cutting what does not fit.
void CopySlot(char16_t (&slot)[kStoreTextChars], std::u16string_view text) {
    const size_t n = std::min<size_t>(text.size(), kStoreTextChars - 1);
    std::copy_n(text.data(), n, slot);
    std::fill(slot + n, slot + kStoreTextChars, u'\0');
}

// The profile reader drops blanks around a value and one pair of enclosing quotes: a value
// that would lose either is written inside double quotes, so that it reads back as it was.
std::u16string ProfileValue(const char16_t* slot) {
    const std::u16string value(StoreText(slot));
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
    return std::u16string(dataFolder) + u"\\" + PrinterList::kFileName;
}

// The settings path of an entry; empty when the folder or file name would not be one plain
// part inside the data folder (names come from the printer list and from the printer) or
// when the path does not fit its slot. A missing folder name (a record without "Dir") keeps
// the file in the data folder itself.
std::u16string SettingsPathFor(std::u16string_view dataFolder, std::u16string_view folderName,
                               std::u16string_view deviceName) {
    std::u16string file(deviceName);
    file += PrinterList::kSettingsFileSuffix;
    if (dataFolder.empty() || (!folderName.empty() && !os::IsPlainPathPart(folderName)) ||
        !os::IsPlainPathPart(file))
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

RegisteredPrinter Entry(std::u16string_view device, std::u16string_view port,
                        std::u16string_view folder, std::u16string_view path) {
    RegisteredPrinter entry{};
    CopySlot(entry.deviceName, device);
    CopySlot(entry.portName, port);
    CopySlot(entry.folderName, folder);
    CopySlot(entry.settingsPath, path);
    return entry;
}

} // namespace

int32_t PrinterList::Find(const char16_t* deviceName, const char16_t* portName) const {
    const std::u16string_view device = StoreText(deviceName);
    const std::u16string_view port = StoreText(portName);
    if (device.empty())
        return kStoreNotFound; // an empty device name matches no entry
    for (size_t i = 0; i < m_printers.size(); ++i) {
        if (device == SlotView(m_printers[i].deviceName) &&
            port == SlotView(m_printers[i].portName))
            return static_cast<int32_t>(i);
    }
    return kStoreNotFound;
}

int32_t PrinterList::Load(const char16_t* dataFolder) {
    try {
        m_printers.clear();
        m_nextFolder = 0;
        const std::u16string_view folder = StoreText(dataFolder);
        if (folder.empty())
            return 0;
        const std::u16string file = ListPath(folder);
        if (!m_fileSystem.Exists(file))
            return 0;
        // The file is read once, not once per key: the platform's reader looks a section up
        // from the file's start at every call.
        os::FileImageProfile profile(m_profile, m_fileSystem);
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
            m_printers.push_back(Entry(device, port, dir, path));
        }
        return static_cast<int32_t>(m_printers.size());
    } catch (...) {
        m_printers.clear();
        return 0;
    }
}

int32_t PrinterList::Save(const char16_t* dataFolder) {
    try {
        if (m_printers.empty())
            return kStoreOk;
        const std::u16string_view folder = StoreText(dataFolder);
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
        // Written in one write: the platform's writer rewrites the whole file at every key.
        os::FileImageProfile profile(m_profile, m_fileSystem);
        bool ok = WriteEntries(profile, staging) && profile.Commit();
        std::vector<uint8_t> written;
        ok = ok && m_fileSystem.ReadFile(staging, written) && m_fileSystem.WriteFile(file, written);
        m_fileSystem.DeleteFile(staging);
        return ok ? kStoreOk : kStoreFileError;
    } catch (...) {
        return kStoreNoMemory;
    }
}

bool PrinterList::WriteEntries(os::IProfile& profile, const std::u16string& file) {
    bool ok = profile.WriteString(file, std::u16string(kInfoSection), std::u16string(kCountKey),
                                  Decimal(static_cast<int64_t>(m_printers.size())));
    for (size_t i = 0; i < m_printers.size() && ok; ++i) {
        const RegisteredPrinter& entry = m_printers[i];
        const std::u16string section = PortSection(static_cast<int32_t>(i));
        ok = profile.WriteString(file, section, std::u16string(kDeviceKey),
                                 ProfileValue(entry.deviceName)) &&
             profile.WriteString(file, section, std::u16string(kPortKey),
                                 ProfileValue(entry.portName)) &&
             profile.WriteString(file, section, std::u16string(kDirKey),
                                 ProfileValue(entry.folderName));
    }
    return ok;
}

int32_t PrinterList::Add(const char16_t* dataFolder, const char16_t* deviceName,
                         const char16_t* portName) {
    if (dataFolder == nullptr || deviceName == nullptr || portName == nullptr)
        return kStoreNullPointer;
    const int32_t found = Find(deviceName, portName);
    if (found >= 0)
        return found;
    try {
        const std::u16string_view device = StoreText(deviceName);
        const std::u16string_view port = StoreText(portName);
        const std::u16string folderName = FreeFolderName();
        // The device name is the printer's answer: it must make a file name inside the
        // entry's folder, and the whole path must fit.
        const std::u16string path = SettingsPathFor(StoreText(dataFolder), folderName, device);
        if (path.empty() || !FitsSlot(device) || !FitsSlot(port))
            return kStoreBadData;
        m_printers.push_back(Entry(device, port, folderName, path));
        ++m_nextFolder;
        return static_cast<int32_t>(m_printers.size() - 1);
    } catch (...) {
        return kStoreNoMemory;
    }
}

// Entries are never removed, so numbering from the larger of the list's count and the
// entries held gives every new entry a folder of its own; a skipped record's folder number
// and a "Dir" that names another number are passed over.
std::u16string PrinterList::FreeFolderName() {
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

int32_t PrinterList::SettingsPath(const char16_t* deviceName, const char16_t* portName,
                                  char16_t* buffer, uint32_t bufferChars) const {
    if (buffer == nullptr || bufferChars == 0)
        return kStoreBufferTooSmall;
    buffer[0] = u'\0';
    const int32_t index = Find(deviceName, portName);
    if (index < 0)
        return 0;
    const std::u16string_view path = SlotView(m_printers[static_cast<size_t>(index)].settingsPath);
    if (path.size() >= bufferChars)
        return kStoreBufferTooSmall;
    std::copy(path.begin(), path.end(), buffer);
    buffer[path.size()] = u'\0';
    return static_cast<int32_t>(path.size());
}

int32_t PrinterList::HasSettingsFile(const char16_t* deviceName, const char16_t* portName) const {
    const int32_t index = Find(deviceName, portName);
    if (index < 0)
        return 0;
    try {
        return m_fileSystem.Exists(m_printers[static_cast<size_t>(index)].settingsPath) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int32_t PrinterList::Get(int32_t index, RegisteredPrinter* entry) const {
    if (entry == nullptr)
        return kStoreNullPointer;
    if (index < 0 || static_cast<size_t>(index) >= m_printers.size())
        return kStoreBadData;
    *entry = m_printers[static_cast<size_t>(index)];
    return kStoreOk;
}

} // namespace qk::store
