#pragma once

#include "printing/custombillbase.h"
#include "printing/simplebilltypes.h"
#include "printing/tsimplebillfooters.h"
#include "printing/tsimplebilltitle.h"
#include "printing/tsimplecolumns.h"

#include <functional>
#include <string>

namespace tally::printing {

// The simple list report: a centred title, a header row of column captions,
// data rows whose texts come from OnGetCellText, and free footer texts
// placed relative to the table, paginated for the printer page. Lengths are
// layout pixels. Not thread-safe: one thread fills and draws it.
//
// Typical use: SetRowCount(records); SetColCount(n); columns' captions and
// widths; SetOnGetCellText / SetOnGetFooterText; then Print or Preview.
class TSimpleBill : public TCustomBillBase
{
public:
    // Text of data cell (col from 0, row of the whole report from 1). text
    // enters holding the previous cell's text of the page (empty for the
    // page's first cell); whatever it holds afterwards is drawn.
    using TOnGetCellTextEvent =
        std::function<void(TSimpleBill &sender, int col, int row, std::string &text)>;
    // Text of a footer on page pageIndex (from 1): text enters holding the
    // footer's caption; a text that is blank after the call is not drawn.
    using TOnGetFooterTextEvent =
        std::function<void(TSimpleBill &sender, int pageIndex, std::string &text)>;

    // Margin of the on-screen painting around the table, in pixels.
    static constexpr int kScreenMargin = 5;

    // 5 centred columns of width 40, 10 rows of height 22, TopSpace 50,
    // BottomSpace 40, zoom 100, portrait, no footers, no callbacks.
    TSimpleBill();
    ~TSimpleBill() override;

    TSimpleColumns &Columns() { return m_columns; }
    const TSimpleColumns &Columns() const { return m_columns; }
    // Copies the columns into the report's own.
    void SetColumns(const TSimpleColumns &columns) { m_columns.Assign(columns); }
    TSimpleBillFooters &Footers() { return m_footers; }
    const TSimpleBillFooters &Footers() const { return m_footers; }
    void SetFooters(const TSimpleBillFooters &footers) { m_footers.Assign(footers); }
    TSimpleBillTitle &Title() { return m_title; }
    const TSimpleBillTitle &Title() const { return m_title; }
    void SetTitle(const TSimpleBillTitle &title) { m_title.Assign(title); }

    // Space above the table (title and header footers); never below the
    // title font's height value + 10.
    int TopSpace() const { return m_topSpace; }
    void SetTopSpace(int value);
    // Space kept below the table.
    int BottomSpace() const { return m_bottomSpace; }
    void SetBottomSpace(int value);
    // Number of columns; values below 1 are ignored. Growing appends
    // columns of width 40, centred, without caption; shrinking deletes from
    // the end.
    int ColCount() const { return m_columns.Count(); }
    void SetColCount(int value);
    // Data rows of the whole report; values below 0 count as 0.
    int RowCount() const { return m_rowCount; }
    void SetRowCount(int value);
    // Height of the header row and of every data row; values below 1 are
    // ignored (a row without height would leave pagination nothing to
    // divide by).
    int RowHeight() const { return m_rowHeight; }
    void SetRowHeight(int value);
    // The last page shows a full page of grid rows, the ones past the data
    // empty.
    bool LastPageFull() const { return m_lastPageFull; }
    void SetLastPageFull(bool value);

    // Font of the header and the cells. New footers take a copy.
    const TSimpleFont &Font() const { return m_font; }
    void SetFont(const TSimpleFont &font);

    // The component follows the whole table's extent.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetSize(int width, int height);

    void SetOnGetCellText(TOnGetCellTextEvent handler) { m_onGetCellText = std::move(handler); }
    void SetOnGetFooterText(TOnGetFooterTextEvent handler)
    {
        m_onGetFooterText = std::move(handler);
    }
    // Called whenever the report wants to be repainted or its size changed.
    void SetOnChanged(std::function<void()> handler) { m_onChanged = std::move(handler); }

    // Data rows per page after the last CalcPages; 0 before it.
    int PageRows() const { return m_pageRows; }

    // Rows per page for the context printer's printable height, the offset's
    // DY and the zoom: at least 1. Throws std::logic_error without a printer.
    void CalcPages() override;
    std::string GetCaption() const override { return m_title.Caption(); }
    int GetPageWidth() const override { return m_columns.TotalWidth(); }
    int GetPageHeight() const override;
    // RowCount / PageRows rounded up: 0 for a report without rows.
    int GetPageCount() const override;

    // The component on its form: the whole table on page 1 at 100 percent,
    // without offset. The pagination of the last CalcPages stays as it was.
    void PaintOnScreen(Canvas &canvas) override;

    // Device rectangle of cell (col, row) in frame; row 0 is the header.
    Rect CellRect(const DrawingFrame &frame, int col, int row) const;
    // Draws text in rect (2 layout pixels in on either side), vertically
    // centred by its measured height, clipped to the rectangle.
    void DrawCellText(Canvas &canvas, const DrawingFrame &frame, Rect rect, TAlignment alignment,
                      const std::string &text) const;
    // The content of page pageIndex with (0, 0) at its top-left corner.
    // Callback exceptions propagate.
    void DrawContent(Canvas &canvas, const DrawingFrame &frame, int pageIndex);

protected:
    void RenderPage(Canvas &canvas, const DrawingFrame &frame, int pageIndex) override;

private:
    void sizeChanged();
    void checkTopSpace();
    void repaint();
    void selectFont(Canvas &canvas, const DrawingFrame &frame, const TSimpleFont &font) const;
    void drawFooters(Canvas &canvas, const DrawingFrame &frame, int pageIndex, int tableBottom);

    TSimpleFont m_font;
    TSimpleColumns m_columns;
    TSimpleBillFooters m_footers;
    TSimpleBillTitle m_title;
    int m_topSpace = 50;
    int m_bottomSpace = 40;
    int m_rowCount = 10;
    int m_rowHeight = 22;
    int m_pageRows = 0;
    bool m_lastPageFull = false;
    bool m_autoSize = false;
    int m_width = 0;
    int m_height = 0;
    bool m_constructing = true;

    TOnGetCellTextEvent m_onGetCellText;
    TOnGetFooterTextEvent m_onGetFooterText;
    std::function<void()> m_onChanged;
};

} // namespace tally::printing
