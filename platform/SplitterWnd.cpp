#include "platform/SplitterWnd.h"

#include <algorithm>

#include "platform/View.h"

namespace qk {

bool CSplitterWnd::CreateStatic(HWND parent, int rows, int cols, DWORD style, UINT id) {
    if (rows < 1 || cols < 1 || rows > 16 || cols > 16)
        return false;
    m_rows.assign(static_cast<size_t>(rows), Line{});
    m_cols.assign(static_cast<size_t>(cols), Line{});
    RECT rect = {0, 0, 1, 1};
    if (parent)
        ::GetClientRect(parent, &rect);
    return Create(RegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW)), nullptr,
                  style | WS_CHILD | WS_CLIPCHILDREN, rect, parent, id);
}

bool CSplitterWnd::CreateView(int row, int col, CView* view, SIZE initialSize,
                              CCreateContext* context) {
    if (!view || row < 0 || col < 0 || row >= GetRowCount() || col >= GetColumnCount() ||
        GetPane(row, col)) {
        delete view;
        return false;
    }
    m_rows[static_cast<size_t>(row)].ideal = initialSize.cy;
    m_cols[static_cast<size_t>(col)].ideal = initialSize.cx;
    RECT rect = {0, 0, initialSize.cx, initialSize.cy};
    if (!view->CreateView(m_hWnd, IdFromRowCol(row, col), rect, context)) {
        // The view never got a window, so it cannot delete itself.
        if (!view->m_hWnd)
            delete view;
        return false;
    }
    return true;
}

void CSplitterWnd::SetRowInfo(int row, int ideal, int minimum) {
    if (row >= 0 && row < GetRowCount())
        m_rows[static_cast<size_t>(row)] = {ideal, minimum,
                                            m_rows[static_cast<size_t>(row)].current};
}

void CSplitterWnd::SetColumnInfo(int col, int ideal, int minimum) {
    if (col >= 0 && col < GetColumnCount())
        m_cols[static_cast<size_t>(col)] = {ideal, minimum,
                                            m_cols[static_cast<size_t>(col)].current};
}

bool CSplitterWnd::GetRowInfo(int row, int& current, int& minimum) const {
    if (row < 0 || row >= GetRowCount())
        return false;
    current = m_rows[static_cast<size_t>(row)].current;
    minimum = m_rows[static_cast<size_t>(row)].minimum;
    return true;
}

bool CSplitterWnd::GetColumnInfo(int col, int& current, int& minimum) const {
    if (col < 0 || col >= GetColumnCount())
        return false;
    current = m_cols[static_cast<size_t>(col)].current;
    minimum = m_cols[static_cast<size_t>(col)].minimum;
    return true;
}

void CSplitterWnd::Distribute(std::vector<Line>& lines, int total) const {
    int left = total - m_barSize * (static_cast<int>(lines.size()) - 1);
    for (size_t i = 0; i < lines.size(); ++i) {
        bool last = i + 1 == lines.size();
        int size = last ? left : lines[i].ideal;
        if (size > left)
            size = left;
        if (size < 0)
            size = 0;
        lines[i].current = size;
        left -= size;
    }
}

void CSplitterWnd::RecalcLayout() {
    if (!m_hWnd)
        return;
    RECT client = GetClientRect();
    Distribute(m_rows, client.bottom);
    Distribute(m_cols, client.right);
    HDWP positions = ::BeginDeferWindowPos(GetRowCount() * GetColumnCount());
    int y = 0;
    for (int r = 0; r < GetRowCount(); ++r) {
        int x = 0;
        int h = m_rows[static_cast<size_t>(r)].current;
        for (int c = 0; c < GetColumnCount(); ++c) {
            int w = m_cols[static_cast<size_t>(c)].current;
            if (HWND pane = GetPane(r, c); pane && positions)
                positions = ::DeferWindowPos(positions, pane, nullptr, x, y, w, h,
                                             SWP_NOZORDER | SWP_NOACTIVATE);
            x += w + m_barSize;
        }
        y += h + m_barSize;
    }
    if (positions)
        ::EndDeferWindowPos(positions);
    for (const RECT& bar : BarRects())
        OnDrawSplitter(nullptr, splitBar, bar);
}

std::vector<RECT> CSplitterWnd::BarRects() const {
    std::vector<RECT> bars;
    RECT client = GetClientRect();
    int y = 0;
    for (int r = 0; r + 1 < GetRowCount(); ++r) {
        y += m_rows[static_cast<size_t>(r)].current;
        bars.push_back({0, y, client.right, y + m_barSize});
        y += m_barSize;
    }
    int x = 0;
    for (int c = 0; c + 1 < GetColumnCount(); ++c) {
        x += m_cols[static_cast<size_t>(c)].current;
        bars.push_back({x, 0, x + m_barSize, client.bottom});
        x += m_barSize;
    }
    return bars;
}

void CSplitterWnd::OnDrawSplitter(HDC dc, ESplitType, const RECT& rect) {
    if (!dc) {
        ::InvalidateRect(m_hWnd, &rect, FALSE);
        return;
    }
    ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
}

bool CSplitterWnd::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    for (const RECT& bar : BarRects())
        OnDrawSplitter(dc, splitBar, bar);
    RECT client = GetClientRect();
    OnDrawSplitter(dc, splitBorder, client);
    ::EndPaint(m_hWnd, &ps);
    return true;
}

void CSplitterWnd::OnSize(UINT type, int, int) {
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

int CSplitterWnd::RowBarAt(POINT point) const {
    int y = 0;
    for (int r = 0; r + 1 < GetRowCount(); ++r) {
        y += m_rows[static_cast<size_t>(r)].current;
        if (point.y >= y && point.y < y + m_barSize)
            return r;
        y += m_barSize;
    }
    return -1;
}

int CSplitterWnd::ColumnBarAt(POINT point) const {
    int x = 0;
    for (int c = 0; c + 1 < GetColumnCount(); ++c) {
        x += m_cols[static_cast<size_t>(c)].current;
        if (point.x >= x && point.x < x + m_barSize)
            return c;
        x += m_barSize;
    }
    return -1;
}

bool CSplitterWnd::OnLButtonDown(UINT, POINT point) {
    m_dragRowBar = RowBarAt(point);
    m_dragColBar = m_dragRowBar < 0 ? ColumnBarAt(point) : -1;
    if (m_dragRowBar >= 0 || m_dragColBar >= 0)
        ::SetCapture(m_hWnd);
    return true;
}

bool CSplitterWnd::OnMouseMove(UINT, POINT point) {
    if (::GetCapture() != m_hWnd)
        return true;
    // Dragging a bar moves the boundary: the cell before it takes the new size.
    if (m_dragRowBar >= 0) {
        int top = 0;
        for (int r = 0; r < m_dragRowBar; ++r)
            top += m_rows[static_cast<size_t>(r)].current + m_barSize;
        Line& line = m_rows[static_cast<size_t>(m_dragRowBar)];
        line.ideal = std::max(line.minimum, static_cast<int>(point.y) - top);
    } else if (m_dragColBar >= 0) {
        int left = 0;
        for (int c = 0; c < m_dragColBar; ++c)
            left += m_cols[static_cast<size_t>(c)].current + m_barSize;
        Line& line = m_cols[static_cast<size_t>(m_dragColBar)];
        line.ideal = std::max(line.minimum, static_cast<int>(point.x) - left);
    }
    RecalcLayout();
    return true;
}

bool CSplitterWnd::OnLButtonUp(UINT, POINT) {
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    m_dragRowBar = m_dragColBar = -1;
    return true;
}

bool CSplitterWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // Views in the cells send their notifications here; the frame is the one that acts on
    // them, so pass them up.
    if (msg == WM_COMMAND || msg == WM_NOTIFY) {
        if (CWnd::OnMessage(msg, wp, lp, result))
            return true;
        result = ::SendMessageW(GetParent(), msg, wp, lp);
        return true;
    }
    return CWnd::OnMessage(msg, wp, lp, result);
}

} // namespace qk
