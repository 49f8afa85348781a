// The paper and print settings library's application object: one per load of the library.
#pragma once
#include "framework/plugin/PluginApp.h"

namespace qk::paper {

class CQKUPaperApp : public CPluginApp {
public:
    CQKUPaperApp() = default;
    ~CQKUPaperApp() override;

    bool InitInstance() override;
};

} // namespace qk::paper
