// The settings file library's application object: one per load of the library.
#pragma once
#include "framework/plugin/PluginApp.h"

namespace qk::settingsfile {

class CQKUSetFileApp : public CPluginApp {
public:
    CQKUSetFileApp() = default;
    ~CQKUSetFileApp() override;

    bool InitInstance() override;
};

} // namespace qk::settingsfile
