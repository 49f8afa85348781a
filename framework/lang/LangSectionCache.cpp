#include "framework/lang/LangSectionCache.h"

CLangSectionCache& CLangSectionCache::Shared() {
    static CLangSectionCache cache;
    return cache;
}

bool CLangSectionCache::Find(const void* reader, const std::u16string& path,
                             const qk::os::FileStamp& stamp, const std::u16string& section,
                             std::u16string& raw) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto file = m_files.find(Key{reader, path});
    if (file == m_files.end() || !(file->second.stamp == stamp))
        return false;
    const auto found = file->second.sections.find(section);
    if (found == file->second.sections.end())
        return false;
    raw = found->second;
    return true;
}

void CLangSectionCache::Keep(const void* reader, const std::u16string& path,
                             const qk::os::FileStamp& stamp, const std::u16string& section,
                             const std::u16string& raw) {
    std::lock_guard<std::mutex> lock(m_mutex);
    File& file = m_files[Key{reader, path}];
    if (!(file.stamp == stamp)) {
        file.sections.clear();
        file.stamp = stamp;
    }
    file.sections[section] = raw;
}

void CLangSectionCache::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_files.clear();
}
