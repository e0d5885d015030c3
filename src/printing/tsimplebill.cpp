#include "printing/tsimplebill.h"

#include "printing/billpagination.h"
#include "printing/canvas.h"
#include "printing/drawingframe.h"
#include "printing/printer.h"
#include "printing/printmath.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace tally::printing {

namespace {

unsigned alignmentFlags(TAlignment alignment)
{
    switch (alignment) {
    case TAlignment::taRightJustify:
        return Canvas::AlignRight;
    case TAlignment::taCenter:
        return Canvas::AlignCenter;
    case TAlignment::taLeftJustify:
        break;
    }
    return Canvas::AlignLeft;
}

bool isBlank(const std::string &text)
{
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

// Writes one line of text with its top-left corner at (x, y), unclipped.
void writeText(Canvas &canvas, int x, int y, const std::string &text, int width)
{
    canvas.drawText(text, {x, y, x + width, y + canvas.fontHeight()},
                    Canvas::NoClip | Canvas::NoPrefix);
}

int textWidth(Canvas &canvas, const std::string &text)
{
    return canvas.measureText(text, {0, 0, 0, 0}, Canvas::NoPrefix).width();
}

} // namespace

TSimpleBill::TSimpleBill()
    : m_columns([this] { sizeChanged(); }),
      m_footers([this] { return m_font; }, [this] { repaint(); }),
      m_title([this] { checkTopSpace(); })
{
    for (int i = 0; i < 5; ++i)
        m_columns.Add();
    m_constructing = false;
}

TSimpleBill::~TSimpleBill() = default;

void TSimpleBill::SetTopSpace(int value)
{
    if (value == m_topSpace)
        return;
    m_topSpace = std::max(value, m_title.Font().Height(ScreenPPI()) + 10);
    sizeChanged();
}

void TSimpleBill::SetBottomSpace(int value)
{
    if (value == m_bottomSpace)
        return;
    m_bottomSpace = value;
    sizeChanged();
}

void TSimpleBill::SetColCount(int value)
{
    if (value <= 0 || value == m_columns.Count())
        return;
    while (m_columns.Count() > value)
        m_columns.Delete(m_columns.Count() - 1);
    while (m_columns.Count() < value)
        m_columns.Add();
}

void TSimpleBill::SetRowCount(int value)
{
    // A negative count would give a negative page count; no rows is what
    // it can only mean.
    value = std::max(value, 0);
    if (value == m_rowCount)
        return;
    m_rowCount = value;
    sizeChanged();
}

void TSimpleBill::SetRowHeight(int value)
{
    if (value < 1 || value == m_rowHeight)
        return;
    m_rowHeight = value;
    sizeChanged();
}

void TSimpleBill::SetLastPageFull(bool value)
{
    m_lastPageFull = value;
    repaint();
}

void TSimpleBill::SetFont(const TSimpleFont &font)
{
    m_font = font;
    repaint();
}

void TSimpleBill::SetAutoSize(bool value)
{
    m_autoSize = value;
    sizeChanged();
}

void TSimpleBill::SetSize(int width, int height)
{
    m_width = width;
    m_height = height;
    repaint();
}

void TSimpleBill::sizeChanged()
{
    if (m_constructing)
        return;
    if (m_autoSize) {
        m_width = m_columns.TotalWidth() + 2 * kScreenMargin;
        const std::int64_t h = static_cast<std::int64_t>(m_topSpace) + m_bottomSpace +
                               (static_cast<std::int64_t>(m_rowCount) + 1) * m_rowHeight;
        m_height = static_cast<int>(std::min<std::int64_t>(h, std::numeric_limits<int>::max()));
    }
    repaint();
}

void TSimpleBill::checkTopSpace()
{
    m_topSpace = std::max(m_topSpace, m_title.Font().Height(ScreenPPI()) + 10);
    repaint();
}

void TSimpleBill::repaint()
{
    if (!m_constructing && m_onChanged)
        m_onChanged();
}

void TSimpleBill::CalcPages()
{
    if (!Context().printer)
        throw std::logic_error("no printer to paginate the list report for");
    const std::int64_t h = PageHeightInScreenPixels(Context().printer->metrics(), ScreenPPI());
    const std::int64_t zoom = GetZoomRatio();
    const std::int64_t divisor = static_cast<std::int64_t>(m_rowHeight) * zoom;
    std::int64_t rows = 1;
    // A zoom below 1 (only reachable through the printable contract) leaves
    // nothing to divide by; one row per page keeps every row printable.
    if (divisor > 0) {
        const std::int64_t fixed =
            static_cast<std::int64_t>(m_topSpace) + m_bottomSpace + m_rowHeight;
        rows = ((h - GetOffset().y) * 100 - fixed * zoom) / divisor;
    }
    // A header taller than the page gives 0 or fewer rows; at least one row
    // per page still prints every row, one under each header.
    m_pageRows =
        static_cast<int>(std::clamp<std::int64_t>(rows, 1, std::numeric_limits<int>::max()));
}

int TSimpleBill::GetPageHeight() const
{
    const std::int64_t h =
        (static_cast<std::int64_t>(m_pageRows) + 1) * m_rowHeight + m_topSpace + m_bottomSpace;
    return static_cast<int>(std::clamp<std::int64_t>(h, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

int TSimpleBill::GetPageCount() const
{
    // Before the first CalcPages, or after painting a report without rows,
    // PageRows is 0; counting one row per page then avoids the division by
    // zero and still gives 0 pages for 0 rows.
    return BodyPageCount(m_rowCount, std::max(m_pageRows, 1));
}

void TSimpleBill::PaintOnScreen(Canvas &canvas)
{
    // The whole table is one page on the form. The window behind an open
    // preview repaints whenever it is uncovered, so the pagination is put
    // back afterwards: the preview's next page keeps its rows.
    struct Restore
    {
        int &rows;
        int saved;
        ~Restore() { rows = saved; }
    } restore{m_pageRows, m_pageRows};
    m_pageRows = m_rowCount;
    TCustomBillBase::PaintOnScreen(canvas);
}

void TSimpleBill::RenderPage(Canvas &canvas, const DrawingFrame &frame, int pageIndex)
{
    DrawContent(canvas, frame, pageIndex);
}

Rect TSimpleBill::CellRect(const DrawingFrame &frame, int col, int row) const
{
    const TSimpleColumn &column = m_columns[col];
    const int top = frame.ScaleY(m_topSpace) + row * frame.ScaleY(m_rowHeight);
    return {frame.ScaleX(column.Left()), top, frame.ScaleX(column.Right()),
            top + frame.ScaleY(m_rowHeight)};
}

void TSimpleBill::DrawCellText(Canvas &canvas, const DrawingFrame &frame, Rect rect,
                               TAlignment alignment, const std::string &text) const
{
    const unsigned flags = alignmentFlags(alignment) | Canvas::NoPrefix | Canvas::ExpandTabs;
    const int inset = frame.ScaleX(2);
    rect.left += inset;
    rect.right -= inset;
    const Rect measured = canvas.measureText(text, rect, flags);
    const int offset = (rect.top + rect.bottom - measured.top - measured.bottom) / 2;
    canvas.drawText(text, rect.translated(0, offset), flags);
}

void TSimpleBill::selectFont(Canvas &canvas, const DrawingFrame &frame,
                             const TSimpleFont &font) const
{
    canvas.setFontName(font.Name);
    canvas.setFontSize(font.Size);
    canvas.setFontHeight(frame.ScaleFontHeight(canvas.fontHeight()));
    canvas.setFontStyle(font.Style);
}

void TSimpleBill::DrawContent(Canvas &canvas, const DrawingFrame &frame, int pageIndex)
{
    // A report without pages is previewed as page 0; it shows the title, the
    // header and the footers, and no callback is asked for rows below 1.
    const std::int64_t firstRow =
        (static_cast<std::int64_t>(std::max(pageIndex, 1)) - 1) * m_pageRows + 1;
    std::int64_t rowsOnPage = m_pageRows;
    if (firstRow + m_pageRows - 1 > m_rowCount && !m_lastPageFull)
        rowsOnPage = m_rowCount - firstRow + 1;
    // Pages past the end (asked for by nobody in the system) draw the bare
    // header rather than a frame turned upside down.
    if (pageIndex < 1 || rowsOnPage < 0)
        rowsOnPage = 0;
    const int rows = static_cast<int>(rowsOnPage);

    const int rowHeight = frame.ScaleY(m_rowHeight);
    const int tableTop = frame.ScaleY(m_topSpace);
    const int tableBottom = rowHeight * (rows + 1) + tableTop;
    const int tableRight = frame.ScaleX(m_columns.TotalWidth());

    // Texts are drawn over white paper; a clear brush keeps them off the rules.
    canvas.setBrushStyle(Canvas::BrushStyle::Clear);
    selectFont(canvas, frame, m_title.Font());
    const int titleWidth = textWidth(canvas, m_title.Caption());
    writeText(canvas, (tableRight - titleWidth) / 2, frame.ScaleY(m_title.Top()), m_title.Caption(),
              titleWidth);

    selectFont(canvas, frame, m_font);

    canvas.setPenColor(kBlack);
    canvas.setPenStyle(Canvas::PenStyle::Solid);
    canvas.setPenWidth(1);
    for (int h = 1; h <= rows; ++h) {
        const int y = tableTop + h * rowHeight;
        canvas.moveTo(0, y);
        canvas.lineTo(tableRight, y);
    }
    for (int i = 1; i < m_columns.Count(); ++i) {
        const int x = frame.ScaleX(m_columns[i].Left());
        canvas.moveTo(x, tableTop);
        canvas.lineTo(x, tableBottom);
    }

    // The frame stays two screen pixels thick whatever the zoom.
    canvas.setPenWidth(MulDiv(2, frame.DeviceDpiX(), frame.ScreenPPI()));
    canvas.moveTo(0, tableTop);
    canvas.lineTo(tableRight, tableTop);
    canvas.lineTo(tableRight, tableBottom);
    canvas.lineTo(0, tableBottom);
    // One pixel further, so the excluded end point still closes the corner.
    canvas.lineTo(0, tableTop - 1);
    canvas.moveTo(0, tableTop + rowHeight);
    canvas.lineTo(tableRight, tableTop + rowHeight);
    canvas.setPenWidth(1);

    for (int i = 0; i < m_columns.Count(); ++i)
        DrawCellText(canvas, frame, CellRect(frame, i, 0), TAlignment::taCenter,
                     m_columns[i].Caption());

    std::string text;
    for (int o = 1; o <= rows; ++o) {
        const std::int64_t row = firstRow + o - 1;
        if (row > m_rowCount)
            break;
        for (int i = 0; i < m_columns.Count(); ++i) {
            if (m_onGetCellText)
                m_onGetCellText(*this, i, static_cast<int>(row), text);
            DrawCellText(canvas, frame, CellRect(frame, i, o), m_columns[i].Alignment(), text);
        }
    }

    drawFooters(canvas, frame, pageIndex, tableBottom);
}

void TSimpleBill::drawFooters(Canvas &canvas, const DrawingFrame &frame, int pageIndex,
                              int tableBottom)
{
    const int tableRight = frame.ScaleX(m_columns.TotalWidth());
    for (int i = 0; i < m_footers.Count(); ++i) {
        const TSimpleBillFooter &footer = m_footers[i];
        std::string text = footer.Caption();
        if (m_onGetFooterText)
            m_onGetFooterText(*this, pageIndex, text);
        if (isBlank(text))
            continue;
        selectFont(canvas, frame, footer.Font());
        const int width = textWidth(canvas, text);
        int x = frame.ScaleX(footer.Position());
        if (footer.Alignment() == TAlignment::taRightJustify)
            x = frame.ScaleX(m_columns.TotalWidth() - footer.Position()) - width;
        else if (footer.Alignment() == TAlignment::taCenter)
            x = (tableRight - width) / 2 + frame.ScaleX(footer.Position());
        int y = frame.ScaleY(footer.Top());
        if (footer.IsBottom())
            y += tableBottom;
        writeText(canvas, x, y, text, width);
    }
}

} // namespace tally::printing
