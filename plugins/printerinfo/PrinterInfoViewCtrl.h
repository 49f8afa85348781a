// The printer information library's page controller. The page keeps no settings of its own: it
// shows the printer information block the settings read writes; its block (0x1000D) holds
// only its header.
#pragma once
#include "framework/plugin/FormViewCtrl.h"

namespace qk::printerinfo {

inline constexpr uint32_t kPrinterInfoPageBlockKey = 0x0001000D;
inline constexpr uint32_t kPrinterInfoPageBlockSize = 36; // the header and one reserved word

class CPrinterInfoViewCtrl : public CFormViewCtrl {
public:
    CPrinterInfoViewCtrl();

    // The empty block: its header; -1 for another key, -2 before the context is known.
    int32_t SetDefaultData(uint32_t key) override;
    void CreatePages() override;
};

} // namespace qk::printerinfo
