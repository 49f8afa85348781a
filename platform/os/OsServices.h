// The OS seams a class reaches the machine through, in one bundle; the defaults are the real
// ones, and tests point the members they care about at fakes. A class that needs more than
// the OS (a shortcut resolver, a library factory) keeps that beside the bundle.
#pragma once
#include "RealOs.h"

namespace qk::os {

struct OsServices {
    IProfile* profile = &RealProfile();
    IFileSystem* files = &RealFileSystem();
    IKnownFolders* folders = &RealKnownFolders();
    IRegistry* registry = &RealRegistry();
    IServiceControl* services = &RealServiceControl();
    INamedEvents* events = &RealNamedEvents();
    IProcessLauncher* processes = &RealProcessLauncher();
    IProcessWindows* windows = &RealProcessWindows();
    IClock* clock = &RealClock();
};

} // namespace qk::os
