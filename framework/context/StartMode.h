// Start modes and interface kinds: plain values that the context and the portable start-up
// rules share.
#pragma once
#include <cstdint>

// Start modes chosen by the /m switch.
enum StartMode : int32_t {
    kStartOrdinary = 0,
    kStartLogo = 1,
    kStartPrinterControl = 2,
    kStartRemote = 3,
    kStartFileMode = 4,
    kStartDescribedPrinter = 5,
    kStartInstaller = 100,
    kStartInstallerLogo = 110,
};

// Interface kinds of the current port.
enum InterfaceKind : int32_t {
    kIfSerial = 1,
    kIfParallel = 2,
    kIfUsb = 3,
    kIfNetwork = 4,
    kIfBluetooth = 5,
    kIfDevicePath = 6,
};
