// The communication library's port file and backup file (PortStore::Serialize and Parse): a
// text that parses gives the records it counts, writes back to a text that parses to the same
// records and writes the same again, and records made of what the file holds read back as
// they were made.
#include <cstring>
#include "maker/comm/PortStore.h"
#include "tests/native/fuzz/FuzzSupport.h"

using qk::comm::kPortTextChars;
using qk::comm::PortRecord;
using qk::comm::PortStore;

namespace {

std::u16string Slot(const char16_t* slot) {
    return std::u16string(slot, std::find(slot, slot + kPortTextChars, u'\0'));
}

// The texts up to their terminators and the numbers the file holds.
bool Same(const std::vector<PortRecord>& a, const std::vector<PortRecord>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const PortRecord &x = a[i], &y = b[i];
        if (Slot(x.interfaceKeyword) != Slot(y.interfaceKeyword) ||
            Slot(x.portName) != Slot(y.portName) || Slot(x.deviceName) != Slot(y.deviceName) ||
            Slot(x.devicePath) != Slot(y.devicePath) || Slot(x.deviceId) != Slot(y.deviceId) ||
            Slot(x.usbPortLabel) != Slot(y.usbPortLabel) || Slot(x.endpoint) != Slot(y.endpoint))
            return false;
        if (x.reserved1040 != y.reserved1040 || x.reserved1044 != y.reserved1044 ||
            x.connectorFlag != y.connectorFlag || x.serialFlag != y.serialFlag ||
            x.serialSetting1 != y.serialSetting1 || x.serialSetting2 != y.serialSetting2 ||
            x.serialSetting3 != y.serialSetting3 || x.origin != y.origin)
            return false;
    }
    return true;
}

bool FillsSlot(const std::vector<PortRecord>& records) {
    for (const PortRecord& r : records)
        for (const char16_t* slot : {r.interfaceKeyword, r.portName, r.deviceName, r.devicePath,
                                     r.deviceId, r.usbPortLabel})
            if (Slot(slot).size() == kPortTextChars - 1)
                return true;
    return false;
}

void CheckAnyText(const std::string& text) {
    std::vector<PortRecord> first;
    if (!PortStore::Parse(text, first))
        return;
    qk::ini::IniText ini;
    ini.Parse(text);
    QK_FUZZ_CHECK(static_cast<long>(first.size()) == ini.GetInt("Ports", "Count", -1));
    for (const PortRecord& r : first)
        QK_FUZZ_CHECK(r.interfaceKeyword[0] != 0 && r.portName[0] != 0);

    // What the store writes reads back as written and writes the same again. A value that a
    // NUL or the slot's end cut may end in a blank, which the file's lines drop: such a record
    // reads back without it.
    const std::string written = PortStore::Serialize(first);
    std::vector<PortRecord> second;
    QK_FUZZ_CHECK(PortStore::Parse(written, second));
    if (text.find('\0') == std::string::npos && !FillsSlot(first))
        QK_FUZZ_CHECK(Same(first, second) && PortStore::Serialize(second) == written);
    const std::string again = PortStore::Serialize(second);
    std::vector<PortRecord> third;
    QK_FUZZ_CHECK(PortStore::Parse(again, third) && Same(second, third));
    QK_FUZZ_CHECK(PortStore::Serialize(third) == again);
}

// Up to 60 characters, ended by a byte below 20h: printable ASCII, Latin letters, a kana and
// a character beyond the first plane, without blanks at either end (the file's lines drop
// them).
void MakeText(qk::fuzz::Input& in, char16_t* slot, bool needed) {
    std::u16string text;
    for (uint8_t b = in.Byte(); b >= 0x20 && text.size() < 60; b = in.Byte()) {
        if (b < 0x7F)
            text += static_cast<char16_t>(b);
        else if (b < 0xF0)
            text += static_cast<char16_t>(0x80 + b);
        else if (b < 0xF8)
            text += static_cast<char16_t>(0x30A0 + b);
        else
            text += u"\U0001F5A8";
    }
    while (!text.empty() && text.back() == u' ')
        text.pop_back();
    text.erase(0, text.find_first_not_of(u' ') == std::u16string::npos
                      ? text.size()
                      : text.find_first_not_of(u' '));
    if (needed && text.empty())
        text = u"COM1";
    std::copy(text.begin(), text.end(), slot);
}

void CheckMadeRecords(qk::fuzz::Input& in) {
    std::vector<PortRecord> made(in.Byte() % 5);
    for (PortRecord& r : made) {
        std::memset(&r, 0, sizeof r);
        MakeText(in, r.interfaceKeyword, true);
        MakeText(in, r.portName, true);
        MakeText(in, r.deviceName, false);
        MakeText(in, r.devicePath, false);
        MakeText(in, r.deviceId, false);
        MakeText(in, r.usbPortLabel, false);
        for (int32_t* n : {&r.reserved1040, &r.reserved1044, &r.connectorFlag, &r.serialFlag,
                           &r.serialSetting1, &r.serialSetting2, &r.serialSetting3, &r.origin})
            *n = static_cast<int32_t>(in.U32());
    }
    std::vector<PortRecord> read;
    QK_FUZZ_CHECK(PortStore::Parse(PortStore::Serialize(made), read));
    QK_FUZZ_CHECK(Same(made, read));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    CheckAnyText(std::string(reinterpret_cast<const char*>(data), size));
    qk::fuzz::Input in(data, size);
    CheckMadeRecords(in);
    return 0;
}
