// The journal library's application object: one per load of the library.
#pragma once
#include "framework/plugin/DeviceTestEngine.h"
#include "framework/plugin/PluginApp.h"

namespace qk::journal {

class CQKUEJApp : public CPluginApp {
public:
    CQKUEJApp() = default;
    ~CQKUEJApp() override;

    bool InitInstance() override;
    void ExitInstance() override;
    void AbandonAtProcessExit() override;

private:
    CProbeEngineLibrary m_engine; // outlives the controller that uses it
};

} // namespace qk::journal
