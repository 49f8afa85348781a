// The application object of a plug-in library: made when the library is loaded, it creates
// the library's page controller and destroys it when the library is unloaded. Every entry
// point reaches the controller through the application object of its own module.
#pragma once
#include <memory>
#include "framework/plugin/FormViewCtrl.h"

namespace qk {

class CPluginApp {
public:
    CPluginApp();
    virtual ~CPluginApp();
    CPluginApp(const CPluginApp&) = delete;
    CPluginApp& operator=(const CPluginApp&) = delete;

    // The application object of the module that carries this code, or null.
    static CPluginApp* Current();

    // Library loaded: create the controller. Library unloaded: destroy it.
    virtual bool InitInstance() = 0;
    virtual void ExitInstance();
    // Process exit: the windows and libraries the controller would touch may be gone, so it
    // is left as it is rather than destroyed.
    virtual void AbandonAtProcessExit();

    CFormViewCtrl* Controller() const { return m_controller.get(); }

protected:
    std::unique_ptr<CFormViewCtrl> m_controller;
};

// The application object of a library whose only start-up work is making its controller.
class CControllerApp : public CPluginApp {
public:
    using MakeController = std::unique_ptr<CFormViewCtrl> (*)();
    explicit CControllerApp(MakeController make) : m_make(make) {}
    ~CControllerApp() override { ExitInstance(); }

    bool InitInstance() override;

private:
    MakeController m_make;
};

} // namespace qk
