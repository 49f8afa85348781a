// The real (Win32) implementations of the OS seams, one shared instance each.
// Classes take the seams they use as constructor arguments and default to these.
#pragma once
#include "Clock.h"
#include "FileSystem.h"
#include "KnownFolders.h"
#include "NamedEvents.h"
#include "Process.h"
#include "ProcessWindows.h"
#include "Profile.h"
#include "Registry.h"
#include "ServiceControl.h"

namespace qk::os {

IProfile& RealProfile();
IFileSystem& RealFileSystem();
IKnownFolders& RealKnownFolders();
IRegistry& RealRegistry();
IServiceControl& RealServiceControl();
IProcessLauncher& RealProcessLauncher();
IClock& RealClock();
INamedEvents& RealNamedEvents();
IProcessWindows& RealProcessWindows();

} // namespace qk::os
