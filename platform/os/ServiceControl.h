// Service query, stop and start behind a seam.
#pragma once
#include <cstdint>
#include <string>

namespace qk::os {

enum class ServiceState { NotFound, Stopped, StartPending, StopPending, Running, Other };

class IServiceControl {
public:
    virtual ~IServiceControl() = default;

    virtual ServiceState Query(const std::u16string& name) = 0;
    // Ask for the change and return at once; callers poll Query with a bound.
    virtual bool Start(const std::u16string& name) = 0;
    virtual bool Stop(const std::u16string& name) = 0;
};

} // namespace qk::os
