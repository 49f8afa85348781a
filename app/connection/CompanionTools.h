// Where the maker's companion programs of the add-port dialog are installed: the network
// configuration tool, the virtual port assignment tool and the Bluetooth connector, and the
// connector's settings file. Portable: the platform is reached through the seams.
#pragma once
#include <string>
#include <string_view>
#include "platform/os/FileSystem.h"
#include "platform/os/KnownFolders.h"
#include "platform/os/Registry.h"

namespace qk::app {

// Reads the target of a shell shortcut (".lnk").
class IShortcutResolver {
public:
    virtual ~IShortcutResolver() = default;
    // False when the shortcut is missing or names no file.
    virtual bool Target(const std::u16string& shortcut, std::u16string& target) = 0;
};
IShortcutResolver& RealShortcutResolver();

struct ToolSeams {
    os::IRegistry& registry;
    os::IFileSystem& files;
    os::IKnownFolders& folders;
    IShortcutResolver& shortcuts;
};

// The network tool's uninstall entry, under the local machine's uninstall key.
inline constexpr char16_t kNetworkToolUninstallKey[] =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TarrowNet Config V4";
inline constexpr char16_t kVirtualPortAppPathKey[] =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TarCa.exe";

// Replaces each %NAME% by the process environment's value; unknown names stay as written.
std::u16string ExpandEnvironment(std::u16string_view text, os::IKnownFolders& folders);

// The network tool's program when the file exists, else empty.
std::u16string FindNetworkTool(const ToolSeams& seams);
// The Bluetooth connector's program when the file exists, else empty.
std::u16string FindBluetoothConnector(const ToolSeams& seams);

// The virtual port tool: a folder that the shell shows, or the program itself.
struct VirtualPortTool {
    std::u16string location; // empty: not installed
    bool isFolder = false;
};
VirtualPortTool FindVirtualPortTool(const ToolSeams& seams);

// The file in which the Bluetooth connector leaves the virtual serial port it paired.
std::u16string BluetoothSettingsPath(os::IKnownFolders& folders);

} // namespace qk::app
