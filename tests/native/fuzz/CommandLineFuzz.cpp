// The utility's command line: kept values fit the context's slots, and the same arguments
// given twice leave what they leave once (a later switch of a letter replaces, never adds).
#include "app/startup/ExtCommandLineInfo.h"
#include "app/startup/StartupRules.h"
#include "tests/native/fuzz/FuzzSupport.h"

using qk::app::CExtCommandLineInfo;

namespace {

bool Same(const CExtCommandLineInfo& a, const CExtCommandLineInfo& b) {
    return a.startMode == b.startMode && a.settingsFilePath == b.settingsFilePath &&
           a.descriptionFilePath == b.descriptionFilePath && a.portPrefix == b.portPrefix &&
           a.queueName == b.queueName && a.devicePath == b.devicePath &&
           a.callerKind == b.callerKind && a.maintenance == b.maintenance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    std::vector<std::u16string> arguments;
    while (in.Left() > 0)
        arguments.push_back(in.Text(0));

    CExtCommandLineInfo once;
    once.Parse(arguments);
    QK_FUZZ_CHECK(once.portPrefix.size() <= CExtCommandLineInfo::kMaxValue);
    QK_FUZZ_CHECK(once.queueName.size() <= CExtCommandLineInfo::kMaxValue);
    QK_FUZZ_CHECK(once.devicePath.size() <= CExtCommandLineInfo::kMaxValue);
    QK_FUZZ_CHECK(once.settingsFilePath.size() <= CExtCommandLineInfo::kMaxSettingsPath);

    CExtCommandLineInfo twice;
    twice.Parse(arguments);
    twice.Parse(arguments);
    QK_FUZZ_CHECK(Same(once, twice));

    // The number rules of the start-up texts, on each argument's length as a number.
    for (const std::u16string& argument : arguments) {
        char hex[16], dec[16];
        std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(argument.size()));
        std::snprintf(dec, sizeof dec, " %d", static_cast<int>(argument.size()));
        const std::string h(hex), d(dec);
        QK_FUZZ_CHECK(qk::app::LanguageNumber(std::u16string(h.begin(), h.end())) ==
                      static_cast<int32_t>(argument.size()));
        QK_FUZZ_CHECK(qk::app::LeadingNumber(std::u16string(d.begin(), d.end())) ==
                      static_cast<int32_t>(argument.size()));
        qk::app::ParseDeviceId(argument);
        qk::app::ParseInterfaceTypes(argument);
    }
    return 0;
}
