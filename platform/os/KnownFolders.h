// The folders that the program locates through the platform, behind a seam.
#pragma once
#include <string>

namespace qk::os {

class IKnownFolders {
public:
    virtual ~IKnownFolders() = default;

    virtual std::u16string ExecutablePath() = 0; // full path of the running program file
    // The folders have no trailing '\'; empty when the platform cannot name them.
    virtual std::u16string CommonAppData() = 0; // all-users application data
    virtual std::u16string UserAppData() = 0;   // the user's roaming application data
    virtual std::u16string ProgramFiles() = 0;  // as this (32-bit) process sees it
    virtual std::u16string CommonStartMenu() = 0;
    virtual std::u16string UserStartMenu() = 0;
    // An environment variable of the process (such as u"ProgramW6432", the native program
    // files folder on a 64-bit system); false when it is not set.
    virtual bool Environment(const std::u16string& name, std::u16string& value) = 0;
};

} // namespace qk::os
