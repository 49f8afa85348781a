// The check of a settings command file before it goes to a printer, on any bytes: it never
// reads outside them, and a file it lets through is what its header says (lengths, CRC, the
// model) with every setting a whole command that a printer takes without anything left over.
#include <cstring>
#include "maker/printer/CommandInterpreter.h"
#include "plugins/settingsfile/SettingsFileCheck.h"
#include "tests/native/fuzz/FuzzSupport.h"

using namespace qk::settingsfile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    CheckedFile file;
    const int32_t result = CheckSettingsFile(data, size, "QK-R40", file);
    QK_FUZZ_CHECK(result <= 0 && result >= kFileBadCommands);
    if (result != kFileOk) {
        QK_FUZZ_CHECK(file.settings.empty() && file.logoSection.empty());
        return 0;
    }
    const qk::app::SettingsFileHeader& header = file.header;
    QK_FUZZ_CHECK(size == sizeof header + header.logoLength + header.settingsLength);
    QK_FUZZ_CHECK(qk::app::Crc32Bzip2(data + sizeof header, size - sizeof header) ==
                  header.bodyCrc);
    QK_FUZZ_CHECK(std::memcmp(header.modelName, "QK-R40\r\n", 8) == 0);
    QK_FUZZ_CHECK(file.logoSection.size() == header.logoLength);
    qk::sim::PrinterState state;
    qk::sim::SetupMemory memory;
    qk::sim::CommandInterpreter printer(state, memory);
    for (const FileSetting& setting : file.settings) {
        QK_FUZZ_CHECK(setting.command.size() >= 5);
        QK_FUZZ_CHECK(setting.command.size() ==
                      5u + (setting.command[3] | static_cast<std::size_t>(setting.command[4]) << 8));
        std::vector<uint8_t> answers;
        printer.Feed(setting.command.data(), setting.command.size(), answers);
        QK_FUZZ_CHECK(printer.Pending() == 0);
    }
    return 0;
}
