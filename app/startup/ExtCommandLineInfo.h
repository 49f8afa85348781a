// The utility's command line: switches /m, /p, /q, /r, /d and /b, and the unattended apply's
// /a, /c and /o. Portable: works on the
// arguments as UTF-16 strings, already split.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qk::app {

class CExtCommandLineInfo {
public:
    // Longest values kept: the context's 260-character slots, less one for the /mF path.
    static constexpr std::size_t kMaxValue = 259;
    static constexpr std::size_t kMaxSettingsPath = 258;

    // Reads every argument in order; a later switch of the same letter wins.
    void Parse(const std::vector<std::u16string>& arguments);
    // One argument: a switch when it starts with '/' or '-'; anything else is ignored.
    void ParseArgument(const std::u16string& argument);

    int32_t startMode = 0;
    std::u16string settingsFilePath;    // /mF
    std::u16string descriptionFilePath; // /mC
    std::u16string portPrefix;          // /p
    std::u16string queueName;           // /q
    std::u16string devicePath;          // /r
    int32_t callerKind = 0;             // /d
    // /b with a value beginning with "M": no single-instance check, work folder kept.
    bool maintenance = false;
    // The unattended run for deployment tools: /a<file> applies a settings command file, /c<file>
    // only compares the printer with it; /o<port> names the registered port or device path.
    std::u16string applyFilePath;  // /a
    std::u16string checkFilePath;  // /c
    std::u16string unattendedPort; // /o
    bool IsUnattended() const { return !applyFilePath.empty() || !checkFilePath.empty(); }

private:
    void ParseMode(const std::u16string& value);
    static int32_t CallerKindOf(const std::u16string& value);
};

} // namespace qk::app
