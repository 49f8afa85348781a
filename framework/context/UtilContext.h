// The application context: one plain block owned by the application object and handed by
// pointer to every dialog, page and plug-in. Plug-ins are built separately and read it by
// byte offset, so the layout is fixed (32-bit, little-endian, 260-character UTF-16 slots).
#pragma once
#include <cstddef>
#include <cstdint>
#include "framework/comm/PortRecord.h"
#include "framework/context/StartMode.h"

namespace qk::comm {
struct QkcBinding;
}

class IPluginDataMgr;

inline constexpr std::size_t kTextSlot = 260;

struct UtilContext {
    int32_t languageId;               // numeric language identifier
    char16_t languageText[kTextSlot]; // "SETTING.INI" LANGID text, "0409" by default
    int32_t interfaceKind;            // InterfaceKind of the current port
    qk::comm::PortRecord portRecord;  // the current port record
    int32_t startMode;                // StartMode
    char16_t switchP[kTextSlot];      // value of /p
    char16_t switchQ[kTextSlot];      // value of /q
    char16_t switchR[kTextSlot];      // value of /r
    int32_t callerKind;               // /d: 0-4; 5 in start mode 5
    int32_t resolutionDpi;            // 203
    char16_t printerName[kTextSlot];  // start mode 5
    int32_t deviceIdentifier[10];     // start mode 5
    int32_t unused8424;
    int32_t paperWidthDots;               // 576; start mode 5 from the description file
    int32_t paperSizeCode;                // 6; start mode 5 from the description file
    int32_t columnCompatibleMode;         // start mode 5
    char16_t filePath[kTextSlot];         // start mode 5
    int32_t variableContrast;             // start mode 5
    int32_t nvBitImage;                   // start mode 5, default 1
    qk::comm::QkcBinding* binding;        // null in start mode 4; not owned
    IPluginDataMgr* dataManager;          // the data store (PluginDataMgr); not owned
    char16_t programFolder[kTextSlot];    // ends in a backslash
    char16_t workFolder[kTextSlot];       // data folder + "TMP"; empty when not made
    char16_t dataFolder[kTextSlot];       // all-users data, "TARROW\QK40Utl"
    char16_t languageFolder[kTextSlot];   // program folder + "LANG"
    char16_t settingsFilePath[kTextSlot]; // /mF path (start mode 4)
    char16_t logoWorkFilePath[kTextSlot]; // start mode 4; empty otherwise
    void* applicationLock;                // CRITICAL_SECTION*; not owned
    int32_t enableFlexibleFont;
    int32_t enableFontA;
    int32_t enableFontB;
    int32_t enableIFSelect;
    int32_t autoKeycodeNumbering;
    int32_t watermarkSupport;
    int32_t arpSupport; // shows the coupon, journal and paper entries
    int32_t enableBTSearch;
    int32_t unused12132;
    int32_t enableAutoRestore;
    int32_t printerArpSupport;   // as reported by the printer
    int32_t printerChosen;       // 1 after the printer is chosen
    int32_t printerChosenZero;   // 0 after the printer is chosen
    int32_t acceptsCommand14_48; // 1 when the printer accepts command group (14, 48)
    int32_t supportedIFTypes[5]; // "CommIFType_1".."5", -1 = none
    int32_t defaultIFType;       // "DefaultIFType", 2 before reading
    int32_t iconShift;           // read by the status pane; never set here
    int32_t deviceIdNumber;      // from the printer information library; 0 unread
};

// The shipped program is 32-bit. The 64-bit test build (for machines that run no 32-bit
// programs) widens the three pointers; everything after each grows by its extra bytes.
inline constexpr std::size_t kContextPointerGrowth = sizeof(void*) - 4;
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8);
static_assert(sizeof(UtilContext) == 12188 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, languageId) == 0);
static_assert(offsetof(UtilContext, languageText) == 4);
static_assert(offsetof(UtilContext, interfaceKind) == 524);
static_assert(offsetof(UtilContext, portRecord) == 528);
static_assert(offsetof(UtilContext, startMode) == 6292);
static_assert(offsetof(UtilContext, switchP) == 6296);
static_assert(offsetof(UtilContext, switchQ) == 6816);
static_assert(offsetof(UtilContext, switchR) == 7336);
static_assert(offsetof(UtilContext, callerKind) == 7856);
static_assert(offsetof(UtilContext, resolutionDpi) == 7860);
static_assert(offsetof(UtilContext, printerName) == 7864);
static_assert(offsetof(UtilContext, deviceIdentifier) == 8384);
static_assert(offsetof(UtilContext, unused8424) == 8424);
static_assert(offsetof(UtilContext, paperWidthDots) == 8428);
static_assert(offsetof(UtilContext, paperSizeCode) == 8432);
static_assert(offsetof(UtilContext, columnCompatibleMode) == 8436);
static_assert(offsetof(UtilContext, filePath) == 8440);
static_assert(offsetof(UtilContext, variableContrast) == 8960);
static_assert(offsetof(UtilContext, nvBitImage) == 8964);
static_assert(offsetof(UtilContext, binding) == 8968);
static_assert(offsetof(UtilContext, dataManager) == 8972 + kContextPointerGrowth);
static_assert(offsetof(UtilContext, programFolder) == 8976 + 2 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, workFolder) == 9496 + 2 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, dataFolder) == 10016 + 2 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, languageFolder) == 10536 + 2 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, settingsFilePath) == 11056 + 2 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, logoWorkFilePath) == 11576 + 2 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, applicationLock) == 12096 + 2 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, enableFlexibleFont) == 12100 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, enableFontA) == 12104 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, enableFontB) == 12108 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, enableIFSelect) == 12112 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, autoKeycodeNumbering) == 12116 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, watermarkSupport) == 12120 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, arpSupport) == 12124 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, enableBTSearch) == 12128 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, unused12132) == 12132 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, enableAutoRestore) == 12136 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, printerArpSupport) == 12140 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, printerChosen) == 12144 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, printerChosenZero) == 12148 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, acceptsCommand14_48) == 12152 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, supportedIFTypes) == 12156 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, defaultIFType) == 12176 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, iconShift) == 12180 + 3 * kContextPointerGrowth);
static_assert(offsetof(UtilContext, deviceIdNumber) == 12184 + 3 * kContextPointerGrowth);
