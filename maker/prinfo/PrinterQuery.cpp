#include "maker/prinfo/PrinterQuery.h"
#include <windows.h>

namespace qk::prinfo {

namespace {
constexpr int32_t kAnswerMs = 3000;
constexpr std::size_t kMaxText = 80;
} // namespace

uint8_t InformationForm(int index) {
    // maker, printer name, firmware, serial number, fonts
    static const uint8_t kForms[5] = {0x42, 0x43, 0x41, 0x44, 0x45};
    return index >= 0 && index < 5 ? kForms[index] : 0;
}

void PrinterQuery::SetCallback(comm::PrinfoCallback proc, void* user) {
    std::lock_guard lock(mutex_);
    callback_ = proc;
    callbackUser_ = user;
}

void PrinterQuery::Notify(bool answered) {
    comm::PrinfoCallback proc;
    void* user;
    {
        std::lock_guard lock(mutex_);
        proc = callback_;
        user = callbackUser_;
    }
    if (proc)
        proc(answered ? 1 : 0, user);
}

bool PrinterQuery::Exchange(uint8_t n, std::string& answer, bool text) {
    answer.clear();
    binding_->QKC_Purge(); // nothing stale from an earlier, late answer
    const uint8_t request[] = {0x1D, 0x49, n};
    int32_t written = 0;
    if (binding_->QKC_Write(request, sizeof(request), &written, kAnswerMs) != 0)
        return false;
    const ULONGLONG deadline = GetTickCount64() + kAnswerMs;
    for (;;) {
        ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        char byte = 0;
        int32_t got = 0;
        if (binding_->QKC_Read(&byte, 1, &got, static_cast<int32_t>(deadline - now)) != 0 ||
            got != 1)
            return false;
        if (!text) {
            answer.assign(1, byte);
            return true;
        }
        if (answer.empty()) {
            if (byte != 0x5F)
                return false;       // not an information answer
            answer.push_back(byte); // the header, dropped below
            continue;
        }
        if (byte == 0) {
            answer.erase(0, 1);
            return true;
        }
        if (static_cast<unsigned char>(byte) < 0x20 || answer.size() > kMaxText)
            return false;
        answer.push_back(byte);
    }
}

bool PrinterQuery::AskText(uint8_t n, std::string& text) {
    bool ok = Exchange(n, text, true);
    if (!ok)
        text.clear();
    Notify(ok);
    return ok;
}

bool PrinterQuery::AskByte(uint8_t n, uint8_t& value) {
    std::string answer;
    bool ok = Exchange(n, answer, false);
    if (ok)
        value = static_cast<uint8_t>(answer[0]);
    Notify(ok);
    return ok;
}

bool PrinterQuery::ReadInformation(int32_t mask, comm::PrinterInformation& info) {
    bool ok = true;
    for (int i = 0; i < 5; ++i) {
        if (mask & (1 << i)) {
            std::string text;
            if (!AskText(InformationForm(i), text))
                ok = false;
            strings_[i] = text;
        }
        info.strings[i] = strings_[i].c_str();
    }
    return ok;
}

} // namespace qk::prinfo
