#include "app/connection/CompanionTools.h"

namespace qk::app {
namespace {

std::u16string Join(std::u16string folder, std::u16string_view name) {
    if (!folder.empty() && folder.back() != u'\\' && folder.back() != u'/')
        folder += u'\\';
    folder += name;
    return folder;
}

std::u16string FolderOf(const std::u16string& path) {
    const size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

std::u16string ExistingFile(const ToolSeams& seams, const std::u16string& path) {
    return !path.empty() && seams.files.Exists(path) && !seams.files.IsDirectory(path)
               ? path
               : std::u16string();
}

} // namespace

std::u16string ExpandEnvironment(std::u16string_view text, os::IKnownFolders& folders) {
    std::u16string out;
    size_t at = 0;
    while (at < text.size()) {
        const size_t open = text.find(u'%', at);
        const size_t close = open == std::u16string_view::npos ? open : text.find(u'%', open + 1);
        if (close == std::u16string_view::npos) {
            out.append(text.substr(at));
            break;
        }
        out.append(text.substr(at, open - at));
        std::u16string value;
        const std::u16string name(text.substr(open + 1, close - open - 1));
        if (!name.empty() && folders.Environment(name, value)) {
            out += value;
            at = close + 1;
        } else {
            // Not a variable: keep the first '%' and look for one from the second on.
            out += u'%';
            at = open + 1;
        }
    }
    return out;
}

std::u16string FindNetworkTool(const ToolSeams& seams) {
    std::u16string location;
    if (seams.registry.ReadString(os::RegRoot::LocalMachine, kNetworkToolUninstallKey,
                                  u"InstallLocation", location) &&
        !location.empty())
        return ExistingFile(seams, Join(location, u"TNConfig.exe"));
    return ExistingFile(
        seams, Join(seams.folders.ProgramFiles(), u"TARROW\\TarrowNet Config V4\\TNConfig.exe"));
}

std::u16string FindBluetoothConnector(const ToolSeams& seams) {
    return ExistingFile(seams, Join(seams.folders.ProgramFiles(),
                                    u"TARROW\\QK Bluetooth Connector\\QKBluetoothConnector.exe"));
}

VirtualPortTool FindVirtualPortTool(const ToolSeams& seams) {
    std::u16string folder;
    if (seams.registry.ReadString(os::RegRoot::LocalMachine, kVirtualPortAppPathKey, u"Path",
                                  folder)) {
        folder = ExpandEnvironment(folder, seams.folders);
        while (folder.size() > 3 && (folder.back() == u'\\' || folder.back() == u'/'))
            folder.pop_back();
        if (!folder.empty() && seams.files.IsDirectory(folder))
            return {folder, true};
    }
    static const char16_t* const kShortcuts[] = {
        u"TARROW QKCOMUSB Serial Emulation Driver\\COM Assignment Tool.lnk",
        u"TARROW\\QK Virtual Port Driver\\Port Assignment Tool.lnk",
    };
    for (const std::u16string& menu :
         {seams.folders.CommonStartMenu(), seams.folders.UserStartMenu()}) {
        if (menu.empty())
            continue;
        for (const char16_t* shortcut : kShortcuts) {
            std::u16string target;
            if (!seams.shortcuts.Target(Join(Join(menu, u"Programs"), shortcut), target))
                continue;
            folder = FolderOf(target);
            if (!folder.empty() && seams.files.IsDirectory(folder))
                return {folder, true};
        }
    }
    std::u16string program =
        ExistingFile(seams, Join(seams.folders.ProgramFiles(), u"TARROW\\QKCOMUSB\\TarCa.exe"));
    if (!program.empty())
        return {program, false};
    return {};
}

std::u16string BluetoothSettingsPath(os::IKnownFolders& folders) {
    return Join(folders.CommonAppData(), u"TARROW\\QKBTConnector\\QKBTSetting.ini");
}

} // namespace qk::app
