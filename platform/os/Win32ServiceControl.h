// IServiceControl over the service control manager.
#pragma once
#include "platform/os/ServiceControl.h"

namespace qk::os {

class Win32ServiceControl : public IServiceControl {
public:
    ServiceState Query(const std::u16string& name) override;
    bool Start(const std::u16string& name) override;
    bool Stop(const std::u16string& name) override;
};

} // namespace qk::os
