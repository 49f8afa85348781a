// Read-only registry access behind a seam (the program never writes the registry).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qk::os {

// LocalMachine64 is HKEY_LOCAL_MACHINE seen through the 64-bit view; on a 32-bit system it
// is the same as LocalMachine.
enum class RegRoot { LocalMachine, CurrentUser, LocalMachine64 };

class IRegistry {
public:
    virtual ~IRegistry() = default;

    virtual bool KeyExists(RegRoot root, const std::u16string& subKey) = 0;
    // A string value (REG_SZ, or REG_EXPAND_SZ left unexpanded), without its NUL; false for
    // a missing key or value or another type. An empty valueName reads the default value.
    virtual bool ReadString(RegRoot root, const std::u16string& subKey,
                            const std::u16string& valueName, std::u16string& value) = 0;
    // A REG_DWORD value; false for a missing key or value or another type.
    virtual bool ReadDword(RegRoot root, const std::u16string& subKey,
                           const std::u16string& valueName, uint32_t& value) = 0;
    // Names of the subkeys, in the registry's (alphabetical) order; empty for a missing key.
    virtual std::vector<std::u16string> SubKeys(RegRoot root, const std::u16string& subKey) = 0;
    // Names of the values of a key, in the registry's order (alphabetical under Wine, the
    // order of creation on Windows: callers must not depend on it).
    virtual std::vector<std::u16string> ValueNames(RegRoot root, const std::u16string& subKey) = 0;
};

} // namespace qk::os
