// The graphics and logo commands the logo page sends, through the printer's interpreter: a
// graphic that fits is stored dot for dot under its key code and listed in the key code
// answer, one that does not fit is not stored; a logo set at a place is what the printer
// answers for it. Any bytes end a graphics answer only at its NUL.
#include "plugins/logo/GraphicsCommands.h"
#include "tests/support/SimulatedPrinter.h"
#include "tests/native/fuzz/FuzzSupport.h"

using namespace qk::logo;

namespace {

GraphicsAnswer Ask(qk::test::SimulatedPrinter& printer, const Bytes& question) {
    GraphicsAnswer answer;
    printer.DiscardAnswers();
    printer.Send(question);
    uint8_t byte = 0;
    while (!answer.Complete() && printer.Receive(byte, 0))
        answer.Add(byte);
    return answer;
}

KeyCode Code(qk::fuzz::Input& in) {
    return {static_cast<uint8_t>(0x20 + in.Byte() % 95),
            static_cast<uint8_t>(0x20 + in.Byte() % 95)};
}

void CheckAnyBytes(qk::fuzz::Input& in) {
    GraphicsAnswer answer;
    uint8_t last = 0xFF;
    std::size_t taken = 0;
    for (std::size_t n = in.Byte() * 80u; n > 0 && !answer.Complete(); --n) {
        last = in.Byte();
        answer.Add(last);
        ++taken;
    }
    // An answer ends at its NUL, or one byte beyond the longest answer as none at all.
    const bool tooLong = taken == GraphicsAnswer::kMaxAnswer + 1;
    QK_FUZZ_CHECK(!answer.Complete() || (last == 0x00 && taken <= GraphicsAnswer::kMaxAnswer) ||
                  tooLong);
    if (tooLong)
        QK_FUZZ_CHECK(!answer.KeyCodes() && !answer.Logo(LogoPlace::Top));
    if (auto codes = answer.KeyCodes())
        for (const KeyCode& code : *codes)
            QK_FUZZ_CHECK(IsKeyCode(code));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    CheckAnyBytes(in);

    qk::test::SimulatedPrinter printer;
    const KeyCode code = Code(in);
    Raster raster;
    raster.width = 1 + static_cast<int32_t>(in.U32() % 640);
    raster.height = 1 + static_cast<int32_t>(in.U32() % (in.Byte() & 1 ? 4000 : 40));
    const std::vector<uint8_t> pattern = in.Bytes(64);
    raster.bits.resize(static_cast<std::size_t>(raster.RowBytes()) * raster.height);
    for (std::size_t i = 0; i < raster.bits.size(); ++i)
        raster.bits[i] =
            pattern.empty()
                ? 0xA5
                : static_cast<uint8_t>(pattern[i % pattern.size()] + i / pattern.size());
    QK_FUZZ_CHECK(DefineDataBytes(raster) == raster.bits.size() + 11);
    printer.Send(DefineGraphics(code, raster));
    const auto stored = printer.Memory().Graphics(code.first, code.second);
    QK_FUZZ_CHECK(static_cast<bool>(stored) == FitsGraphicsMemory(raster));
    const auto listed = Ask(printer, AskKeyCodes()).KeyCodes();
    QK_FUZZ_CHECK(listed);
    if (stored) {
        QK_FUZZ_CHECK(stored->width == raster.width && stored->height == raster.height);
        QK_FUZZ_CHECK(stored->dots == raster.bits);
        QK_FUZZ_CHECK(*listed == std::vector<KeyCode>{code});
        printer.Send(DeleteGraphics(code));
        QK_FUZZ_CHECK(!printer.Memory().Graphics(code.first, code.second));
    } else {
        QK_FUZZ_CHECK(listed->empty());
    }

    const LogoPlace place = in.Byte() & 1 ? LogoPlace::Bottom : LogoPlace::Top;
    const LogoPlacement placed{Code(in), static_cast<uint8_t>(in.Byte() % 3)};
    printer.Send(SetLogo(place, placed.code, placed.alignment));
    QK_FUZZ_CHECK(Ask(printer, AskLogo(place)).Logo(place) == placed);
    printer.Send(CancelLogo(place));
    QK_FUZZ_CHECK(Ask(printer, AskLogo(place)).Logo(place) == LogoPlacement{});
    const uint8_t option = kLogoOptions[in.Byte() % 3];
    const bool on = in.Byte() & 1;
    printer.Send(SetLogoOption(option, on));
    QK_FUZZ_CHECK(Ask(printer, AskLogoOption(option)).LogoOption(option) == on);
    return 0;
}
