// The main frame with a menu file of the test's own: a program folder under the temporary
// folder holding MENUITEM.DAT and the test plug-ins, the stage's language files, and the
// plug-ins' call log.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "app/menu/UtilMenuView.h"
#include "tests/app/MainFrameTestSupport.h"

namespace qk::test {

class MenuWorld {
public:
    MenuWorld();
    ~MenuWorld();
    MenuWorld(const MenuWorld&) = delete;
    MenuWorld& operator=(const MenuWorld&) = delete;

    // Writes MENUITEM.DAT of the program folder (sections as given, CRLF added).
    void WriteMenu(const std::string& text) const;
    // A 24-bit bitmap file in the program folder whose pixel (x, y) is colour(x, y).
    std::wstring WriteBitmap(const std::wstring& name, int width, int height,
                             COLORREF (*colour)(int x, int y)) const;
    // Creates, shows and paints the main frame; false when it could not be made.
    bool Open();
    void Close();

    app::CMainFrame& Frame() const { return *frame_; }
    app::CUtilMenuView& Menu() const { return *frame_->MenuView(); }
    HWND List() const { return Menu().m_hWnd; }
    // The centre of a row in the list's client coordinates.
    POINT RowCentre(int row) const;
    // Lines "<library> <call>" the plug-ins recorded since the last call.
    std::vector<std::string> TakeCalls();

    ScriptedPresenter presenter;
    FakeShellHost host;

private:
    std::wstring folder_;
    std::wstring log_;
    CSingleDocTemplate docTemplate_;
    app::CMainFrame* frame_ = nullptr; // deleted with its window
    HWND frameWindow_ = nullptr;
};

// Sends a button press and release at a row, as a click does.
void ClickRow(const MenuWorld& world, int row);

} // namespace qk::test
