// Known folders with fixed, settable answers and an environment of its own.
#pragma once
#include <map>
#include <string>
#include "platform/os/KnownFolders.h"

namespace qk::test {

class FakeKnownFolders : public os::IKnownFolders {
public:
    // The answers, public so that a test sets the one it cares about.
    std::u16string executablePath = u"C:\\Program Files\\QK40Utl\\QK40UTL.exe";
    std::u16string commonAppData = u"C:\\ProgramData";
    std::u16string userAppData = u"C:\\Users\\operator\\AppData\\Roaming";
    std::u16string programFiles = u"C:\\Program Files";
    std::u16string commonStartMenu = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
    std::u16string userStartMenu =
        u"C:\\Users\\operator\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";
    // Environment variables; names compare case-insensitively as on the platform.
    void SetEnvironment(const std::u16string& name, const std::u16string& value);
    void ClearEnvironment(const std::u16string& name);

    std::u16string ExecutablePath() override { return executablePath; }
    std::u16string CommonAppData() override { return commonAppData; }
    std::u16string UserAppData() override { return userAppData; }
    std::u16string ProgramFiles() override { return programFiles; }
    std::u16string CommonStartMenu() override { return commonStartMenu; }
    std::u16string UserStartMenu() override { return userStartMenu; }
    bool Environment(const std::u16string& name, std::u16string& value) override;

private:
    std::map<std::u16string, std::u16string> environment_; // by folded name
};

} // namespace qk::test
