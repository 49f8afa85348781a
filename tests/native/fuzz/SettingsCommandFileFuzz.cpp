// The settings command file of the file mode, built from any block contents: its header
// tells the body's lengths and check sum, and a printer reading the body takes every byte as
// part of a complete command (none left over, none printed).
#include <cstring>
#include "app/status/SettingsCommandFile.h"
#include "framework/store/PluginDataMgr.h"
#include "maker/printer/CommandInterpreter.h"
#include "tests/native/fuzz/FuzzSupport.h"
#include "tests/support/fakes/FakeProfile.h"

using namespace qk::app;
using qk::test::FakeProfile;

namespace {

// The blocks the file's commands are read from, with the sizes read.
constexpr std::pair<uint32_t, uint32_t> kBlocks[] = {{0x10003, 48}, {0x10005, 152}, {0x10006, 52},
                                                     {0x10007, 68}, {0x1000A, 60},  {0x1000B, 248}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    FakeProfile profile;
    PluginDataMgr store(profile.Files(), profile);
    const uint8_t flags = in.Byte();
    for (const auto& [key, readSize] : kBlocks) {
        QK_FUZZ_CHECK(store.CreateBlock(key, 1, readSize) == kStoreOk);
        // A block may be written shorter than it is read; the header's size comes from here.
        std::vector<uint8_t> content(readSize, 0);
        const std::size_t written = 16 + in.Byte() % (readSize - 15);
        const std::vector<uint8_t> bytes = in.Bytes(written);
        std::copy(bytes.begin(), bytes.end(), content.begin());
        QK_FUZZ_CHECK(store.WriteBlock(key, static_cast<uint32_t>(written), content.data()) ==
                      kStoreOk);
    }

    SettingsFileSource source;
    source.modelName = "QK-R40";
    source.enableFontA = flags & 1;
    source.enableFontB = flags & 2;
    std::vector<uint8_t> file;
    QK_FUZZ_CHECK(BuildSettingsCommandFile(store, source, file) == kSettingsFileOk);
    QK_FUZZ_CHECK(file.size() >= sizeof(qk::app::SettingsFileHeader));
    qk::app::SettingsFileHeader header;
    std::memcpy(&header, file.data(), sizeof header);
    const std::size_t body = file.size() - sizeof header;
    QK_FUZZ_CHECK(header.logoLength == 0 && header.settingsLength == body);
    QK_FUZZ_CHECK(header.bodyCrc == Crc32Bzip2(file.data() + sizeof header, body));

    qk::sim::PrinterState state;
    qk::sim::SetupMemory memory;
    qk::sim::CommandInterpreter printer(state, memory);
    std::vector<uint8_t> answers;
    printer.Feed(file.data() + sizeof header, body, answers);
    QK_FUZZ_CHECK(printer.Pending() == 0);
    QK_FUZZ_CHECK(state.Printed() == 0);
    QK_FUZZ_CHECK(!memory.InUserMode());
    return 0;
}
