#include "tests/app/MenuViewTestSupport.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include "app/shell/UtilDummyView.h"
#include "app/shell/UtlDoc.h"
#include "platform/Text.h"
#include "resource.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

namespace fs = std::filesystem;

constexpr const wchar_t* kPlugins[] = {L"QKMenuTestPage.dll", L"QKMenuTestPage2.dll",
                                       L"QKMenuTestRefuse.dll", L"QKMenuTestNoExport.dll",
                                       L"QKMenuTestInitFail.dll"};

std::wstring TestBinFolder() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring bin = self;
    return bin.substr(0, bin.find_last_of(L'\\') + 1);
}

} // namespace

MenuWorld::MenuWorld()
    : docTemplate_(
          IDR_MAINFRAME, [] { return new app::CUtlDoc; }, [] { return new app::CMainFrame; },
          [] { return new app::CUtilDummyView; }) {
    static int counter = 0;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"qkmenu_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
              std::to_wstring(++counter) + L"\\";
    fs::create_directories(fs::path(folder_));
    // The plug-ins lie in the program folder, as an installation has them.
    for (const wchar_t* plugin : kPlugins)
        fs::copy_file(fs::path(TestBinFolder() + plugin), fs::path(folder_ + plugin));
    log_ = folder_ + L"calls.log";
    ::SetEnvironmentVariableW(L"QKMENUTEST_LOG", log_.c_str());

    FromWide(folder_).copy(host.context->programFolder, kTextSlot - 1);
    FromWide(StageDir() + L"LANG").copy(host.context->languageFolder, kTextSlot - 1);
    host.context->languageId = 0x0409;
    host.context->arpSupport = 1;
    // No settings read at start: these tests are about the menu.
    host.connectionResult = -1;
}

MenuWorld::~MenuWorld() {
    Close();
    ::SetEnvironmentVariableW(L"QKMENUTEST_LOG", nullptr);
    std::error_code error;
    fs::remove_all(fs::path(folder_), error);
}

void MenuWorld::WriteMenu(const std::string& text) const {
    std::ofstream file(fs::path(folder_ + L"MENUITEM.DAT"), std::ios::binary | std::ios::trunc);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        file << line << "\r\n";
}

std::wstring MenuWorld::WriteBitmap(const std::wstring& name, int width, int height,
                                    COLORREF (*colour)(int x, int y)) const {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER header{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height; // bottom-up
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(header) + sizeof(info);
    header.bfSize = header.bfOffBits + info.biSizeImage;
    std::string pixels(info.biSizeImage, '\0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            char* p = &pixels[static_cast<size_t>((height - 1 - y) * stride + x * 3)];
            p[0] = static_cast<char>(GetBValue(c));
            p[1] = static_cast<char>(GetGValue(c));
            p[2] = static_cast<char>(GetRValue(c));
        }
    const std::wstring path = folder_ + name;
    std::ofstream file(fs::path(path), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(&header), sizeof(header));
    file.write(reinterpret_cast<const char*>(&info), sizeof(info));
    file << pixels;
    return path;
}

bool MenuWorld::Open() {
    CFrameWnd* created = docTemplate_.OpenNewDocument();
    frame_ = dynamic_cast<app::CMainFrame*>(created);
    if (!frame_ || !frame_->MenuView())
        return false;
    frameWindow_ = frame_->m_hWnd;
    frame_->ShowWindow(SW_SHOW);
    frame_->UpdateWindow();
    PumpMessages(30);
    return true;
}

void MenuWorld::Close() {
    if (frameWindow_ && ::IsWindow(frameWindow_))
        ::DestroyWindow(frameWindow_);
    frameWindow_ = nullptr;
    frame_ = nullptr;
}

POINT MenuWorld::RowCentre(int row) const {
    RECT rect{};
    Menu().GetListCtrl().GetItemRect(row, &rect, LVIR_BOUNDS);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::vector<std::string> MenuWorld::TakeCalls() {
    std::vector<std::string> calls;
    std::ifstream file(fs::path(log_), std::ios::binary);
    for (std::string line; std::getline(file, line);)
        calls.push_back(line);
    file.close();
    std::error_code error;
    fs::remove(fs::path(log_), error);
    return calls;
}

void ClickRow(const MenuWorld& world, int row) {
    const POINT at = world.RowCentre(row);
    ::SendMessageW(world.List(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    ::SendMessageW(world.List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::SendMessageW(world.List(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

} // namespace qk::test
