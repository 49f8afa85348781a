// The utility's command line: kept values fit the context's slots, and the same arguments
// given twice leave what they leave once (a later switch of a letter replaces, never adds);
// the number lists of the description file read back as written.
#include <array>
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

// "DeviceID" and "InterfaceType" as a description file writes them: numbers the input chooses,
// between separators it chooses, read back as written.
void CheckNumberLists(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    std::array<int32_t, 10> ids{};
    std::u16string idText;
    const std::size_t idCount = in.Byte() % 11;
    for (std::size_t i = 0; i < idCount; ++i) {
        ids[i] = static_cast<int32_t>(in.U32() % 1000000);
        const std::string digits = std::to_string(ids[i]);
        idText.append(digits.begin(), digits.end());
        char16_t separator = static_cast<char16_t>(in.Byte());
        if (separator >= u'0' && separator <= u'9')
            separator = u',';
        if (i + 1 < idCount)
            idText += separator;
    }
    QK_FUZZ_CHECK(qk::app::ParseDeviceId(idText) == ids);

    std::array<int32_t, 5> types{-1, -1, -1, -1, -1};
    std::u16string typeText;
    const std::size_t typeCount = in.Byte() % 6;
    for (std::size_t i = 0; i < typeCount; ++i) {
        types[i] = static_cast<int32_t>(in.U32() % 100000);
        const std::string digits = (i ? "," : "") + std::to_string(types[i]);
        typeText.append(digits.begin(), digits.end());
    }
    // What follows the last value that reads is not a value.
    typeText += u",x";
    QK_FUZZ_CHECK(qk::app::ParseInterfaceTypes(typeText) == types);
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
    }
    CheckNumberLists(data, size);
    return 0;
}
