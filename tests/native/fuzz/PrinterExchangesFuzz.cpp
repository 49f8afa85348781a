// The paper and logo pages' exchanges against a printer whose answers the input garbles:
// bytes changed, lost, added, or an answer that stops. Each exchange ends, leaves the printer
// out of user setting mode; and where answers were only cut short (bytes changed, lost or
// added can make another well-formed answer, which no page can tell), it says it read or took
// everything only when it did: what it read is what a clean reading gives.
#include "plugins/logo/LogoExchange.h"
#include "plugins/paper/SettingsExchange.h"
#include "tests/support/SimulatedPrinter.h"
#include "tests/native/fuzz/FuzzSupport.h"

using namespace qk;

namespace {

// The printer's answers as the input garbles them; what the page sends arrives whole.
class GarblingLink : public comm::IPrinterLink {
public:
    GarblingLink(test::SimulatedPrinter& printer, fuzz::Input& faults)
        : printer_(printer), faults_(faults) {}

    bool Send(const comm::Bytes& bytes) override {
        stopped_ = false;
        return printer_.Send(bytes);
    }
    bool Receive(uint8_t& byte, int32_t timeoutMs) override {
        // Every wait of the exchange is bounded; a run of them without end is a hang.
        QK_FUZZ_CHECK(timeoutMs >= 0 && ++receives_ < 200000);
        if (stopped_)
            return false;
        const uint8_t fault = faults_.Left() ? faults_.Byte() : 0;
        switch (fault < 0xF0 ? 0 : fault & 3) {
        case 1: // a byte of line noise before the real one
            byte = faults_.Byte();
            altered_ = true;
            return true;
        case 2: // the byte is lost
            altered_ = true;
            printer_.Receive(byte, timeoutMs);
            break;
        case 3: // the answer stops here
            stopped_ = true;
            return false;
        default:
            break;
        }
        if (!printer_.Receive(byte, timeoutMs))
            return false;
        if (fault >= 0xE0 && fault < 0xF0) {
            byte ^= static_cast<uint8_t>(1u << (fault & 7)); // a changed bit
            altered_ = true;
        }
        return true;
    }
    void DiscardAnswers() override { printer_.DiscardAnswers(); }
    // Some answer was changed rather than only cut short.
    bool Altered() const { return altered_; }

private:
    test::SimulatedPrinter& printer_;
    fuzz::Input& faults_;
    bool stopped_ = false;
    bool altered_ = false;
    long receives_ = 0;
};

bool OutOfUserSettingMode(test::SimulatedPrinter& printer) {
    return printer.Control("get usermode") == "OK 0";
}

paper::PaperSettings CleanPaperRead(test::SimulatedPrinter& printer) {
    paper::PaperSettings settings;
    paper::SettingsExchange exchange(printer, 0);
    QK_FUZZ_CHECK(exchange.ReadAll(settings).result == 1);
    return settings;
}

logo::PrinterLogos CleanLogoRead(test::SimulatedPrinter& printer) {
    logo::PrinterLogos held;
    logo::LogoExchange exchange(printer, 0);
    QK_FUZZ_CHECK(exchange.Read(held).result == 1);
    return held;
}

void CheckPaper(test::SimulatedPrinter& printer, fuzz::Input& in) {
    GarblingLink link(printer, in);
    paper::SettingsExchange exchange(link, 0);
    paper::PaperSettings read;
    const paper::ExchangeReport report = exchange.ReadAll(read);
    QK_FUZZ_CHECK(OutOfUserSettingMode(printer));
    if (report.result == 1 && !link.Altered())
        QK_FUZZ_CHECK(report.missed.empty() && read == CleanPaperRead(printer));

    paper::PaperSettings wanted = read;
    wanted.SetSwitch6LastBit(!read.Switch6LastBit());
    paper::PaperSettings held = read;
    const paper::ExchangeReport written = exchange.WriteChanges(wanted, held);
    QK_FUZZ_CHECK(OutOfUserSettingMode(printer));
    // Taken: the page holds what it wanted, and the printer holds the switch it was sent (the
    // values a garbled read missed were never the page's to write).
    if (written.result == 1 && !link.Altered()) {
        QK_FUZZ_CHECK(held == wanted);
        QK_FUZZ_CHECK(CleanPaperRead(printer).Switch6LastBit() == wanted.Switch6LastBit());
    }
}

void CheckLogo(test::SimulatedPrinter& printer, fuzz::Input& in) {
    GarblingLink link(printer, in);
    logo::LogoExchange exchange(link, 0);
    logo::PrinterLogos held;
    const logo::LogoReport read = exchange.Read(held);
    QK_FUZZ_CHECK(OutOfUserSettingMode(printer));
    if (read.result == 1 && !link.Altered()) {
        const logo::PrinterLogos clean = CleanLogoRead(printer);
        QK_FUZZ_CHECK(read.missed == 0 && held.stored == clean.stored &&
                      held.settings == clean.settings);
    }
    logo::Raster raster{16, 4, comm::Bytes(8, 0x5A)};
    const logo::KeyCode code{'0', '1'};
    const logo::LogoReport stored = exchange.Write(&raster, code, held.settings, held);
    QK_FUZZ_CHECK(OutOfUserSettingMode(printer));
    if (stored.result == 1 && !link.Altered())
        QK_FUZZ_CHECK(printer.Memory().Graphics(code.first, code.second).has_value());
    const logo::LogoReport deleted = exchange.Delete(code, held);
    QK_FUZZ_CHECK(OutOfUserSettingMode(printer));
    if (deleted.result == 1 && !link.Altered())
        QK_FUZZ_CHECK(!printer.Memory().Graphics(code.first, code.second).has_value());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    test::SimulatedPrinter printer;
    if (in.Byte() & 1)
        CheckPaper(printer, in);
    else
        CheckLogo(printer, in);
    return 0;
}
