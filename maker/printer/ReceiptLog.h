// What the printer printed, as text a test or a person reads: every printed line (UTF-8),
// with "[cut]" where the autocutter cut. The last receipts are kept in memory; a listener (the
// simulator's receipt file) hears every line as it is printed. Portable.
#pragma once
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace qk::sim {

inline constexpr char kCutLine[] = "[cut]";

class ReceiptLog {
public:
    void AddLine(const std::string& line);
    void AddCut();
    // The lines of the last receipt that ended in a cut (without the cut); empty before one.
    std::vector<std::string> LastReceipt() const;
    std::size_t Cuts() const;
    // Called with every line (and every "[cut]") outside the lock; set before printing starts.
    void SetListener(std::function<void(const std::string&)> listener);

    // Lines kept of an unfinished receipt before the oldest go.
    static constexpr std::size_t kMaxLines = 2000;

private:
    void Tell(const std::string& line);

    mutable std::mutex mutex_;
    std::deque<std::string> current_;
    std::vector<std::string> last_;
    std::size_t cuts_ = 0;
    std::function<void(const std::string&)> listener_;
};

} // namespace qk::sim
