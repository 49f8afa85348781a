#include "framework/lang/LangSectionCache.h"

CLangSectionCache& CLangSectionCache::Shared() {
    static CLangSectionCache cache;
    return cache;
}

const CLangSectionCache::File* CLangSectionCache::Kept(const void* reader,
                                                       const std::u16string& path,
                                                       const qk::os::FileStamp& stamp) const {
    const auto file = m_files.find(Key{reader, path});
    if (file == m_files.end() || !(file->second.stamp == stamp))
        return nullptr;
    return &file->second;
}

CLangSectionCache::File& CLangSectionCache::At(const void* reader, const std::u16string& path,
                                               const qk::os::FileStamp& stamp) {
    File& file = m_files[Key{reader, path}];
    if (!(file.stamp == stamp)) {
        file.sections.clear();
        file.names.reset();
        file.stamp = stamp;
    }
    return file;
}

bool CLangSectionCache::Find(const void* reader, const std::u16string& path,
                             const qk::os::FileStamp& stamp, const std::u16string& section,
                             LangSectionText& raw) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const File* file = Kept(reader, path, stamp);
    if (!file)
        return false;
    const auto found = file->sections.find(section);
    if (found == file->sections.end())
        return false;
    raw = found->second;
    return true;
}

void CLangSectionCache::Keep(const void* reader, const std::u16string& path,
                             const qk::os::FileStamp& stamp, const std::u16string& section,
                             LangSectionText raw) {
    std::lock_guard<std::mutex> lock(m_mutex);
    At(reader, path, stamp).sections[section] = std::move(raw);
}

bool CLangSectionCache::FindNames(const void* reader, const std::u16string& path,
                                  const qk::os::FileStamp& stamp, LangSectionText& names) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const File* file = Kept(reader, path, stamp);
    if (!file || !file->names)
        return false;
    names = file->names;
    return true;
}

void CLangSectionCache::KeepNames(const void* reader, const std::u16string& path,
                                  const qk::os::FileStamp& stamp, LangSectionText names) {
    std::lock_guard<std::mutex> lock(m_mutex);
    At(reader, path, stamp).names = std::move(names);
}

void CLangSectionCache::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_files.clear();
}
