// A profile that answers single values from whole sections: a reader that asks many keys of
// one file (the menu file) opens it once per section instead of once per key, and once in
// all when the file reads the same on every platform (ProfileImage): then the whole file is
// read at the first question, and sections and the list of sections are answered from it
// too. Otherwise each section is read once through the other profile, and the file's list of
// sections once as well (a section it does not list is not read). The file's stamp is checked
// at every answer, so a file changed in between is read afresh; whatever the cache cannot
// answer exactly as the platform does (a missing file, names with blanks or other than ASCII
// letters, a raw read that does not fit) is passed on. Writes pass straight through. Safe to
// share between threads.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>
#include "platform/os/FileSystem.h"
#include "platform/os/Profile.h"
#include "platform/os/ProfileImage.h"

namespace qk::os {

class SectionCacheProfile : public IProfile {
public:
    SectionCacheProfile(IProfile& inner, IFileSystem& files) : m_inner(inner), m_files(files) {}

    std::u16string GetString(const std::u16string& file, const std::u16string& section,
                             const std::u16string& key, const std::u16string& def) override;
    int GetInt(const std::u16string& file, const std::u16string& section, const std::u16string& key,
               int def) override;
    bool WriteString(const std::u16string& file, const std::u16string& section,
                     const std::u16string& key, const std::u16string& value) override;
    bool DeleteKey(const std::u16string& file, const std::u16string& section,
                   const std::u16string& key) override;
    bool DeleteSection(const std::u16string& file, const std::u16string& section) override;
    uint32_t GetSectionRaw(const std::u16string& file, const std::u16string& section,
                           char16_t* buffer, uint32_t size) override;
    uint32_t GetSectionNamesRaw(const std::u16string& file, char16_t* buffer,
                                uint32_t size) override;

private:
    struct Entry {
        std::u16string name; // upper case
        bool hasValue = false;
        std::u16string value;
    };
    using Section = std::vector<Entry>;
    struct File {
        FileStamp stamp;
        std::map<std::u16string, Section> sections; // by upper-case name
        bool namesRead = false;
        // Upper-case names of the file's sections, when every name could be compared: a
        // section not among them has no values, and costs no read.
        std::optional<std::set<std::u16string>> listed;
        bool imageRead = false;
        std::optional<ProfileImage> image; // the whole file, when it answers
    };

    // The entry of the key, null when the section has none; false when the answer must come
    // from the inner profile.
    bool Find(const std::u16string& file, const std::u16string& section, const std::u16string& key,
              const Entry*& entry);
    bool ReadSection(const std::u16string& file, const std::u16string& name, Section& section);
    // The entries of a section's lines ("k=v\0k2\0...").
    static void AddEntries(const std::u16string& raw, Section& section);
    // The file's record at its current stamp, emptied when the file changed; null when the
    // file cannot be stamped (then nothing of it is kept).
    File* Current(const std::u16string& file);
    // The whole file, read once per stamp; null when it must be read section by section.
    const ProfileImage* Image(const std::u16string& file, File& cached);
    // False when the file's list of sections shows that it has no section of the name.
    bool MayHaveSection(const std::u16string& file, File& cached, const std::u16string& upper);

    IProfile& m_inner;
    IFileSystem& m_files;
    std::mutex m_mutex;                     // held through every call
    std::map<std::u16string, File> m_cache; // by path as given
};

} // namespace qk::os
