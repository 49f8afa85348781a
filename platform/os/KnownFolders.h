// The folders that the program locates through the platform, behind a seam.
#pragma once
#include <string>

namespace qk::os {

class IKnownFolders {
public:
    virtual ~IKnownFolders() = default;

    virtual std::u16string ExecutablePath() = 0; // full path of the running program file
    virtual std::u16string CommonAppData() = 0;  // all-users application data, no trailing '\'
    virtual std::u16string UserAppData() = 0;    // the user's roaming application data
    virtual std::u16string ProgramFiles() = 0;
    virtual std::u16string CommonStartMenu() = 0;
    virtual std::u16string UserStartMenu() = 0;
};

} // namespace qk::os
