#include "platform/os/SectionCacheProfile.h"
#include <memory>
#include "platform/os/ProfileValues.h"

namespace qk::os {
namespace {

// A whole section (or list of sections) bigger than this is not kept.
constexpr uint32_t kMaxSectionChars = 1u << 22;

// The platform's whole answer, in buffers growing until it fits; false when it never does.
template <typename Read> bool ReadWhole(Read read, std::u16string& raw) {
    for (uint32_t size = 4096;; size *= 2) {
        raw.assign(size, u'\0');
        const uint32_t copied = read(raw.data(), size);
        if (copied != size - 2) {
            raw.resize(copied);
            return true;
        }
        if (size >= kMaxSectionChars)
            return false;
    }
}

// A full path: the platform looks a name without one up in the Windows folder.
bool IsFullPath(const std::u16string& path) {
    const bool drive =
        path.size() >= 3 &&
        ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')) &&
        path[1] == u':' && (path[2] == u'\\' || path[2] == u'/');
    return drive || path.rfind(u"\\\\", 0) == 0;
}

} // namespace

bool SectionCacheProfile::ReadSection(const std::u16string& file, const std::u16string& name,
                                      Section& section) {
    std::u16string raw;
    if (!ReadWhole([&](char16_t* buffer,
                       uint32_t size) { return m_inner.GetSectionRaw(file, name, buffer, size); },
                   raw))
        return false;
    AddEntries(raw, section);
    return true;
}

void SectionCacheProfile::AddEntries(const std::u16string& raw, Section& section) {
    for (std::size_t pos = 0; pos < raw.size();) {
        std::size_t end = raw.find(u'\0', pos);
        if (end == std::u16string::npos)
            end = raw.size();
        const std::u16string line = raw.substr(pos, end - pos);
        pos = end + 1;
        Entry entry;
        const std::size_t equals = line.find(u'=');
        std::u16string upper;
        // Unnamed lines and names the cache cannot compare are never asked for by name here.
        if (!ProfileNameUpper(line.substr(0, equals), upper))
            continue;
        entry.name = upper;
        entry.hasValue = equals != std::u16string::npos;
        if (entry.hasValue)
            entry.value = line.substr(equals + 1);
        section.push_back(std::move(entry));
    }
}

SectionCacheProfile::File* SectionCacheProfile::Current(const std::u16string& file) {
    FileStamp stamp;
    if (!m_files.Stamp(file, stamp))
        return nullptr;
    File& cached = m_cache[file];
    if (!(cached.stamp == stamp)) {
        cached = File{};
        cached.stamp = stamp;
    }
    return &cached;
}

const ProfileImage* SectionCacheProfile::Image(const std::u16string& file, File& cached) {
    if (!cached.imageRead) {
        cached.imageRead = true;
        std::vector<uint8_t> bytes;
        ProfileImage image;
        if (IsFullPath(file) && m_files.ReadFile(file, bytes) && ReadProfileImage(bytes, image))
            cached.image = std::move(image);
    }
    return cached.image ? &*cached.image : nullptr;
}

bool SectionCacheProfile::MayHaveSection(const std::u16string& file, File& cached,
                                         const std::u16string& upper) {
    if (!cached.namesRead) {
        cached.namesRead = true;
        std::u16string raw;
        // A list too long to read: every section is read instead.
        if (!ReadWhole(
                [&](char16_t* buffer, uint32_t size) {
                    return m_inner.GetSectionNamesRaw(file, buffer, size);
                },
                raw))
            return true;
        std::set<std::u16string> names;
        for (std::size_t pos = 0; pos < raw.size();) {
            std::size_t end = raw.find(u'\0', pos);
            if (end == std::u16string::npos)
                end = raw.size();
            std::u16string name;
            // A name the cache cannot compare might be the one asked for.
            if (!ProfileNameUpper(raw.substr(pos, end - pos), name))
                return true;
            names.insert(std::move(name));
            pos = end + 1;
        }
        cached.listed = std::move(names);
    }
    return !cached.listed || cached.listed->count(upper) != 0;
}

bool SectionCacheProfile::Find(const std::u16string& file, const std::u16string& section,
                               const std::u16string& key, const Entry*& entry) {
    std::u16string sectionName, keyName;
    if (!ProfileNameUpper(section, sectionName) || !ProfileNameUpper(key, keyName))
        return false;
    File* current = Current(file);
    if (!current)
        return false;
    File& cached = *current;
    auto found = cached.sections.find(sectionName);
    if (found == cached.sections.end()) {
        Section read;
        if (const ProfileImage* image = Image(file, cached)) {
            if (const ProfileImage::Section* whole = image->Find(sectionName))
                AddEntries(whole->lines, read);
        } else if (MayHaveSection(file, cached, sectionName) && !ReadSection(file, section, read)) {
            return false;
        }
        found = cached.sections.emplace(sectionName, std::move(read)).first;
    }
    entry = nullptr;
    for (const Entry& candidate : found->second) {
        if (candidate.name == keyName) {
            entry = &candidate; // the first of the same name is the one read
            break;
        }
    }
    return true;
}

std::u16string SectionCacheProfile::GetString(const std::u16string& file,
                                              const std::u16string& section,
                                              const std::u16string& key,
                                              const std::u16string& def) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Entry* entry = nullptr;
    if (!Find(file, section, key, entry))
        return m_inner.GetString(file, section, key, def);
    const std::u16string raw = entry && entry->hasValue ? entry->value : TrimDefault(def);
    return CopyEntry(raw, raw.size() + 2);
}

int SectionCacheProfile::GetInt(const std::u16string& file, const std::u16string& section,
                                const std::u16string& key, int def) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Entry* entry = nullptr;
    if (!Find(file, section, key, entry))
        return m_inner.GetInt(file, section, key, def);
    // The platform reads the value into 30 characters first; an empty value is missing.
    const std::u16string text = entry && entry->hasValue ? CopyEntry(entry->value, 30) : u"";
    return text.empty() ? def : ParseProfileInt(text);
}

bool SectionCacheProfile::WriteString(const std::u16string& file, const std::u16string& section,
                                      const std::u16string& key, const std::u16string& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cache.erase(file);
    return m_inner.WriteString(file, section, key, value);
}

bool SectionCacheProfile::DeleteKey(const std::u16string& file, const std::u16string& section,
                                    const std::u16string& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cache.erase(file);
    return m_inner.DeleteKey(file, section, key);
}

bool SectionCacheProfile::DeleteSection(const std::u16string& file, const std::u16string& section) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cache.erase(file);
    return m_inner.DeleteSection(file, section);
}

uint32_t SectionCacheProfile::GetSectionRaw(const std::u16string& file,
                                            const std::u16string& section, char16_t* buffer,
                                            uint32_t size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::u16string upper;
    File* cached = ProfileNameUpper(section, upper) ? Current(file) : nullptr;
    const ProfileImage* image = cached ? Image(file, *cached) : nullptr;
    // Whether a section's listing shows its comments is the platform's to say.
    const ProfileImage::Section* whole = image && !image->comments ? image->Find(upper) : nullptr;
    uint32_t answer = 0;
    if (whole && CopyWholeListing(whole->lines, buffer, size, answer))
        return answer;
    return m_inner.GetSectionRaw(file, section, buffer, size);
}

uint32_t SectionCacheProfile::GetSectionNamesRaw(const std::u16string& file, char16_t* buffer,
                                                 uint32_t size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    File* cached = Current(file);
    const ProfileImage* image = cached ? Image(file, *cached) : nullptr;
    uint32_t answer = 0;
    if (image && CopyWholeListing(image->Names(), buffer, size, answer))
        return answer;
    return m_inner.GetSectionNamesRaw(file, buffer, size);
}

} // namespace qk::os
