// Service query, stop and start behind a seam.
#pragma once
#include <cstdint>
#include <string>

namespace qk::os {

// Other: paused or pausing, or the service exists but its state cannot be read.
enum class ServiceState { NotFound, Stopped, StartPending, StopPending, Running, Other };

class IServiceControl {
public:
    virtual ~IServiceControl() = default;

    // Service names compare case-insensitively.
    virtual ServiceState Query(const std::u16string& name) = 0;
    // Ask for the change and return at once; callers poll Query with a bound. False when
    // the service is missing or refuses (a running service cannot be started, a stopped one
    // cannot be stopped).
    virtual bool Start(const std::u16string& name) = 0;
    virtual bool Stop(const std::u16string& name) = 0;
};

} // namespace qk::os
