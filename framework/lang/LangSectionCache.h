// The sections of language files as the profile reader gave them, kept for as long as the
// file's stamp stays the same. Every window loads its own screen and the two common sections
// from the same file, and each read through the platform opens the file again; a file
// rewritten or replaced gets a new stamp and is read afresh. Shared by the tables of one
// module; safe to use from several threads.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include "platform/os/FileSystem.h"
#include "platform/os/Profile.h"

// The raw text of one section ("k=v\0...\0\0") or of a file's section list ("name\0...\0\0"),
// empty when missing, shared by the cache and the tables whose entries point into it.
class CLangSection {
public:
    CLangSection() = default;
    // Takes the buffer a read filled with `size` characters (the final zero included).
    CLangSection(std::unique_ptr<char16_t[]> chars, size_t size)
        : m_chars(std::move(chars)), m_size(size) {}
    CLangSection(const CLangSection&) = delete;
    CLangSection& operator=(const CLangSection&) = delete;

    std::u16string_view Text() const { return {m_chars.get(), m_size}; }

private:
    std::unique_ptr<char16_t[]> m_chars;
    size_t m_size = 0;
};
using LangSectionText = std::shared_ptr<const CLangSection>;

// The profile that the module's language tables read through unless given another: the
// platform's, behind a section cache (language files are only read, and one that every
// platform reads alike is read whole, once per stamp, instead of once per section).
qk::os::IProfile& LanguageFileProfile();

class CLangSectionCache {
public:
    static CLangSectionCache& Shared();

    // The raw text of a section kept for the file at this stamp, read through `reader`
    // (another reader may answer otherwise). False when nothing is kept for it.
    bool Find(const void* reader, const std::u16string& path, const qk::os::FileStamp& stamp,
              const std::u16string& section, LangSectionText& raw) const;
    // Keeps a section's raw text (empty: the section is missing or empty). A stamp other than
    // the one kept for the file drops everything kept for it first.
    void Keep(const void* reader, const std::u16string& path, const qk::os::FileStamp& stamp,
              const std::u16string& section, LangSectionText raw);
    // The same for the file's list of section names.
    bool FindNames(const void* reader, const std::u16string& path, const qk::os::FileStamp& stamp,
                   LangSectionText& names) const;
    void KeepNames(const void* reader, const std::u16string& path, const qk::os::FileStamp& stamp,
                   LangSectionText names);
    void Clear();

private:
    struct File {
        qk::os::FileStamp stamp;
        std::map<std::u16string, LangSectionText> sections;
        LangSectionText names;
    };
    using Key = std::pair<const void*, std::u16string>;

    // The file's record at this stamp, emptied when it was kept at another one.
    File& At(const void* reader, const std::u16string& path, const qk::os::FileStamp& stamp);
    const File* Kept(const void* reader, const std::u16string& path,
                     const qk::os::FileStamp& stamp) const;

    mutable std::mutex m_mutex;
    std::map<Key, File> m_files;
};
