// The logo library's application object: one per load of the library.
#pragma once
#include "framework/plugin/PluginApp.h"

namespace qk::logo {

class CQKULogoApp : public CPluginApp {
public:
    CQKULogoApp() = default;
    ~CQKULogoApp() override;

    bool InitInstance() override;
};

} // namespace qk::logo
