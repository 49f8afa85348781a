// IRegistry over the platform's registry functions, keys opened for reading only.
#pragma once
#include "platform/os/Registry.h"

namespace qk::os {

class Win32Registry : public IRegistry {
public:
    bool KeyExists(RegRoot root, const std::u16string& subKey) override;
    bool ReadString(RegRoot root, const std::u16string& subKey, const std::u16string& valueName,
                    std::u16string& value) override;
    bool ReadDword(RegRoot root, const std::u16string& subKey, const std::u16string& valueName,
                   uint32_t& value) override;
    std::vector<std::u16string> SubKeys(RegRoot root, const std::u16string& subKey) override;
    std::vector<std::u16string> ValueNames(RegRoot root, const std::u16string& subKey) override;
};

} // namespace qk::os
