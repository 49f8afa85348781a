// IKnownFolders over the shell's folder lookup and the module file name.
#pragma once
#include "platform/os/KnownFolders.h"

namespace qk::os {

class Win32KnownFolders : public IKnownFolders {
public:
    std::u16string ExecutablePath() override;
    std::u16string CommonAppData() override;
    std::u16string UserAppData() override;
    std::u16string ProgramFiles() override;
    std::u16string CommonStartMenu() override;
    std::u16string UserStartMenu() override;
    bool Environment(const std::u16string& name, std::u16string& value) override;
};

} // namespace qk::os
