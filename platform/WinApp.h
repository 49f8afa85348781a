// The application object: the main thread's InitInstance / Run / ExitInstance, the
// single-document template and the program's exit code.
#pragma once
#include <memory>
#include <string>
#include "platform/WinThread.h"

namespace qk {

class CSingleDocTemplate;

class CWinApp : public CWinThread {
public:
    CWinApp();
    ~CWinApp() override;

    // The application object of this module (null in a plug-in library).
    static CWinApp* Get();

    // The program's life: InitInstance, then the message loop when it succeeded, then
    // ExitInstance; answers the process exit code (ExitInstance's answer).
    int RunApplication(HINSTANCE instance, const wchar_t* commandLine);

    void AddDocTemplate(CSingleDocTemplate* docTemplate); // owned
    // The new-document command: the template creates the document, frame and views, and the
    // frame becomes the main window when there is none. False when that failed.
    bool OnFileNew();

    HINSTANCE m_hInstance = nullptr;
    std::wstring m_lpCmdLine;

    int ExitInstance() override;

private:
    std::unique_ptr<CSingleDocTemplate> m_docTemplate;
};

} // namespace qk
