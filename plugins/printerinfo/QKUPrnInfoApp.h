// The printer information library's application object: one per load of the library.
#pragma once
#include "framework/plugin/PluginApp.h"

namespace qk::printerinfo {

class CQKUPrnInfoApp : public CPluginApp {
public:
    CQKUPrnInfoApp() = default;
    ~CQKUPrnInfoApp() override;

    bool InitInstance() override;
};

} // namespace qk::printerinfo
