#include "maker/comm/StatusDecoder.h"
#include "framework/comm/CommResult.h"

namespace qk::comm {

DecodedStatus DecodeStatus(const std::array<uint8_t, 4>& p) {
    DecodedStatus status{kStatusOnline, kStatusInkCleared};
    // The most serious condition wins; a plain offline bit only when nothing explains it.
    if (p[1] & 0x20)
        status.main = kStatusFatalError;
    else if (p[1] & 0x08)
        status.main = kStatusCutterError;
    else if (p[1] & 0x04)
        status.main = kStatusRecoverableError;
    else if (p[1] & 0x40)
        status.main = kStatusAutoRecoverableError;
    else if (p[0] & 0x20)
        status.main = kStatusCoverOpen;
    else if (p[2] & 0x0C)
        status.main = kStatusPaperOut;
    else if (p[0] & 0x08)
        status.main = kStatusOffline;
    else if (p[2] & 0x03)
        status.main = kStatusPaperNearEnd;
    static const int32_t kInk[8] = {
        kStatusInkCleared, kStatusNoInkCartridge1, kStatusNoInkCartridge2, kStatusOutOfInk1,
        kStatusOutOfInk2,  kStatusCleaning,        kStatusInk1NearEnd,     kStatusInk2NearEnd};
    status.ink = kInk[p[3] & 0x07];
    return status;
}

} // namespace qk::comm
