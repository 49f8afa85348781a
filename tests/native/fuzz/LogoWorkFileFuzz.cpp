// The logo work file that the settings command file carries: a file taken as a logo is one
// whole command, so the printer reads what follows it as commands again (a status request
// right after it is answered at once); the graphic the logo page defines is taken, and the
// same cut short or with a byte more is not.
#include "app/status/SettingsCommandFile.h"
#include "plugins/logo/GraphicsCommands.h"
#include "tests/support/SimulatedPrinter.h"
#include "tests/native/fuzz/FuzzSupport.h"

using namespace qk;

namespace {

// What the printer answers to a status request sent right behind the logo.
std::vector<uint8_t> AnswerBehind(const std::vector<uint8_t>& logo) {
    test::SimulatedPrinter printer;
    printer.Send(logo);
    printer.DiscardAnswers();
    printer.Send(comm::AskRealTimeStatus());
    std::vector<uint8_t> answer;
    uint8_t byte = 0;
    while (printer.Receive(byte, 0))
        answer.push_back(byte);
    return answer;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::vector<uint8_t> file = in.Bytes(in.U32() % 4096);
    if (app::ClassifyLogo(file) > 0)
        QK_FUZZ_CHECK(AnswerBehind(file).size() == 1);

    logo::Raster raster;
    raster.width = 1 + static_cast<int32_t>(in.U32() % 600);
    raster.height = 1 + static_cast<int32_t>(in.U32() % 60);
    raster.bits.assign(static_cast<std::size_t>(raster.RowBytes()) * raster.height, in.Byte());
    std::vector<uint8_t> defined = logo::DefineGraphics({'0', '1'}, raster);
    QK_FUZZ_CHECK(app::ClassifyLogo(defined) == app::kLogoRasterGraphics);
    std::vector<uint8_t> longer = defined;
    longer.push_back(in.Byte());
    QK_FUZZ_CHECK(app::ClassifyLogo(longer) < 0);
    defined.pop_back();
    QK_FUZZ_CHECK(app::ClassifyLogo(defined) < 0);
    return 0;
}
