// A static splitter: a fixed grid of rows and columns, one view per cell, separated by
// bars. Rows and columns get their ideal sizes in order; the last one takes what is left.
#pragma once
#include <vector>
#include "platform/Wnd.h"

namespace qk {

class CView;
struct CCreateContext;

class CSplitterWnd : public CWnd {
public:
    enum ESplitType { splitBox, splitBar, splitIntersection, splitBorder };

    CSplitterWnd() = default;

    bool CreateStatic(HWND parent, int rows, int cols, DWORD style = WS_CHILD | WS_VISIBLE,
                      UINT id = 0xE900);
    // Creates `view` (heap object; it deletes itself with its window) in a cell.
    bool CreateView(int row, int col, CView* view, SIZE initialSize, CCreateContext* context);

    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    int GetColumnCount() const { return static_cast<int>(m_cols.size()); }
    void SetRowInfo(int row, int ideal, int minimum);
    void SetColumnInfo(int col, int ideal, int minimum);
    bool GetRowInfo(int row, int& current, int& minimum) const;
    bool GetColumnInfo(int col, int& current, int& minimum) const;
    // Places the cells from the ideal sizes and the client area.
    virtual void RecalcLayout();

    HWND GetPane(int row, int col) const {
        return GetDlgItem(static_cast<int>(IdFromRowCol(row, col)));
    }
    CWnd* GetPaneObject(int row, int col) const { return FromHandlePermanent(GetPane(row, col)); }
    UINT IdFromRowCol(int row, int col) const { return 0xE900 + row * 16 + col; }

    int BarSize() const { return m_barSize; }

protected:
    // Draws a bar or border. A null dc means only "invalidate that rectangle".
    virtual void OnDrawSplitter(HDC dc, ESplitType type, const RECT& rect);

    bool OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return true; }
    void OnSize(UINT type, int cx, int cy) override;
    bool OnMouseMove(UINT flags, POINT point) override;
    bool OnLButtonDown(UINT flags, POINT point) override;
    bool OnLButtonUp(UINT flags, POINT point) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    struct Line {
        int ideal = 0;
        int minimum = 0;
        int current = 0;
    };
    std::vector<Line> m_rows;
    std::vector<Line> m_cols;
    int m_barSize = 2;

private:
    void Distribute(std::vector<Line>& lines, int total) const;
    // Bar under the point: row bar index (>= 0) or column bar index, -1 when none.
    int RowBarAt(POINT point) const;
    int ColumnBarAt(POINT point) const;
    std::vector<RECT> BarRects() const;

    int m_dragRowBar = -1;
    int m_dragColBar = -1;
};

} // namespace qk
