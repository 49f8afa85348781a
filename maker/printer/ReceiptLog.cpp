#include "maker/printer/ReceiptLog.h"

namespace qk::sim {

void ReceiptLog::AddLine(const std::string& line) {
    {
        std::lock_guard lock(mutex_);
        current_.push_back(line);
        if (current_.size() > kMaxLines)
            current_.pop_front();
    }
    Tell(line);
}

void ReceiptLog::AddCut() {
    {
        std::lock_guard lock(mutex_);
        last_.assign(current_.begin(), current_.end());
        current_.clear();
        ++cuts_;
    }
    Tell(kCutLine);
}

std::vector<std::string> ReceiptLog::LastReceipt() const {
    std::lock_guard lock(mutex_);
    return last_;
}

std::size_t ReceiptLog::Cuts() const {
    std::lock_guard lock(mutex_);
    return cuts_;
}

void ReceiptLog::SetListener(std::function<void(const std::string&)> listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

void ReceiptLog::Tell(const std::string& line) {
    std::function<void(const std::string&)> listener;
    {
        std::lock_guard lock(mutex_);
        listener = listener_;
    }
    if (listener)
        listener(line);
}

} // namespace qk::sim
