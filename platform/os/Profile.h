// Private-profile (INI) access behind a seam. The real implementation calls the platform's
// private-profile functions; tests use an in-memory fake that keeps the same buffer rules.
//
// Rules both implementations keep (pinned by the contract tests under tests/platform/os):
// - section and key names compare case-insensitively; the first of two sections with the
//   same name is the one read;
// - a file starting with a UTF-16LE byte-order mark is read as UTF-16, one with the UTF-8
//   mark as UTF-8, any other as the ANSI code page; a rewrite keeps the file's encoding and
//   a new file is written in the ANSI code page;
// - blanks around names and values are dropped, and a value enclosed in a pair of the same
//   quote characters (' or ") loses them when read as a single value;
// - lines starting with ';' are comments and never appear in a section listing.
#pragma once
#include <cstdint>
#include <string>

namespace qk::os {

class IProfile {
public:
    virtual ~IProfile() = default;

    // Value of [section] key, or def when the key (or file) is missing. The whole value is
    // returned, however long; callers that keep a fixed slot cut it themselves.
    virtual std::u16string GetString(const std::u16string& file, const std::u16string& section,
                                     const std::u16string& key, const std::u16string& def) = 0;
    // Leading number of the value (optional blanks and sign, decimal, or hexadecimal after
    // "0x"), def when the key is missing or its value empty; a value without digits reads 0.
    virtual int GetInt(const std::u16string& file, const std::u16string& section,
                       const std::u16string& key, int def) = 0;
    // Writes (creating file and section as needed). False when the file cannot be written
    // (missing folder, read-only file).
    virtual bool WriteString(const std::u16string& file, const std::u16string& section,
                             const std::u16string& key, const std::u16string& value) = 0;
    // Removes one key; true also when there was nothing to remove (no file is created then).
    virtual bool DeleteKey(const std::u16string& file, const std::u16string& section,
                           const std::u16string& key) = 0;
    // Removes the first section of that name with its keys; true also when it was missing.
    virtual bool DeleteSection(const std::u16string& file, const std::u16string& section) = 0;

    // The whole section as "key=value\0...\0\0" into a caller-sized buffer, with the
    // platform's answer: characters copied without the final NUL, and size - 2 when the
    // buffer was too small or fitted exactly (the last string truncated, the list still
    // ending in two NULs). A missing section (or file) answers 0 with the buffer starting
    // with two NULs; an empty section answers 0 with one NUL. Lines without '=' appear as
    // the bare name. size must be at least 3; smaller sizes answer 0 and only write NULs.
    virtual uint32_t GetSectionRaw(const std::u16string& file, const std::u16string& section,
                                   char16_t* buffer, uint32_t size) = 0;
    // Section names, in file order, as "name\0...\0\0", with the same size rule as
    // GetSectionRaw. A file without sections, and a missing file, answer 0 with one NUL.
    virtual uint32_t GetSectionNamesRaw(const std::u16string& file, char16_t* buffer,
                                        uint32_t size) = 0;
};

} // namespace qk::os
