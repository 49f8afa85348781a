// The settings file library's page controller. The page keeps no settings of its own: it
// works on the blocks the other pages own; its block (0x1000C) holds only its header.
#pragma once
#include "framework/plugin/FormViewCtrl.h"

namespace qk::settingsfile {

inline constexpr uint32_t kSettingsFileBlockKey = 0x0001000C;
inline constexpr uint32_t kSettingsFileBlockSize = 36; // the header and one reserved word

class CSettingsFileViewCtrl : public CFormViewCtrl {
public:
    CSettingsFileViewCtrl();

    // The empty block: its header; -1 for another key, -2 before the context is known.
    int32_t SetDefaultData(uint32_t key) override;
    void CreatePages() override;
};

} // namespace qk::settingsfile
