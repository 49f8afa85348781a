#include "framework/system/PortProbe.h"
#include "framework/system/PortNameRules.h"

namespace qk::sys {

bool CPortProbe::IsVirtualComPort(const std::u16string& portName) {
    if (!IsComOrLptName(portName)) {
        return false;
    }
    return !IsRealPortTarget(portName, m_services.files->DosDeviceTargets(portName));
}

bool CPortProbe::EntryPortName(const std::u16string& entry, std::u16string& name) {
    return m_services.registry->ReadString(os::RegRoot::LocalMachine,
                                           entry + u"\\Device Parameters", u"PortName", name) ||
           m_services.registry->ReadString(os::RegRoot::LocalMachine, entry, u"PortName", name);
}

bool CPortProbe::VisitEntries(const std::u16string& portName,
                              const std::function<bool(const std::u16string& entry)>& visit) {
    os::IRegistry& registry = *m_services.registry;
    if (!registry.KeyExists(os::RegRoot::LocalMachine, kPortsKey)) {
        return false;
    }
    for (const std::u16string& sub : registry.SubKeys(os::RegRoot::LocalMachine, kPortsKey)) {
        const std::u16string entry = std::u16string(kPortsKey) + u"\\" + sub;
        std::u16string name;
        if (EntryPortName(entry, name) && name == portName && !visit(entry)) {
            break;
        }
    }
    return true;
}

bool CPortProbe::FindPortDeviceId(const std::u16string& portName, std::u16string& id) {
    bool found = false;
    VisitEntries(portName, [&](const std::u16string& entry) {
        std::u16string value;
        found = m_services.registry->ReadString(os::RegRoot::LocalMachine,
                                                entry + u"\\Device Parameters", u"TarID", value) &&
                !value.empty();
        if (found) {
            id = value;
        }
        return !found;
    });
    return found;
}

bool CPortProbe::IsEmulatorRouted(const std::u16string& portName, bool& routed) {
    routed = false;
    if (portName.empty()) {
        return false;
    }
    os::IRegistry& registry = *m_services.registry;
    return VisitEntries(portName, [&](const std::u16string& entry) {
        uint32_t mode = 0;
        if ((registry.ReadDword(os::RegRoot::LocalMachine, entry + u"\\Device Parameters", u"TarDM",
                                mode) ||
             registry.ReadDword(os::RegRoot::LocalMachine, entry, u"TarDM", mode)) &&
            (mode & kRoutingBit)) {
            routed = true;
        }
        return true;
    });
}

bool CPortProbe::GetPortDriverVersion(int& version, std::u16string& installFolder) {
    const std::u16string key = std::u16string(kUninstallKey) + u"\\" + kPortDriverProductCode;
    for (os::RegRoot root : {os::RegRoot::LocalMachine, os::RegRoot::LocalMachine64}) {
        if (!m_services.registry->KeyExists(root, key)) {
            continue;
        }
        std::u16string text;
        const bool hasVersion = m_services.registry->ReadString(root, key, u"DisplayVersion", text);
        if (hasVersion) {
            version = LeadingVersion(text);
        }
        const bool hasFolder =
            m_services.registry->ReadString(root, key, u"InstallLocation", installFolder);
        return hasVersion || hasFolder;
    }
    return false;
}

} // namespace qk::sys
