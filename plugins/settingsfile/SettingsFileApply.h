// Takes a checked settings command file to a printer and finds out what the printer holds:
// before (the "now" of each setting), and after sending the file (read back, setting by
// setting). The user settings go in user setting mode, which is left on every way out; the
// logo section and the logo keys go before it, in the file's order. Success is only a printer
// that reads back every setting as the file sets it. Portable.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>
#include "framework/comm/PrinterLink.h"
#include "plugins/settingsfile/SettingsFileCheck.h"

namespace qk::settingsfile {

// Results besides 1 (every setting reads back as the file sets it).
inline constexpr int32_t kApplyDiffers = -1;   // some settings do not hold what the file sets
inline constexpr int32_t kApplyNoAnswer = -64; // the printer did not answer (or went part-way)

struct SettingState {
    std::optional<Bytes> now;   // what the printer held before, in the file's terms
    std::optional<Bytes> after; // what it held after the file was sent
    bool sent = false;          // the setting's command went out whole
    bool holds = false;         // `after` is what the file sets
};

struct ApplyReport {
    int32_t result = 1;
    std::vector<SettingState> settings; // one per setting of the file, in its order
    bool logoSent = false;              // the logo section went out whole
    bool notEntered = false;            // the printer did not enter user setting mode
};

// True when `held` is what `setting` sets (a memory switch bit the file keeps matches any).
bool SettingHolds(const FileSetting& setting, const Bytes& held);

class SettingsFileApply {
public:
    // link: not owned; waitMs: how long one answer is waited for.
    SettingsFileApply(comm::IPrinterLink& link, int32_t waitMs) : m_link(link), m_waitMs(waitMs) {}

    // Reads what the printer holds for every setting of `file` into `now`; nothing is changed.
    ApplyReport ReadHeld(const CheckedFile& file);
    // Sends `file`, reads every setting back into `after` and says whether all hold. `report`
    // keeps the `now` of an earlier ReadHeld.
    void Apply(const CheckedFile& file, ApplyReport& report);

private:
    // Reads into now (before) or after.
    int32_t ReadInto(const CheckedFile& file, ApplyReport& report, bool after);
    bool ReadLogoSettings(const CheckedFile& file, ApplyReport& report, bool after);
    bool ReadUserSettings(const CheckedFile& file, ApplyReport& report, bool after);
    std::optional<Bytes> AskUserSetting(const FileSetting& setting);
    // After the printer was lost in user setting mode: "OUT" again once the link is back (a
    // link that reconnects by itself lost the first one with the connection), until a status
    // answer behind it shows it arrived. Bounded by a few tries.
    void LeaveAfterLoss();

    comm::IPrinterLink& m_link;
    int32_t m_waitMs;
};

} // namespace qk::settingsfile
