// A profile for one pass that reads or writes many keys of one file (the printer list): the
// platform's functions look every section up from the file's start and rewrite the whole
// file at every write, which makes such a pass quadratic in the file's size. This one reads
// the file once, answers from that image and changes it, and Commit writes it back in one
// write. Changes others make to the file during the pass are not seen.
//
// What the image cannot answer exactly as the platform does goes to the inner profile, after
// the changes so far are written: a file that is missing or not UTF-16 with its byte-order
// mark, a file holding NULs or not laid out as the image would write it back, names with
// blanks at their ends or other than ASCII, values with line breaks or NULs, and the raw,
// delete and section listing calls.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>
#include "platform/os/FileSystem.h"
#include "platform/os/Profile.h"

namespace qk::os {

class FileImageProfile : public IProfile {
public:
    FileImageProfile(IProfile& inner, IFileSystem& files) : m_inner(inner), m_files(files) {}
    FileImageProfile(const FileImageProfile&) = delete;
    FileImageProfile& operator=(const FileImageProfile&) = delete;

    // Writes the changes made since the last commit in one write of the whole file. False
    // when the file could not be written: the changes are dropped, and the writes after
    // them answer false until the next commit.
    bool Commit();

    std::u16string GetString(const std::u16string& file, const std::u16string& section,
                             const std::u16string& key, const std::u16string& def) override;
    int GetInt(const std::u16string& file, const std::u16string& section, const std::u16string& key,
               int def) override;
    // Answers true when the change is held for the commit.
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
    struct Line {
        std::u16string name; // as written, without the blanks around it
        bool hasValue = false;
        std::u16string value;
        std::u16string upper; // of the name; empty when it cannot be asked for
    };
    struct Section {
        std::u16string name; // the first section holds the lines before any header: ""
        std::vector<Line> lines;
    };

    // True when the image of `file` answers; false when the call must go to the inner
    // profile (a commit of another file's image that failed also answers false).
    bool Open(const std::u16string& file);
    bool Parse(const std::u16string& text);
    std::vector<uint8_t> Serialize() const;
    // The first line of that name in the first section of that name, or null.
    const Line* Find(const std::u16string& section, const std::u16string& key) const;
    // Writes what is held; false when that or an earlier write since the last commit failed.
    bool Flush();
    // Flush, and forget the image of `file`: the inner profile is about to change the file.
    bool Forget(const std::u16string& file);

    IProfile& m_inner;
    IFileSystem& m_files;
    std::u16string m_path;
    bool m_open = false;   // an image of m_path is held
    bool m_usable = false; // ... and it answers (else the inner profile does)
    bool m_dirty = false;
    bool m_failed = false; // the last commit failed
    std::vector<Section> m_sections;
    std::map<std::u16string, size_t> m_firstSection; // upper-case name to its first section
};

} // namespace qk::os
