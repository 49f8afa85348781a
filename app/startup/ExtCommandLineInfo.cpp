#include "app/startup/ExtCommandLineInfo.h"

#include "framework/context/StartMode.h"

namespace qk::app {

void CExtCommandLineInfo::Parse(const std::vector<std::u16string>& arguments) {
    for (const auto& argument : arguments)
        ParseArgument(argument);
}

void CExtCommandLineInfo::ParseArgument(const std::u16string& argument) {
    if (argument.size() < 2 || (argument[0] != u'/' && argument[0] != u'-'))
        return;
    const char16_t letter = argument[1];
    const std::u16string value = argument.substr(2);
    switch (letter) {
    case u'm':
        ParseMode(value);
        break;
    case u'p':
        portPrefix = value.substr(0, kMaxValue);
        break;
    case u'q':
        queueName = value.substr(0, kMaxValue);
        break;
    case u'r':
        devicePath = value.substr(0, kMaxValue);
        break;
    case u'd':
        callerKind = CallerKindOf(value);
        break;
    case u'b':
        maintenance = !value.empty() && value[0] == u'M';
        break;
    case u'a':
        applyFilePath = value.substr(0, kMaxValue);
        break;
    case u'c':
        checkFilePath = value.substr(0, kMaxValue);
        break;
    case u'o':
        unattendedPort = value.substr(0, kMaxValue);
        break;
    default:
        break;
    }
}

void CExtCommandLineInfo::ParseMode(const std::u16string& value) {
    if (value == u"ZEV5_LOGO") {
        startMode = kStartInstallerLogo;
    } else if (value == u"ZEV5") {
        startMode = kStartInstaller;
    } else if (!value.empty() && value[0] == u'L') {
        startMode = kStartLogo;
    } else if (!value.empty() && value[0] == u'S') {
        startMode = kStartPrinterControl;
    } else if (!value.empty() && value[0] == u'R') {
        startMode = kStartRemote;
    } else if (!value.empty() && value[0] == u'F') {
        startMode = kStartFileMode;
        settingsFilePath = value.substr(1, kMaxSettingsPath);
    } else if (!value.empty() && value[0] == u'C') {
        startMode = kStartDescribedPrinter;
        descriptionFilePath = value.substr(1);
    } else {
        startMode = kStartOrdinary;
    }
}

int32_t CExtCommandLineInfo::CallerKindOf(const std::u16string& value) {
    if (value == u"ZEV")
        return 1;
    if (value == u"OPOS")
        return 2;
    if (value == u"SimpleViewer")
        return 3;
    if (value == u"AutoRestore")
        return 4;
    return 0;
}

} // namespace qk::app
