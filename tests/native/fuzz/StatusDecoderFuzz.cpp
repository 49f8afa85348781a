// The status decoder: every packet gives a code the library reports, and the packets the
// printer sends for its conditions give online exactly when nothing stops it, and the ink
// code exactly when there is an ink condition.
#include "maker/comm/StatusDecoder.h"
#include "maker/printer/StatusBytes.h"
#include "tests/native/fuzz/FuzzSupport.h"

using qk::comm::DecodeStatus;

namespace {

bool IsMainCode(int32_t c) {
    return c == 0 || c == 1 || (c >= 3 && c <= 7) || c == 9 || c == 18;
}

bool IsInkCode(int32_t c) {
    return (c >= 10 && c <= 13) || c == 15 || c == 20 || c == 21 || c == 100;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    const std::array<uint8_t, 4> packet{in.Byte(), in.Byte(), in.Byte(), in.Byte()};
    const auto any = DecodeStatus(packet);
    QK_FUZZ_CHECK(IsMainCode(any.main) && IsInkCode(any.ink));

    qk::sim::PrinterConditions c;
    const uint8_t flags = in.Byte();
    c.offline = flags & 1;
    c.coverOpen = flags & 2;
    c.paperOut = flags & 4;
    c.paperNearEnd = flags & 8;
    c.error = static_cast<qk::sim::ErrorKind>(in.Byte() % 5);
    c.ink = static_cast<qk::sim::InkCondition>(in.Byte() % 8);
    const auto sent = DecodeStatus(qk::sim::AutomaticStatus(c));
    QK_FUZZ_CHECK(IsMainCode(sent.main));
    QK_FUZZ_CHECK((sent.main == 0 || sent.main == 18) == !c.IsOffline());
    QK_FUZZ_CHECK((sent.ink == 100) == (c.ink == qk::sim::InkCondition::None));
    if (!c.IsOffline())
        QK_FUZZ_CHECK((sent.main == 18) == c.paperNearEnd);
    return 0;
}
