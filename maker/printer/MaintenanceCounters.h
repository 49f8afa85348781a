// The printer's maintenance counters: paper fed (lines), head energised (dot lines printed)
// and autocutter cuts, each kept twice: since its last reset (numbers 20, 21, 50) and over the
// printer's life (148, 149, 178, the first number + 128, never reset). Shared by every
// connection and the control channel. Portable.
#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace qk::sim {

inline constexpr uint16_t kCounterPaperFed = 20;
inline constexpr uint16_t kCounterHeadEnergised = 21;
inline constexpr uint16_t kCounterCuts = 50;
inline constexpr uint16_t kLifetimeOffset = 128;

class MaintenanceCounters {
public:
    void AddPaperFed(uint64_t lines);
    void AddHeadEnergised(uint64_t dotLines);
    void AddCut();
    // The counter's value; none for a number the printer does not keep.
    std::optional<uint64_t> Value(uint16_t number) const;
    // Resets a since-reset counter; false for a lifetime or unknown number.
    bool Reset(uint16_t number);
    // "fed=S/L head=S/L cuts=S/L" (since reset / lifetime), for the control channel.
    std::string Describe() const;

private:
    struct Pair {
        uint64_t sinceReset = 0;
        uint64_t lifetime = 0;
        void Add(uint64_t n) {
            sinceReset += n;
            lifetime += n;
        }
    };
    Pair* Find(uint16_t number);
    const Pair* Find(uint16_t number) const;

    mutable std::mutex mutex_;
    Pair fed_, head_, cuts_;
};

} // namespace qk::sim
