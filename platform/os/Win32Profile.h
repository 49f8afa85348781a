// IProfile over the platform's private-profile functions.
#pragma once
#include "platform/os/Profile.h"

namespace qk::os {

class Win32Profile : public IProfile {
public:
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
};

} // namespace qk::os
