#pragma once

#include "layout/billsumcache.h"
#include "printing/custombillbase.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tally::datapacket {
class DataPacketTable;
}

namespace tally::layout {

class TBasicUnit;
class TBillLayout;
class TCell;
class TFooter;

// The fixed-layout bill: one layout (owned), body rows bound by field
// position to a data packet table (not owned), variable texts answered by
// callbacks, sums, pagination and page rendering. Not thread-safe: a bill
// is filled and drawn by one thread at a time. Exceptions of the callbacks
// and of field reads propagate out of GetCellText, DrawPage and friends.
class TCustomBill : public printing::TCustomBillBase
{
public:
    // Text of a variable grid cell: cellName such as "A1", text holds the
    // stored text (or sum) on entry and may be replaced.
    using TGetCellTextEvent = std::function<void(TCustomBill &sender, const std::string &cellName,
                                                 int pageIndex, std::string &text)>;
    // Text of a variable free item: text holds the stored name on entry.
    using TGetFooterTextEvent =
        std::function<void(TCustomBill &sender, int pageIndex, std::string &text)>;
    // Called after a cell has been drawn, with the grid slot that drew it and
    // the whole cell's device rectangle.
    using TBillDrawCellEvent =
        std::function<void(TCustomBill &sender, printing::Canvas &canvas, int col, int row,
                           int pageIndex, const printing::Rect &rect)>;

    // Margin of the on-screen painting around the page, in pixels.
    static constexpr int kScreenMargin = 5;

    // A bill with the default layout (6 columns, 10 rows), no table, zoom 100,
    // DrawEdge and AutoSize on, AutoFit off.
    TCustomBill();
    ~TCustomBill() override;

    // The layout (owned by the bill). Structural changes made directly on it
    // should be followed by FitSize().
    TBillLayout &Layout() { return *m_layout; }
    const TBillLayout &Layout() const { return *m_layout; }

    // Resolution of the layout's lengths; always the screen's once loaded.
    int LayoutPPI() const { return m_layoutPPI; }

    // Caption of the document; names the print job.
    const std::string &Caption() const { return m_caption; }
    void SetCaption(std::string caption) { m_caption = std::move(caption); }

    // Thick outer frame around the grid.
    bool DrawEdge() const { return m_drawEdge; }
    void SetDrawEdge(bool value);

    // Fit the body rows to the printer page while printing. Turning it on
    // makes the left block empty and gives the body at least one row.
    bool AutoFit() const { return m_autoFit; }
    void SetAutoFit(bool value);

    // The bound table (not owned; it must outlive the binding or be unbound
    // with SetDataSet(nullptr) first).
    datapacket::DataPacketTable *DataSet() const { return m_dataSet; }
    void SetDataSet(datapacket::DataPacketTable *table);

    // True when a table is bound and open. SetActive(true) opens the bound
    // table, SetActive(false) closes it (which empties it).
    bool Active() const;
    void SetActive(bool value);

    // The control follows the layout's extent (+10 pixels each way).
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    // Size of the control in pixels.
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetSize(int width, int height);
    // Width := GetPageWidth + 10, height := GetPageHeight + 10 when AutoSize
    // and not while a stream is being read.
    void FitSize();

    // Fills fixed texts with the design colour instead of white.
    bool DesignState() const { return m_designState; }
    void SetDesignState(bool value);

    // Grid shape. Setters ignore out-of-range values silently: negative row
    // counts, changes leaving fewer than 3 grid rows, column counts <= 0,
    // left columns outside 0..ColCount-1.
    int RowCountHead() const;
    int RowCountBody() const;
    int RowCountTail() const;
    int ColCount() const;
    int ColCountLeft() const;
    // The grid blocks whose row count a bill sets; the body's count is also
    // the left block's.
    enum class Block
    {
        Head,
        Body,
        Tail
    };
    void SetRowCountHead(int value) { SetRowCount(Block::Head, value); }
    void SetRowCountBody(int value) { SetRowCount(Block::Body, value); }
    void SetRowCountTail(int value) { SetRowCount(Block::Tail, value); }
    void SetRowCount(Block block, int value);
    void SetColCount(int value);
    void SetColCountLeft(int value);

    // Callbacks; an unset callback leaves the stored text.
    void SetOnGetCellText(TGetCellTextEvent handler) { m_onGetCellText = std::move(handler); }
    void SetOnGetFooterText(TGetFooterTextEvent handler) { m_onGetFooterText = std::move(handler); }
    void SetOnDrawCell(TBillDrawCellEvent handler) { m_onDrawCell = std::move(handler); }
    // Called whenever the bill wants to be repainted or its size changed.
    void SetOnChanged(std::function<void()> handler) { m_onChanged = std::move(handler); }

    // Layout stream ("CoreData"). LoadFromStream replaces the layout and the
    // page settings stored with it (AutoFit included); on a bad stream it
    // throws LayoutStreamError (offset and message) and changes nothing.
    virtual void LoadFromStream(std::span<const std::uint8_t> bytes);
    // The stream of the layout and the current page settings.
    virtual std::vector<std::uint8_t> SaveToStream() const;
    // Copies layout and page settings of another bill through the stream.
    void Assign(const TCustomBill &source);

    // Loads the settings saved for this bill, then FitSize.
    void AfterLoad() override;

    // Text of the grid cell drawn at grid slot (col, row) on a page: the body
    // text in the body block, else the sum or stored text, replaced through
    // OnGetCellText for a variable cell.
    std::string GetCellText(const TCell &cell, int col, int row, int pageIndex);
    // Text of a free item: its Text, replaced through OnGetFooterText when
    // the item is variable.
    std::string GetFooterText(const TFooter &item, int pageIndex);

    // Printable operations.
    void BeginPrint() override;
    void EndPrint() override;
    // With AutoFit (and no left columns, a body block with rows): sets
    // RowCountBody to the rows that fill the printer page. Throws
    // std::logic_error when that needs a printer and the context has none.
    void CalcPages() override;
    std::string GetCaption() const override { return m_caption; }
    int GetPageWidth() const override;
    int GetPageHeight() const override;
    // 1 without an open table; else records / RowCountBody rounded up (0
    // for an empty table). With RowCountBody 0 an open table gives 1 page
    // (head, tail and free items without body rows).
    int GetPageCount() const override;

    // Page rendering with the drawing state of one drawing.
    void RenderPage(printing::Canvas &canvas, const printing::DrawingFrame &frame,
                    int pageIndex) override;
    void DrawCell(printing::Canvas &canvas, const printing::DrawingFrame &frame, int col, int row,
                  int pageIndex);
    void DrawFooter(printing::Canvas &canvas, const printing::DrawingFrame &frame,
                    const TFooter &item, bool bottom, int pageIndex);

private:
    bool autoFitApplies() const;
    void invalidate();
    void structureChanged();
    std::string bodyText(int col, int row, int pageIndex);
    std::string sumText(const TBasicUnit &unit, int pageIndex);

    std::unique_ptr<TBillLayout> m_layout;
    int m_layoutPPI;
    std::string m_caption;
    bool m_drawEdge = true;
    bool m_autoFit = false;
    bool m_autoSize = true;
    bool m_designState = false;
    bool m_reading = false;
    bool m_inOutput = false;
    int m_width = 0;
    int m_height = 0;
    int m_savedRowCountBody = 0;
    datapacket::DataPacketTable *m_dataSet = nullptr;
    BillSumCache m_sums;

    TGetCellTextEvent m_onGetCellText;
    TGetFooterTextEvent m_onGetFooterText;
    TBillDrawCellEvent m_onDrawCell;
    std::function<void()> m_onChanged;
};

} // namespace tally::layout
