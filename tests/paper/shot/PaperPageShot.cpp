// Shows a settings page in a window of its own, in the language given on the command line
// (hex identifier, e.g. 0411), with the factory values, so that a screenshot script can
// photograph it without a printer. Ends when its window is closed, or after the seconds given
// as the second argument (default 60). The third argument names the plug-in library (default
// the paper and print settings page); for the logo page a sample picture is drawn and opened
// through the page's own open dialog, so the preview shows; the printer information page shows
// a sample printer on a network port, as the last settings read left it.
#include <windows.h>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>
#include "framework/context/UtilContext.h"
#include "framework/plugin/FormViewDllApi.h"
#include "framework/store/PluginDataMgr.h"
#include "framework/store/PrinterInfoBlock.h"
#include "platform/Dpi.h"
#include "platform/Sync.h"
#include "tests/support/WindowDriver.h"

namespace {

// The printer of the information page's shot: what a settings read stores, and its port.
void SamplePrinter(PluginDataMgr& store, UtilContext& context) {
    PrinterInfoBlock info{};
    info.header.key = kPrinterInfoBlockKey;
    info.header.version = kPrinterInfoBlockVersion;
    info.header.size = kPrinterInfoBlockSize;
    const std::u16string strings[] = {u"TARROW", u"QK-R40", u"1.40 QK", u"QK4A000001", u"ANK"};
    for (int i = 0; i < kPrinterInfoStrings; ++i)
        strings[i].copy(info.strings[i], kPrinterInfoStringChars - 1);
    info.informationRead = 1;
    store.CreateBlock(kPrinterInfoBlockKey, kPrinterInfoBlockVersion, kPrinterInfoBlockSize);
    store.WriteBlock(kPrinterInfoBlockKey, sizeof info, &info);
    std::u16string(u"NET").copy(context.portRecord.interfaceKeyword, 3);
    std::u16string(u"192.168.0.50").copy(context.portRecord.portName, 12);
    std::u16string(u"192.168.0.50:9100").copy(context.portRecord.endpoint, 17);
    context.startMode = kStartOrdinary;
}

template <typename T> T Bind(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void CALLBACK EndShow(HWND hwnd, UINT, UINT_PTR, DWORD) {
    ::DestroyWindow(hwnd);
}

// A sample logo: a gradient band, a disc and the shop's name, as a 24-bit BMP.
bool DrawSamplePicture(const std::wstring& path) {
    const int width = 640, height = 200;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                        &bits, nullptr, 0);
    if (!bitmap)
        return false;
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all{0, 0, width, height};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    for (int x = 0; x < width; ++x) {
        const BYTE level = static_cast<BYTE>(x * 255 / width);
        HBRUSH brush = ::CreateSolidBrush(RGB(level, level, level));
        RECT line{x, 150, x + 1, 190};
        ::FillRect(dc, &line, brush);
        ::DeleteObject(brush);
    }
    HBRUSH disc = ::CreateSolidBrush(RGB(90, 90, 90));
    HGDIOBJ oldBrush = ::SelectObject(dc, disc);
    ::Ellipse(dc, 10, 10, 140, 140);
    ::SelectObject(dc, oldBrush);
    ::DeleteObject(disc);
    HFONT font = ::CreateFontW(-90, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                               ANTIALIASED_QUALITY, 0, L"Arial");
    HGDIOBJ oldFont = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    RECT text{160, 20, width, 140};
    ::DrawTextW(dc, L"QK SHOP", -1, &text, DT_SINGLELINE | DT_VCENTER);
    ::SelectObject(dc, oldFont);
    ::DeleteObject(font);
    ::GdiFlush();
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + stride * height;
    HANDLE out = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    bool ok = out != INVALID_HANDLE_VALUE &&
              ::WriteFile(out, &file, sizeof file, &written, nullptr) &&
              ::WriteFile(out, &header, sizeof header, &written, nullptr) &&
              ::WriteFile(out, bits, stride * height, &written, nullptr);
    if (out != INVALID_HANDLE_VALUE)
        ::CloseHandle(out);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return ok;
}

// Types the path into the page's open dialog once it shows, and presses Open.
void ChooseInOpenDialog(std::wstring path) {
    for (int tries = 0; tries < 300; ++tries) {
        for (HWND w : qk::test::TopLevelWindows(::GetCurrentProcessId(), L"#32770")) {
            if (!::GetDlgItem(w, 0x47C) && !::GetDlgItem(w, 0x480))
                continue;
            for (int id : {0x47C, 0x480})
                ::SetDlgItemTextW(w, id, path.c_str());
            qk::test::PressButton(w, IDOK);
            return;
        }
        ::Sleep(100);
    }
}

HWND MakeFrame(const std::wstring& title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"QKPaperPageShot";
    ::RegisterClassW(&wc);
    // The page's template grows with the system DPI, so the frame around it does too.
    const int dpi = qk::SystemDpi();
    return ::CreateWindowExW(0, wc.lpszClassName, title.c_str(),
                             WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0,
                             qk::ScaleToDpi(640, dpi), qk::ScaleToDpi(480, dpi), nullptr, nullptr,
                             wc.hInstance, nullptr);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int language = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 16)) : 0x0409;
    const DWORD seconds = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 60;
    const std::wstring library = argc > 3 ? argv[3] : L"QKUPAPERSTG.dll";
    const bool logo = library == L"QKULOGOSTG.dll";
    const bool information = library == L"QKUPRNINFO.dll";
    const std::wstring stage = qk::test::StageDir();
    HMODULE module = ::LoadLibraryW((stage + library).c_str());
    if (!module)
        return 2;
    auto initialize = Bind<PFN_FORMVIEWDLL_Initialize>(module, "FORMVIEWDLL_Initialize");
    auto finalize = Bind<PFN_FORMVIEWDLL_Finalize>(module, "FORMVIEWDLL_Finalize");
    auto show = Bind<PFN_FORMVIEWDLL_ChangeMenuState>(module, "FORMVIEWDLL_ChangeMenuState");
    auto info = Bind<PFN_FORMVIEWDLL_GetPluginInfo>(module, "FORMVIEWDLL_GetPluginInfo");
    auto defaults = Bind<PFN_FORMVIEWDLL_SetDefaltDataToPluginDataMgr>(
        module, "FORMVIEWDLL_SetDefaltDataToPluginDataMgr");
    auto depends =
        Bind<PFN_FORMVIEWDLL_GetDependPluginData>(module, "FORMVIEWDLL_GetDependPluginData");
    if (!initialize || !finalize || !show || !info || !defaults || !depends)
        return 3;

    static UtilContext context{};
    qk::CCriticalSection lock;
    PluginDataMgr store;
    const std::wstring folder = stage + L"LANG";
    folder.copy(reinterpret_cast<wchar_t*>(context.languageFolder), kTextSlot - 1);
    context.languageId = language;
    context.startMode = kStartFileMode; // no printer needed
    context.dataManager = &store;
    context.applicationLock = lock.Get();

    if (information)
        SamplePrinter(store, context);
    HWND frame = MakeFrame(logo          ? L"QK-R40 logo page"
                           : information ? L"QK-R40 printer information page"
                                         : L"QK-R40 paper settings page");
    RECT area{};
    ::GetClientRect(frame, &area);
    HWND pane = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, area.right,
                                  area.bottom, frame, nullptr, nullptr, nullptr);
    if (initialize(frame, pane, &context) != 0)
        return 4;
    PluginInfo own{};
    info(&own);
    store.CreateBlock(own.key, own.version, own.size);
    defaults(own.key);
    int32_t count = 0;
    depends(nullptr, &count);
    std::vector<DependRecord> records(static_cast<size_t>(count > 0 ? count : 0));
    depends(records.data(), &count);
    for (const DependRecord& record : records) {
        store.CreateBlock(record.key, record.version, record.size);
        defaults(record.key);
    }
    // The information page as a settings read leaves it: the read's time noted.
    if (information)
        if (auto read = Bind<PFN_FORMVIEWDLL_ReadPrinterSettings>(
                module, "FORMVIEWDLL_ReadPrinterSettings"))
            read();
    show(kMenuStateShow);
    std::thread chooser;
    if (logo) {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        const std::wstring picture = std::wstring(temp) + L"qk-sample-logo.bmp";
        HWND open = nullptr;
        for (HWND child = ::GetWindow(pane, GW_CHILD); child && !open;
             child = ::GetWindow(child, GW_HWNDNEXT))
            open = ::GetDlgItem(child, 1201); // the page's "Open Picture..." button
        if (open && DrawSamplePicture(picture)) {
            chooser = std::thread(ChooseInOpenDialog, picture);
            ::PostMessageW(open, BM_CLICK, 0, 0);
        }
    }
    ::SetTimer(frame, 1, seconds * 1000, &EndShow);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (chooser.joinable())
        chooser.join();
    finalize();
    ::FreeLibrary(module);
    return 0;
}
