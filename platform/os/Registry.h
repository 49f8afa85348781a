// Read-only registry access behind a seam (the program never writes the registry).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qk::os {

enum class RegRoot { LocalMachine, CurrentUser };

class IRegistry {
public:
    virtual ~IRegistry() = default;

    virtual bool ReadString(RegRoot root, const std::u16string& subKey,
                            const std::u16string& valueName, std::u16string& value) = 0;
    virtual bool ReadDword(RegRoot root, const std::u16string& subKey,
                           const std::u16string& valueName, uint32_t& value) = 0;
    virtual std::vector<std::u16string> SubKeys(RegRoot root, const std::u16string& subKey) = 0;
    // Names of the values of a key, in the registry's order.
    virtual std::vector<std::u16string> ValueNames(RegRoot root, const std::u16string& subKey) = 0;
};

} // namespace qk::os
