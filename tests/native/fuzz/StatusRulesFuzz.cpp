// The status strip's rules over any run of reported codes: a shown code always has a text, a
// report repeated at once changes nothing, an offline condition asks for a settings read,
// and the port numbers are read as written.
#include <string>
#include "app/status/StatusRules.h"
#include "tests/native/fuzz/FuzzSupport.h"

using namespace qk::app;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    CStatusTracker tracker;
    if (in.Byte() & 1)
        tracker.StartOnline();
    const int count = in.Byte();
    for (int i = 0; i < count && in.Left() > 0; ++i) {
        // Mostly codes of the table and the ink overlay; now and then any number.
        const uint8_t pick = in.Byte();
        const int32_t code = pick < 0xF0 ? pick % 110 - 2 : static_cast<int32_t>(in.U32());
        tracker.SetReadNeeded(false);
        const std::optional<int32_t> shown = tracker.Take(code);
        if (!shown)
            continue;
        QK_FUZZ_CHECK(*shown == kStatusUnknown || (*shown >= 0 && *shown <= 22));
        QK_FUZZ_CHECK(StatusTextOf(*shown).english != nullptr);
        if (*shown == kStatusUnknown)
            QK_FUZZ_CHECK(tracker.ReadNeeded());
        if (!IsInkOverlayCode(code)) {
            QK_FUZZ_CHECK(tracker.LastRaw() == code);
            QK_FUZZ_CHECK(!tracker.Take(code).has_value());
        }
    }

    const std::u16string text = in.Text(0);
    const int32_t number = static_cast<int32_t>(in.U32() & 0x7FFFFFFF);
    const std::string digits = std::to_string(number);
    const std::u16string port = u"RSDPRT" + std::u16string(digits.begin(), digits.end());
    QK_FUZZ_CHECK(PortNumberAfterPrefix(port) == number);
    QK_FUZZ_CHECK(PosPortMatches(text, port) ==
                  (number > 0 && PortNumberAfterPrefix(text) == number));
    QK_FUZZ_CHECK(JoinLabel(text, port) == text + u" " + port);
    return 0;
}
