#include "maker/printer/PrinterState.h"

namespace qk::sim {

PrinterConditions PrinterState::Conditions() const {
    std::lock_guard lock(mutex_);
    return conditions_;
}

PrinterIdentity PrinterState::Identity() const {
    std::lock_guard lock(mutex_);
    return identity_;
}

AnswerBehaviour PrinterState::Behaviour() const {
    std::lock_guard lock(mutex_);
    return behaviour_;
}

uint64_t PrinterState::Version() const {
    std::lock_guard lock(mutex_);
    return version_;
}

void PrinterState::SetConditions(const PrinterConditions& conditions) {
    UpdateConditions([&](PrinterConditions& c) { c = conditions; });
}

void PrinterState::UpdateConditions(const std::function<void(PrinterConditions&)>& change) {
    bool changed = false;
    {
        std::lock_guard lock(mutex_);
        PrinterConditions before = conditions_;
        change(conditions_);
        changed = !(before == conditions_);
        if (changed)
            ++version_;
    }
    if (changed)
        Notify();
}

void PrinterState::UpdateIdentity(const std::function<void(PrinterIdentity&)>& change) {
    {
        std::lock_guard lock(mutex_);
        change(identity_);
    }
    Notify();
}

void PrinterState::UpdateBehaviour(const std::function<void(AnswerBehaviour&)>& change) {
    {
        std::lock_guard lock(mutex_);
        change(behaviour_);
        // Silence ends: the host must learn what changed meanwhile.
        ++version_;
    }
    Notify();
}

void PrinterState::RequestDrop() {
    {
        std::lock_guard lock(mutex_);
        ++drops_;
    }
    Notify();
}

void PrinterState::DropAfter(uint64_t bytes) {
    std::lock_guard lock(mutex_);
    dropAfter_ = static_cast<int64_t>(bytes);
}

std::size_t PrinterState::TakeArriving(std::size_t arrived, bool& drop) {
    std::lock_guard lock(mutex_);
    drop = dropAfter_ >= 0 && static_cast<uint64_t>(dropAfter_) < arrived;
    if (drop) {
        arrived = static_cast<std::size_t>(dropAfter_);
        dropAfter_ = -1;
    } else if (dropAfter_ >= 0) {
        dropAfter_ -= static_cast<int64_t>(arrived);
    }
    arrived_ += arrived;
    return arrived;
}

uint64_t PrinterState::ArrivedBytes() const {
    std::lock_guard lock(mutex_);
    return arrived_;
}

uint64_t PrinterState::DropCount() const {
    std::lock_guard lock(mutex_);
    return drops_;
}

void PrinterState::SetRefusing(bool refusing) {
    {
        std::lock_guard lock(mutex_);
        refusing_ = refusing;
    }
    Notify();
}

bool PrinterState::Refusing() const {
    std::lock_guard lock(mutex_);
    return refusing_;
}

void PrinterState::RequestQuit() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    Notify();
}

bool PrinterState::QuitRequested() const {
    std::lock_guard lock(mutex_);
    return quit_;
}

void PrinterState::AddPrinted(const std::string& data) {
    std::function<void(const std::string&)> listener;
    {
        std::lock_guard lock(mutex_);
        printed_ += data.size();
        listener = printListener_;
    }
    if (listener)
        listener(data);
}

void PrinterState::SetPrintListener(std::function<void(const std::string&)> listener) {
    std::lock_guard lock(mutex_);
    printListener_ = std::move(listener);
}

uint64_t PrinterState::Printed() const {
    std::lock_guard lock(mutex_);
    return printed_;
}

void PrinterState::CountConnection() {
    std::lock_guard lock(mutex_);
    ++connections_;
}

uint64_t PrinterState::Connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

void PrinterState::SetListener(std::function<void()> listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

void PrinterState::Notify() {
    std::function<void()> listener;
    {
        std::lock_guard lock(mutex_);
        listener = listener_;
    }
    if (listener)
        listener();
}

} // namespace qk::sim
