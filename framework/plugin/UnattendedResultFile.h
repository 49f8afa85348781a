// Where an unattended run leaves its result file, for the run that writes it and for the
// window that starts such runs and reads their files back. Portable.
#pragma once
#include <string>
#include <string_view>

// "SettingsFileResult_<port>.txt" in the data folder, the characters a file name cannot hold
// as '_'.
inline std::u16string UnattendedResultPath(const std::u16string& dataFolder,
                                           const std::u16string& port) {
    std::u16string name = port;
    for (char16_t& c : name)
        if (c < u' ' || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos)
            c = u'_';
    return dataFolder + u"\\SettingsFileResult_" + name + u".txt";
}
