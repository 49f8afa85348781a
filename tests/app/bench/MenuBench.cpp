// Benchmark (not a test): the mouse moved down across the whole function menu one pixel at a
// time, in the real main frame. Prints how many rows each move invalidated (at most two are
// expected: the row left and the row entered) and what a move and its repaint cost.
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include "tests/app/MenuViewTestSupport.h"

using namespace qk::test;

namespace {

int InvalidRows(HWND list, int rows) {
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ::GetUpdateRgn(list, region, FALSE);
    int count = 0;
    for (int row = 0; row < rows; ++row) {
        RECT rect{};
        rect.left = LVIR_BOUNDS;
        ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&rect));
        count += ::RectInRegion(region, &rect) ? 1 : 0;
    }
    ::DeleteObject(region);
    return count;
}

double Microseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1e6 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

} // namespace

int main() {
    constexpr int kRows = 14;
    MenuWorld world;
    std::string menu = "[MENUITEM_0]\nITEMID=1\nSTRING=Heading\n";
    for (int i = 1; i < kRows; ++i)
        menu += "[MENUITEM_" + std::to_string(i) + "]\nITEMID=" + std::to_string(i + 1) +
                "\nSELECTING=2\nSTRING=Function " + std::to_string(i) + "\n";
    world.WriteMenu(menu);
    if (!world.Open()) {
        std::printf("menu_bench: the main frame could not be made\n");
        return 1;
    }
    HWND list = world.List();
    const int bottom = world.RowCentre(kRows - 1).y + world.Menu().RowHeight() / 2;
    int moves = 0, worst = 0, total = 0;
    double moveTime = 0, paintTime = 0;
    for (int y = 0; y < bottom; ++y) {
        ::ValidateRect(list, nullptr);
        LARGE_INTEGER t0, t1, t2;
        ::QueryPerformanceCounter(&t0);
        ::SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(60, y));
        ::QueryPerformanceCounter(&t1);
        const int rows = InvalidRows(list, kRows);
        ::UpdateWindow(list);
        ::QueryPerformanceCounter(&t2);
        moveTime += Microseconds(t0, t1);
        paintTime += Microseconds(t1, t2);
        worst = std::max(worst, rows);
        total += rows;
        ++moves;
    }
    std::printf("menu_bench: %d rows, %d mouse moves over %d pixels\n", kRows, moves, bottom);
    std::printf("menu_bench: rows invalidated per move: at most %d, %d in all\n", worst, total);
    std::printf("menu_bench: per move %.1f us handling, %.1f us repainting\n", moveTime / moves,
                paintTime / moves);
    return 0;
}
