// Private-profile (INI) access behind a seam. The real implementation calls the platform's
// private-profile functions; tests use an in-memory fake that keeps the same buffer rules.
#pragma once
#include <cstdint>
#include <string>

namespace qk::os {

class IProfile {
public:
    virtual ~IProfile() = default;

    // Value of [section] key, or def when the key (or file) is missing.
    virtual std::u16string GetString(const std::u16string& file, const std::u16string& section,
                                     const std::u16string& key, const std::u16string& def) = 0;
    // Leading decimal number of the value (with an optional sign), def when missing.
    virtual int GetInt(const std::u16string& file, const std::u16string& section,
                       const std::u16string& key, int def) = 0;
    // Writes (creating file and section as needed). False when the file cannot be written.
    virtual bool WriteString(const std::u16string& file, const std::u16string& section,
                             const std::u16string& key, const std::u16string& value) = 0;
    virtual bool DeleteKey(const std::u16string& file, const std::u16string& section,
                           const std::u16string& key) = 0;
    virtual bool DeleteSection(const std::u16string& file, const std::u16string& section) = 0;

    // The whole section as "key=value\0...\0\0" into a caller-sized buffer, with the
    // platform's answer: characters copied without the final NUL, and size - 2 when the
    // buffer was too small (the last string truncated, the list still ending in two NULs).
    // A missing section answers 0 with the buffer starting with NULs.
    virtual uint32_t GetSectionRaw(const std::u16string& file, const std::u16string& section,
                                   char16_t* buffer, uint32_t size) = 0;
    // Section names as "name\0...\0\0", same size rule as GetSectionRaw.
    virtual uint32_t GetSectionNamesRaw(const std::u16string& file, char16_t* buffer,
                                        uint32_t size) = 0;
};

} // namespace qk::os
