#include "maker/printer/ControlCommand.h"
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace qk::sim {

namespace {
const char* const kInkNames[] = {"none", "nocart1",  "nocart2", "out1",
                                 "out2", "cleaning", "near1",   "near2"};
const char* const kErrorNames[] = {"none", "recoverable", "auto", "cutter", "fatal"};

bool ParseSwitch(const std::string& word, bool& value) {
    if (word == "on" || word == "1" || word == "open") {
        value = true;
        return true;
    }
    if (word == "off" || word == "0" || word == "closed") {
        value = false;
        return true;
    }
    return false;
}

bool ParseNumber(const std::string& word, long min, long max, long& value) {
    if (word.empty())
        return false;
    char* end = nullptr;
    long parsed = std::strtol(word.c_str(), &end, 0);
    if (*end != '\0' || parsed < min || parsed > max)
        return false;
    value = parsed;
    return true;
}

std::string Rest(const std::string& line, std::size_t words) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < words; ++i) {
        at = line.find_first_not_of(' ', at);
        at = line.find(' ', at);
        if (at == std::string::npos)
            return "";
    }
    at = line.find_first_not_of(' ', at);
    return at == std::string::npos ? "" : line.substr(at);
}
} // namespace

const char* ControlCommand::Help() {
    return "online | offline | cover open|closed | paper ok|near|out | "
           "ink none|nocart1|nocart2|out1|out2|cleaning|near1|near2 | "
           "error none|recoverable|auto|cutter|fatal | fatal on|off | silent on|off | silent after "
           "N | "
           "mute custom N | mute off | "
           "garbage on|off | truncate on|off | delay MS | "
           "answer HEX garbage|truncate|long|late MS|trickle MS | answer off | model NAME | "
           "modelid N | serial TEXT | "
           "print TEXT | drop | drop after N | refuse on|off | status | get "
           "msw|custom|logo|logoopt|graphics|graphic|bitimages|"
           "usermode|printed|connections|arrived|requests|counters|counter N|receipt | requests "
           "reset | "
           "dump | quit";
}

// "answer 1D4943 truncate": the answers to questions starting with those bytes go wrong.
std::string ControlCommand::SetQuestionFault(const std::vector<std::string>& w) {
    QuestionFault fault;
    if (w.size() == 2 && w[1] == "off") {
        state_.UpdateBehaviour([&](AnswerBehaviour& b) { b.fault = fault; });
        return "OK";
    }
    const std::string hex = w.size() > 2 ? w[1] : "";
    if (hex.size() % 2 != 0 || hex.find_first_not_of("0123456789abcdefABCDEF") != hex.npos)
        return "ERR question bytes in hex, e.g. 1D4943";
    for (std::size_t i = 0; i < hex.size(); i += 2)
        fault.question.push_back(
            static_cast<uint8_t>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16)));
    long ms = 0;
    const std::string kind = w.size() > 2 ? w[2] : "";
    const bool timed = kind == "late" || kind == "trickle";
    if (fault.question.empty() || (timed && (w.size() != 4 || !ParseNumber(w[3], 0, 60000, ms))) ||
        (!timed && w.size() != 3))
        return "ERR answer HEX garbage|truncate|long|late MS|trickle MS | answer off";
    if (kind == "garbage")
        fault.kind = QuestionFault::Kind::Garbage;
    else if (kind == "truncate")
        fault.kind = QuestionFault::Kind::Truncate;
    else if (kind == "long")
        fault.kind = QuestionFault::Kind::OverLong;
    else if (kind == "late")
        fault.kind = QuestionFault::Kind::Late;
    else if (kind == "trickle")
        fault.kind = QuestionFault::Kind::Trickle;
    else
        return "ERR unknown answer fault: " + kind;
    fault.ms = static_cast<uint32_t>(ms);
    state_.UpdateBehaviour([&](AnswerBehaviour& b) { b.fault = fault; });
    return "OK";
}

std::string ControlCommand::Execute(const std::string& rawLine) {
    std::string line = rawLine;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
        line.pop_back();
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string word; in >> word;)
        w.push_back(word);
    if (w.empty())
        return "ERR empty command";
    const std::string& cmd = w[0];
    const std::string arg = w.size() > 1 ? w[1] : "";
    bool flag = false;
    long number = 0;

    if (cmd == "online") {
        state_.SetConditions(PrinterConditions{});
    } else if (cmd == "offline") {
        state_.UpdateConditions([](PrinterConditions& c) { c.offline = true; });
    } else if (cmd == "cover" && ParseSwitch(arg, flag)) {
        state_.UpdateConditions([&](PrinterConditions& c) { c.coverOpen = flag; });
    } else if (cmd == "paper" && (arg == "ok" || arg == "near" || arg == "out")) {
        state_.UpdateConditions([&](PrinterConditions& c) {
            c.paperOut = arg == "out";
            c.paperNearEnd = arg != "ok";
        });
    } else if (cmd == "ink") {
        int found = -1;
        for (int i = 0; i < 8; ++i)
            if (arg == kInkNames[i])
                found = i;
        if (found < 0)
            return "ERR unknown ink condition";
        state_.UpdateConditions(
            [&](PrinterConditions& c) { c.ink = static_cast<InkCondition>(found); });
    } else if (cmd == "error") {
        int found = -1;
        for (int i = 0; i < 5; ++i)
            if (arg == kErrorNames[i])
                found = i;
        if (found < 0)
            return "ERR unknown error kind";
        state_.UpdateConditions(
            [&](PrinterConditions& c) { c.error = static_cast<ErrorKind>(found); });
    } else if (cmd == "fatal" && ParseSwitch(arg, flag)) {
        state_.UpdateConditions(
            [&](PrinterConditions& c) { c.error = flag ? ErrorKind::Fatal : ErrorKind::None; });
    } else if (cmd == "silent" && arg == "after" && w.size() > 2 &&
               ParseNumber(w[2], 0, 10000, number)) {
        state_.UpdateBehaviour(
            [&](AnswerBehaviour& b) { b.setupReadsBeforeSilence = static_cast<int32_t>(number); });
    } else if (cmd == "mute" && arg == "custom" && w.size() > 2 &&
               ParseNumber(w[2], 0, 255, number)) {
        memory_.SetMuted(static_cast<int>(number), true);
    } else if (cmd == "mute" && arg == "off") {
        memory_.ClearMuted();
    } else if (cmd == "silent" && ParseSwitch(arg, flag)) {
        state_.UpdateBehaviour([&](AnswerBehaviour& b) { b.silent = flag; });
    } else if (cmd == "garbage" && ParseSwitch(arg, flag)) {
        state_.UpdateBehaviour([&](AnswerBehaviour& b) { b.garbage = flag; });
    } else if (cmd == "truncate" && ParseSwitch(arg, flag)) {
        state_.UpdateBehaviour([&](AnswerBehaviour& b) { b.truncate = flag; });
    } else if (cmd == "answer") {
        return SetQuestionFault(w);
    } else if (cmd == "delay" && ParseNumber(arg, 0, 60000, number)) {
        state_.UpdateBehaviour(
            [&](AnswerBehaviour& b) { b.delayMs = static_cast<uint32_t>(number); });
    } else if (cmd == "model" && !Rest(line, 1).empty()) {
        std::string name = Rest(line, 1).substr(0, 80);
        state_.UpdateIdentity([&](PrinterIdentity& id) { id.model = name; });
    } else if (cmd == "modelid" && ParseNumber(arg, 0, 255, number)) {
        state_.UpdateIdentity(
            [&](PrinterIdentity& id) { id.modelId = static_cast<uint8_t>(number); });
    } else if (cmd == "serial" && !arg.empty()) {
        state_.UpdateIdentity([&](PrinterIdentity& id) { id.serial = arg.substr(0, 80); });
    } else if (cmd == "print" && !Rest(line, 1).empty()) {
        // As if an application printed the line on the printer port.
        state_.AddPrinted(Rest(line, 1) + "\n");
    } else if (cmd == "drop" && arg == "after" && w.size() > 2 &&
               ParseNumber(w[2], 0, 100000000, number)) {
        state_.DropAfter(static_cast<uint64_t>(number));
    } else if (cmd == "drop") {
        state_.RequestDrop();
    } else if (cmd == "refuse" && ParseSwitch(arg, flag)) {
        state_.SetRefusing(flag);
    } else if (cmd == "requests" && arg == "reset" && w.size() == 2) {
        state_.Requests().Reset();
    } else if (cmd == "status") {
        return "OK " + Status();
    } else if (cmd == "get") {
        return Get(arg, w.size() > 2 ? w[2] : "");
    } else if (cmd == "dump") {
        return "OK " + Status() + " " + memory_.Describe();
    } else if (cmd == "help") {
        return std::string("OK ") + Help();
    } else if (cmd == "quit") {
        state_.RequestQuit();
    } else {
        return "ERR unknown command or argument: " + line;
    }
    return "OK";
}

std::string ControlCommand::Get(const std::string& what, const std::string& argument) {
    long n = 0;
    bool hasNumber = ParseNumber(argument, 0, 255, n);
    if (what == "msw" && hasNumber)
        return "OK " + memory_.MemorySwitch(static_cast<int>(n));
    if (what == "custom" && hasNumber) {
        auto value = memory_.CustomValue(static_cast<int>(n));
        return value ? "OK " + std::to_string(*value) : "OK none";
    }
    if (what == "logo" && (argument == "top" || argument == "bottom")) {
        auto logo = memory_.Logo(argument == "top");
        if (!logo)
            return "OK none";
        return "OK " + std::to_string(logo->keyCode1) + " " + std::to_string(logo->keyCode2) + " " +
               std::to_string(logo->alignment);
    }
    if (what == "logoopt" && hasNumber) {
        auto value = memory_.LogoOption(static_cast<uint8_t>(n));
        return value ? "OK " + std::to_string(*value) : "OK none";
    }
    if (what == "graphics") {
        std::string text = "OK " + std::to_string(memory_.GraphicsKeys().size());
        for (auto [kc1, kc2] : memory_.GraphicsKeys()) {
            auto entry = memory_.Graphics(kc1, kc2);
            text += ' ';
            text += static_cast<char>(kc1);
            text += static_cast<char>(kc2);
            text += ':' + std::to_string(entry ? entry->width : 0) + 'x' +
                    std::to_string(entry ? entry->height : 0);
        }
        return text;
    }
    if (what == "graphic" && argument.size() == 2) {
        auto entry =
            memory_.Graphics(static_cast<uint8_t>(argument[0]), static_cast<uint8_t>(argument[1]));
        if (!entry)
            return "OK none";
        std::size_t black = 0;
        for (uint8_t byte : entry->dots)
            for (uint8_t bit = 0x80; bit; bit >>= 1)
                black += (byte & bit) ? 1 : 0;
        return "OK " + std::to_string(entry->width) + "x" + std::to_string(entry->height) +
               " black=" + std::to_string(black);
    }
    if (what == "bitimages")
        return "OK " + std::to_string(memory_.BitImageCount());
    if (what == "usermode")
        return memory_.InUserMode() ? "OK 1" : "OK 0";
    if (what == "printed")
        return "OK " + std::to_string(state_.Printed());
    if (what == "connections")
        return "OK " + std::to_string(state_.Connections());
    if (what == "arrived")
        return "OK " + std::to_string(state_.ArrivedBytes());
    if (what == "requests") {
        const RequestTally tally = state_.Requests().Tally();
        return "OK " + std::to_string(tally.total) + " " + std::to_string(tally.distinct) + " " +
               std::to_string(tally.lastMs);
    }
    if (what == "counters")
        return "OK " + state_.Counters().Describe();
    if (what == "counter" && hasNumber) {
        auto value = state_.Counters().Value(static_cast<uint16_t>(n));
        return value ? "OK " + std::to_string(*value) : "OK none";
    }
    if (what == "receipt") {
        // The last cut receipt on one line, its lines joined by " | ".
        std::string text = "OK " + std::to_string(state_.Receipts().Cuts());
        for (const std::string& printed : state_.Receipts().LastReceipt())
            text += " | " + printed;
        return text;
    }
    if (what == "repeats") {
        // Each repeated question as six hex digits: command byte, function, item.
        std::string answer = "OK";
        char key[8];
        for (uint32_t repeat : state_.Requests().Repeats()) {
            std::snprintf(key, sizeof(key), " %06X", static_cast<unsigned>(repeat));
            answer += key;
        }
        return answer;
    }
    return "ERR unknown item: " + what;
}

std::string ControlCommand::Status() const {
    PrinterConditions c = state_.Conditions();
    AnswerBehaviour b = state_.Behaviour();
    PrinterIdentity id = state_.Identity();
    std::string paper = c.paperOut ? "out" : (c.paperNearEnd ? "near" : "ok");
    return std::string("online=") + (c.IsOffline() ? "0" : "1") +
           " offline=" + (c.offline ? "1" : "0") + " cover=" + (c.coverOpen ? "open" : "closed") +
           " paper=" + paper + " error=" + kErrorNames[static_cast<int>(c.error)] +
           " ink=" + kInkNames[static_cast<int>(c.ink)] + " silent=" + (b.silent ? "1" : "0") +
           " garbage=" + (b.garbage ? "1" : "0") + " truncate=" + (b.truncate ? "1" : "0") +
           " delay=" + std::to_string(b.delayMs) + " refuse=" + (state_.Refusing() ? "1" : "0") +
           " model=" + id.model;
}

} // namespace qk::sim
