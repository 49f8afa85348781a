#include "plugins/settingsfile/UnattendedRun.h"

#include "framework/context/TextSlot.h"
#include "framework/context/UtilContext.h"
#include "platform/os/RealOs.h"
#include "framework/comm/BoundedLink.h"
#include "framework/comm/QkcPrinterLink.h"
#include "plugins/settingsfile/SettingsFileIo.h"
#include "plugins/settingsfile/UnattendedReport.h"

namespace qk::settingsfile {
namespace {

// How long one answer is waited for; the whole run's answers are bounded by the link.
constexpr int32_t kAnswerWaitMs = 1000;
constexpr char16_t kServedModel[] = u"QK-R40";

std::u16string Text(const char16_t* text) {
    return text ? std::u16string(text) : std::u16string();
}

int32_t Finish(const UnattendedRequest& request, UnattendedResult& result) {
    const std::string text = ResultFileText(result);
    const std::u16string path = Text(request.resultPath);
    // A tool that finds no result file still has the exit code.
    if (!path.empty())
        os::RealFileSystem().WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
    return result.code;
}

} // namespace

int32_t RunUnattended(UtilContext& context, const UnattendedRequest& request) {
    UnattendedResult result;
    result.filePath = Text(request.filePath);
    result.port = Text(request.port);
    result.checkOnly = request.checkOnly != 0;

    // The file first: a refused file never reaches, nor even opens, the printer.
    CheckedFile file;
    const int32_t checked = ReadSettingsFile(result.filePath, kServedModel, file);
    if (checked != kFileOk) {
        result.code = kUnattendedFileRefused;
        result.detail = RefusalReason(checked);
        return Finish(request, result);
    }
    result.file = &file;
    const int32_t opened =
        request.openPrinter ? request.openPrinter(request.openUser) : kUnattendedNoPrinter;
    if (opened != 0) {
        result.code = opened;
        result.detail = u"the port is not registered, is in use or did not answer";
        return Finish(request, result);
    }
    // The printer's own name decides, as it does for a file chosen on the page.
    const std::u16string model(
        SlotView(context.portRecord.deviceName, std::size(context.portRecord.deviceName)));
    if (ReadSettingsFile(result.filePath, model, file) != kFileOk) {
        result.code = kUnattendedNoPrinter;
        result.detail = u"the printer reports " + model;
        return Finish(request, result);
    }

    comm::CQkcPrinterLink port(context.binding, kAnswerWaitMs);
    comm::CBoundedLink link(port, comm::kExchangeAnswerLimitMs);
    SettingsFileApply apply(link, kAnswerWaitMs);
    ApplyReport report = apply.ReadHeld(file);
    result.report = &report;
    result.code = HeldExitCode(file, report, result.checkOnly);
    if (result.code == kUnattendedLost)
        result.detail = u"not every setting could be read, nothing was sent";
    if (result.checkOnly || result.code != kUnattendedDiffers)
        return Finish(request, result);
    apply.Apply(file, report);
    result.applied = true;
    result.code = AppliedExitCode(report);
    return Finish(request, result);
}

} // namespace qk::settingsfile
