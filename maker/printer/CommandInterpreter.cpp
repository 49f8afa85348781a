#include "maker/printer/CommandInterpreter.h"
#include <algorithm>
#include <cstring>
#include <utility>
#include "maker/printer/StatusBytes.h"

namespace qk::sim {

namespace {
constexpr uint8_t DLE = 0x10, ESC = 0x1B, FS = 0x1C, GS = 0x1D;
// Commands longer than this are not kept: their bytes are skipped.
constexpr uint64_t kMaxCommand = 8u * 1024 * 1024;
constexpr std::size_t kPrintData = static_cast<std::size_t>(-1);

// Keys of the questions counted for the benchmarks: the command's bytes and its item.
constexpr uint32_t Question(uint8_t a, uint8_t b, uint8_t item) {
    return (static_cast<uint32_t>(a) << 16) | (static_cast<uint32_t>(b) << 8) | item;
}

bool Matches(const uint8_t* p, std::size_t size, std::size_t at, const char* text) {
    for (std::size_t i = 0; text[i]; ++i)
        if (at + i >= size || p[at + i] != static_cast<uint8_t>(text[i]))
            return false;
    return true;
}

// ESC commands without a parameter, and with one parameter byte.
constexpr char kEscPlain[] = "@<2";
constexpr char kEscOneByte[] = "!-3EGJMRUVadet{";
// Bar code systems of GS k, by m (0 to 6 end in NUL, 65 to 73 carry their length).
const char* const kBarCodeSystems[] = {"UPC-A", "UPC-E",   "EAN13",  "EAN8",   "CODE39",
                                       "ITF",   "CODABAR", "CODE93", "CODE128"};
constexpr std::size_t kMaxBarCodeData = 255;

bool IsIn(const char* list, uint8_t byte) {
    return byte != 0 && std::strchr(list, static_cast<char>(byte)) != nullptr;
}
} // namespace

CommandInterpreter::CommandInterpreter(PrinterState& state, SetupMemory& memory)
    : state_(state), memory_(memory), paper_(state, memory) {}

std::optional<std::array<uint8_t, 4>> CommandInterpreter::TakeAnsweredStatus() {
    return std::exchange(asbAnswered_, std::nullopt);
}

void CommandInterpreter::Feed(const uint8_t* data, std::size_t size,
                              std::vector<uint8_t>& answers) {
    if (skip_ > 0) {
        std::size_t skipped = static_cast<std::size_t>(std::min<uint64_t>(skip_, size));
        skip_ -= skipped;
        data += skipped;
        size -= skipped;
    }
    buffer_.insert(buffer_.end(), data, data + size);
    std::size_t used = 0;
    std::string printed;
    while (used < buffer_.size()) {
        const std::size_t before = answers.size();
        std::size_t n = ParseOne(buffer_.data() + used, buffer_.size() - used, answers);
        if (n == 0)
            break;
        if (n != kPrintData)
            ApplyFault(buffer_.data() + used, std::min(n, buffer_.size() - used), before, answers);
        if (n == kPrintData) {
            printed += static_cast<char>(buffer_[used]);
            paper_.Print(buffer_[used]);
            n = 1;
        }
        used += std::min(n, buffer_.size() - used);
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + used);
    if (!printed.empty())
        state_.AddPrinted(printed);
}

bool CommandInterpreter::TakeTimedFault() {
    const bool timed = timedFault_;
    timedFault_ = false;
    return timed;
}

void CommandInterpreter::ApplyFault(const uint8_t* command, std::size_t size, std::size_t from,
                                    std::vector<uint8_t>& answers) {
    const QuestionFault fault = state_.Behaviour().fault;
    if (fault.kind == QuestionFault::Kind::None || fault.question.empty() ||
        fault.question.size() > size || answers.size() <= from ||
        !std::equal(fault.question.begin(), fault.question.end(), command))
        return;
    const std::size_t length = answers.size() - from;
    switch (fault.kind) {
    case QuestionFault::Kind::Garbage:
        for (std::size_t i = from; i < answers.size(); ++i)
            answers[i] = static_cast<uint8_t>(0xA5 ^ (i - from) * 37) | 0x01;
        break;
    case QuestionFault::Kind::Truncate:
        answers.resize(from + length / 2);
        break;
    case QuestionFault::Kind::OverLong:
        answers.insert(answers.end() - 1, 300, 'x');
        break;
    default:
        timedFault_ = true;
        break;
    }
}

std::size_t CommandInterpreter::ParseOne(const uint8_t* p, std::size_t size,
                                         std::vector<uint8_t>& answers) {
    switch (p[0]) {
    case DLE:
        return ParseRealTime(p, size, answers);
    case ESC:
        return ParseEsc(p, size);
    case GS:
        return ParseGs(p, size, answers);
    case FS:
        return ParseFs(p, size, answers);
    default:
        return kPrintData;
    }
}

std::size_t CommandInterpreter::ParseRealTime(const uint8_t* p, std::size_t size,
                                              std::vector<uint8_t>& answers) {
    if (size < 2)
        return 0;
    if (p[1] != 0x04 && p[1] != 0x05)
        return kPrintData;
    if (size < 3)
        return 0;
    uint8_t n = p[2];
    if (p[1] == 0x04) {
        state_.Requests().Count(Question(DLE, 0x04, n));
        if (n >= 1 && n <= 4)
            answers.push_back(RealTimeStatus(state_.Conditions(), n));
        return 3;
    }
    // 10 05 1 and 10 05 2: recover from a recoverable error.
    if (n == 1 || n == 2)
        state_.UpdateConditions([](PrinterConditions& c) {
            if (c.error == ErrorKind::Recoverable)
                c.error = ErrorKind::None;
        });
    return 3;
}

std::size_t CommandInterpreter::ParseEsc(const uint8_t* p, std::size_t size) {
    if (size < 2)
        return 0;
    if (IsIn(kEscPlain, p[1])) {
        if (p[1] == '@')
            paper_.Initialize();
        return 2;
    }
    if (!IsIn(kEscOneByte, p[1]))
        return kPrintData;
    if (size < 3)
        return 0;
    switch (p[1]) {
    case 'd': // feed n lines
        paper_.FeedLines(p[2]);
        break;
    case 'J': // feed n dots
        if (p[2])
            paper_.FeedLines(std::max(1, p[2] / kFontHeightDots));
        break;
    case 't':
        paper_.SetCodeTable(p[2]);
        break;
    case 'R':
        paper_.SetCharacterSet(p[2]);
        break;
    default:
        break; // emphasis, alignment, spacing: the text stays as it is
    }
    return 3;
}

std::size_t CommandInterpreter::ParseBarCode(const uint8_t* p, std::size_t size) {
    // 1D 6B m: m 0..6 data NUL; m 65..73 n data.
    if (size < 3)
        return 0;
    const uint8_t m = p[2];
    std::size_t start = 3, length = 0, used = 0;
    if (m <= 6) {
        const uint8_t* end = static_cast<const uint8_t*>(std::memchr(p + 3, 0, size - 3));
        if (!end)
            return size - 3 > kMaxBarCodeData ? kPrintData : 0;
        length = static_cast<std::size_t>(end - (p + 3));
        used = 3 + length + 1;
    } else if (m >= 65 && m <= 73) {
        if (size < 4)
            return 0;
        start = 4;
        length = p[3];
        used = 4 + length;
        if (size < used)
            return 0;
    } else {
        return 3;
    }
    std::string data(p + start, p + start + length);
    // CODE128 data opens with its code set ("{B"), which is not printed.
    if (m == 73 && data.size() >= 2 && data[0] == '{')
        data.erase(0, 2);
    paper_.PrintBarCode(kBarCodeSystems[m <= 6 ? m : m - 65], data);
    return used;
}

void CommandInterpreter::Counter(const uint8_t* p, std::vector<uint8_t>& answers) {
    // 1D 67 30 m nL nH resets counter n; 1D 67 32 m nL nH sends it as 5F, digits, 00.
    const uint16_t number = static_cast<uint16_t>(p[4] | (p[5] << 8));
    if (p[2] == 0x30) {
        state_.Counters().Reset(number);
        return;
    }
    state_.Requests().Count(Question(GS, 0x67, static_cast<uint8_t>(number)));
    const auto value = state_.Counters().Value(number);
    if (!value)
        return;
    const std::string digits = std::to_string(*value);
    answers.push_back(0x5F);
    answers.insert(answers.end(), digits.begin(), digits.end());
    answers.push_back(0x00);
}

std::size_t CommandInterpreter::ParseGs(const uint8_t* p, std::size_t size,
                                        std::vector<uint8_t>& answers) {
    if (size < 2)
        return 0;
    switch (p[1]) {
    case 0x49: // 1D 49 n
        if (size < 3)
            return 0;
        Identify(p[2], answers);
        return 3;
    case 0x21: // character size
    case 0x42: // reverse
    case 0x48: // bar code text position
    case 0x66: // bar code text font
    case 0x68: // bar code height
    case 0x77: // bar code module width
        if (size < 3)
            return 0;
        if (p[1] == 0x21)
            paper_.SetCharacterSize(p[2]);
        else if (p[1] == 0x68)
            paper_.SetBarCodeHeight(p[2]);
        return 3;
    case 0x56: // 1D 56 m: cut; m 65 and 66 feed n first
        if (size < 3)
            return 0;
        if (p[2] == 65 || p[2] == 66) {
            if (size < 4)
                return 0;
            paper_.Cut();
            return 4;
        }
        paper_.Cut();
        return 3;
    case 0x6B:
        return ParseBarCode(p, size);
    case 0x67: // 1D 67 30|32 m nL nH
        if (size < 3)
            return 0;
        if (p[2] != 0x30 && p[2] != 0x32)
            return kPrintData;
        if (size < 6)
            return 0;
        Counter(p, answers);
        return 6;
    case 0x61: // 1D 61 n
        if (size < 3)
            return 0;
        asbMask_ = p[2];
        if (asbMask_ != 0) {
            asbAnswered_ = AutomaticStatus(state_.Conditions());
            answers.insert(answers.end(), asbAnswered_->begin(), asbAnswered_->end());
        }
        return 3;
    case 0x28: { // 1D 28 45 / 1D 28 4C pL pH ...
        if (size < 5)
            return 0;
        if (p[2] != 0x45 && p[2] != 0x4C)
            return kPrintData;
        std::size_t length = p[3] | (p[4] << 8);
        if (size < 5 + length)
            return 0;
        if (p[2] == 0x45)
            UserSetup(p + 5, length, answers);
        else
            GraphicsCommand(p + 5, length, answers);
        return 5 + length;
    }
    case 0x38: { // 1D 38 4C p1 p2 p3 p4 ...
        if (size < 3)
            return 0;
        if (p[2] != 0x4C)
            return kPrintData;
        if (size < 7)
            return 0;
        uint64_t length = static_cast<uint64_t>(p[3]) | (static_cast<uint64_t>(p[4]) << 8) |
                          (static_cast<uint64_t>(p[5]) << 16) | (static_cast<uint64_t>(p[6]) << 24);
        if (length > kMaxCommand) {
            uint64_t here = size - 7;
            skip_ = length - std::min(length, here);
            return static_cast<std::size_t>(7 + std::min(length, here));
        }
        if (size < 7 + length)
            return 0;
        GraphicsCommand(p + 7, static_cast<std::size_t>(length), answers);
        return static_cast<std::size_t>(7 + length);
    }
    default:
        return kPrintData;
    }
}

std::size_t CommandInterpreter::ParseFs(const uint8_t* p, std::size_t size,
                                        std::vector<uint8_t>& answers) {
    if (size < 2)
        return 0;
    if (p[1] == 0x71)
        return ParseBitImages(p, size);
    if (p[1] != 0x28)
        return kPrintData;
    if (size < 3)
        return 0;
    if (p[2] != 0x45)
        return kPrintData;
    if (size < 5)
        return 0;
    std::size_t length = p[3] | (p[4] << 8);
    if (size < 5 + length)
        return 0;
    LogoSetup(p + 5, length, answers);
    return 5 + length;
}

std::size_t CommandInterpreter::ParseBitImages(const uint8_t* p, std::size_t size) {
    // 1C 71 n, then per image xL xH yL yH and (x * y * 8) bytes; n replaces all images.
    if (size < 3)
        return 0;
    int count = p[2];
    uint64_t at = 3;
    for (int i = 0; i < count; ++i) {
        if (size < at + 4)
            return 0;
        uint64_t x = p[at] | (p[at + 1] << 8), y = p[at + 2] | (p[at + 3] << 8);
        uint64_t data = x * y * 8;
        if (at + 4 + data > kMaxCommand) {
            // Too large to keep: the rest of the command is skipped as it arrives.
            uint64_t total = at + 4 + data, here = size;
            skip_ = total - std::min(total, here);
            return size;
        }
        at += 4 + data;
        if (size < at)
            return 0;
    }
    memory_.DefineBitImages(count);
    return static_cast<std::size_t>(at);
}

void CommandInterpreter::Identify(uint8_t n, std::vector<uint8_t>& answers) {
    state_.Requests().Count(Question(GS, 0x49, n));
    PrinterIdentity id = state_.Identity();
    AnswerBehaviour how = state_.Behaviour();
    if (how.garbage) {
        // Bytes that follow no answer format: no header, no terminator where one belongs.
        const uint8_t noise[] = {0xFF, 0x81, 0x7E, 0x00, 0xC3, 0x5A};
        answers.insert(answers.end(), noise, noise + (n >= 65 ? sizeof(noise) : 1));
        return;
    }
    uint8_t single = 0;
    switch (n) {
    case 1:
    case 49:
        single = id.modelId;
        break;
    case 2:
    case 50:
        single = id.typeId;
        break;
    case 3:
    case 51:
        single = id.versionId;
        break;
    case 65:
        return PutText(0x5F, 0, id.firmware, answers);
    case 66:
        return PutText(0x5F, 0, id.maker, answers);
    case 67:
        return PutText(0x5F, 0, id.model, answers);
    case 68:
        return PutText(0x5F, 0, id.serial, answers);
    case 69:
        return PutText(0x5F, 0, id.fonts, answers);
    default:
        return; // unknown requests are not answered
    }
    if (!how.truncate)
        answers.push_back(single);
}

void CommandInterpreter::PutText(uint8_t header, uint8_t kind, const std::string& text,
                                 std::vector<uint8_t>& answers) const {
    answers.push_back(header);
    if (kind)
        answers.push_back(kind);
    if (state_.Behaviour().truncate) {
        answers.insert(answers.end(), text.begin(), text.begin() + text.size() / 2);
        return;
    }
    answers.insert(answers.end(), text.begin(), text.end());
    answers.push_back(0x00);
}

void CommandInterpreter::UserSetup(const uint8_t* p, std::size_t size,
                                   std::vector<uint8_t>& answers) {
    if (size < 1)
        return;
    const uint8_t fn = p[0];
    if (fn == 1) { // enter user setting mode with "IN"
        if (Matches(p, size, 1, "IN")) {
            state_.Requests().Count(Question(0x45, fn, 0));
            memory_.SetUserMode(true);
            const uint8_t ack[] = {0x37, 0x20, 0x00};
            answers.insert(answers.end(), ack, ack + sizeof(ack));
        }
        return;
    }
    if (fn == 2) { // leave with "OUT"
        if (Matches(p, size, 1, "OUT"))
            memory_.SetUserMode(false);
        return;
    }
    // Setup reads are questions even when the mode leaves them unanswered.
    if ((fn == 4 || fn == 6) && size >= 2)
        state_.Requests().Count(Question(0x45, fn, p[1]));
    // The other functions work only in user setting mode.
    if (!memory_.InUserMode())
        return;
    switch (fn) {
    case 3: // [a b1..b8]...
        for (std::size_t at = 1; at + 9 <= size; at += 9)
            memory_.ApplyMemorySwitch(p[at], p + at + 1);
        break;
    case 4: // read memory switch a
        if (size >= 2 && MayAnswerSetupRead()) {
            std::string bits = memory_.MemorySwitch(p[1]);
            answers.push_back(0x37);
            answers.push_back(0x21);
            answers.insert(answers.end(), bits.begin(), bits.end());
            answers.push_back(0x00);
        }
        break;
    case 5: // [a nL nH]...
        for (std::size_t at = 1; at + 3 <= size; at += 3)
            memory_.SetCustomValue(p[at], static_cast<uint16_t>(p[at + 1] | (p[at + 2] << 8)));
        break;
    case 6: // read customized value a: "a" 1F "n", an unset value reads as its factory value
        if (size >= 2 && !memory_.IsMuted(p[1]) && MayAnswerSetupRead()) {
            std::string text =
                std::to_string(p[1]) + "\x1F" + std::to_string(memory_.HeldCustomValue(p[1]));
            answers.push_back(0x37);
            answers.push_back(0x27);
            answers.insert(answers.end(), text.begin(), text.end());
            answers.push_back(0x00);
        }
        break;
    default:
        break;
    }
}

bool CommandInterpreter::MayAnswerSetupRead() {
    const int32_t left = state_.Behaviour().setupReadsBeforeSilence;
    if (left < 0)
        return true;
    // The printer falls silent here, in the middle of a settings read.
    state_.UpdateBehaviour([](AnswerBehaviour& b) {
        if (b.setupReadsBeforeSilence == 0) {
            b.silent = true;
            b.setupReadsBeforeSilence = -1;
        } else if (b.setupReadsBeforeSilence > 0) {
            --b.setupReadsBeforeSilence;
        }
    });
    return left > 0;
}

void CommandInterpreter::LogoSetup(const uint8_t* p, std::size_t size,
                                   std::vector<uint8_t>& answers) {
    // fn m ...: 3C cancel ("0"/"1" top/bottom, "CLR"), 3E top logo, 3F bottom logo,
    // 40 logo options [a n]..., 3D asks the logo at '0'/'1', 41 asks option a.
    if (size < 2 || p[1] != 0x02)
        return;
    switch (p[0]) {
    case 0x3D:
        if (size >= 3 && (p[2] == '0' || p[2] == '1')) {
            state_.Requests().Count(Question(FS, p[0], p[2]));
            answers.insert(answers.end(), {0x37, 0x3D, p[2]});
            if (auto logo = memory_.Logo(p[2] == '0'))
                answers.insert(answers.end(), {logo->keyCode1, logo->keyCode2, logo->alignment});
            answers.push_back(0x00);
        }
        break;
    case 0x41:
        if (size >= 3) {
            state_.Requests().Count(Question(FS, p[0], p[2]));
            auto value = memory_.LogoOption(p[2]);
            answers.insert(answers.end(), {0x37, 0x41, p[2], value ? *value : uint8_t{'0'}, 0x00});
        }
        break;
    case 0x3C:
        if (size >= 3 && Matches(p, size, 3, "CLR") && (p[2] == '0' || p[2] == '1'))
            memory_.ClearLogo(p[2] == '0');
        break;
    case 0x3E:
    case 0x3F:
        if (size >= 5) {
            LogoSetting logo{p[2], p[3], p[4]};
            memory_.SetLogo(p[0] == 0x3E, logo);
        }
        break;
    case 0x40:
        for (std::size_t at = 2; at + 2 <= size; at += 2)
            memory_.SetLogoOption(p[at], p[at + 1]);
        break;
    default:
        break;
    }
}

void CommandInterpreter::GraphicsCommand(const uint8_t* p, std::size_t size,
                                         std::vector<uint8_t>& answers) {
    // m fn ...: 41 "CLR" deletes all, 42 kc1 kc2 deletes one, 43 defines, 40 "KC" lists.
    if (size < 2 || p[0] != 0x30)
        return;
    switch (p[1]) {
    case 0x40:
        if (Matches(p, size, 2, "KC")) {
            state_.Requests().Count(Question(0x4C, 0x40, 0));
            answers.push_back(0x37);
            answers.push_back(0x72);
            for (auto [kc1, kc2] : memory_.GraphicsKeys()) {
                answers.push_back(kc1);
                answers.push_back(kc2);
            }
            answers.push_back(0x00);
        }
        break;
    case 0x41:
        if (Matches(p, size, 2, "CLR"))
            memory_.DeleteAllGraphics();
        break;
    case 0x42:
        if (size >= 4)
            memory_.DeleteGraphics(p[2], p[3]);
        break;
    case 0x45: // kc1 kc2 x y: prints the stored graphic
        if (size >= 4)
            paper_.PrintGraphic(p[2], p[3]);
        break;
    case 0x43: // a kc1 kc2 b xL xH yL yH data
        if (size >= 10)
            DefineGraphics(p, size);
        break;
    default:
        break;
    }
}

void CommandInterpreter::DefineGraphics(const uint8_t* p, std::size_t size) {
    // The data is the dots, led by a colour byte '1'..'4' or not; any other length is a
    // malformed command and nothing is kept.
    GraphicsEntry entry;
    entry.width = static_cast<uint16_t>(p[6] | (p[7] << 8));
    entry.height = static_cast<uint16_t>(p[8] | (p[9] << 8));
    entry.dataBytes = static_cast<uint32_t>(size - 10);
    const std::size_t dots = static_cast<std::size_t>((entry.width + 7) / 8) * entry.height;
    const uint8_t* data = p + 10;
    if (dots == 0)
        return;
    if (entry.dataBytes == dots + 1 && data[0] >= '1' && data[0] <= '4')
        ++data;
    else if (entry.dataBytes != dots)
        return;
    entry.dots.assign(data, data + dots);
    memory_.DefineGraphics(p[3], p[4], entry);
}

} // namespace qk::sim
