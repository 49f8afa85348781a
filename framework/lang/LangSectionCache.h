// The sections of language files as the profile reader gave them, kept for as long as the
// file's stamp stays the same. Every window loads its own screen and the two common sections
// from the same file, and each read through the platform opens the file again; a file
// rewritten or replaced gets a new stamp and is read afresh. Shared by the tables of one
// module; safe to use from several threads.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include "platform/os/FileSystem.h"

class CLangSectionCache {
public:
    static CLangSectionCache& Shared();

    // The raw text of a section kept for the file at this stamp, read through `reader`
    // (another reader may answer otherwise). False when nothing is kept for it.
    bool Find(const void* reader, const std::u16string& path, const qk::os::FileStamp& stamp,
              const std::u16string& section, std::u16string& raw) const;
    // Keeps a section's raw text (empty: the section is missing or empty). A stamp other than
    // the one kept for the file drops everything kept for it first.
    void Keep(const void* reader, const std::u16string& path, const qk::os::FileStamp& stamp,
              const std::u16string& section, const std::u16string& raw);
    void Clear();

private:
    struct File {
        qk::os::FileStamp stamp;
        std::map<std::u16string, std::u16string> sections;
    };
    using Key = std::pair<const void*, std::u16string>;

    mutable std::mutex m_mutex;
    std::map<Key, File> m_files;
};
