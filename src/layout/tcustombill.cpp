#include "layout/tcustombill.h"

#include "base/numberformat.h"
#include "datapacket/datapackettable.h"
#include "layout/layoutreader.h"
#include "layout/layoutstreamerror.h"
#include "layout/layoutwriter.h"
#include "layout/tbilllayout.h"
#include "layout/tcell.h"
#include "layout/tfooter.h"
#include "printing/billpagination.h"
#include "printing/printer.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace tally::layout {

namespace {

bool isNumeric(datapacket::FieldKind kind)
{
    return datapacket::isIntegerKind(kind) || kind == datapacket::FieldKind::Float ||
           kind == datapacket::FieldKind::Bcd;
}

TPageSettings settingsOf(const printing::TCustomBillBase &bill, bool autoFit,
                         const TPageSettings &layoutSettings)
{
    TPageSettings s = layoutSettings;
    s.ZoomRatio = bill.GetZoomRatio();
    s.OffsetX = bill.GetOffset().x;
    s.OffsetY = bill.GetOffset().y;
    s.PrintOrient = static_cast<int>(bill.GetPrintOrient());
    s.PaperSize = bill.GetPaperSize();
    s.PaperLength = bill.GetPaperLength();
    s.PaperWidth = bill.GetPaperWidth();
    s.AutoFit = autoFit;
    return s;
}

} // namespace

TCustomBill::TCustomBill() : m_layout(std::make_unique<TBillLayout>()), m_layoutPPI(ScreenPPI())
{
    FitSize();
}

TCustomBill::~TCustomBill() = default;

void TCustomBill::invalidate()
{
    if (m_onChanged)
        m_onChanged();
}

void TCustomBill::structureChanged()
{
    FitSize();
    invalidate();
}

void TCustomBill::SetDrawEdge(bool value)
{
    if (m_drawEdge == value)
        return;
    m_drawEdge = value;
    invalidate();
}

void TCustomBill::SetAutoFit(bool value)
{
    if (m_autoFit == value)
        return;
    m_autoFit = value;
    if (!value)
        return;
    SetColCountLeft(0);
    if (RowCountBody() == 0)
        SetRowCountBody(1);
    invalidate();
}

void TCustomBill::SetDataSet(datapacket::DataPacketTable *table)
{
    m_dataSet = table;
    m_sums.Clear();
    if (table)
        invalidate();
}

bool TCustomBill::Active() const
{
    return m_dataSet && m_dataSet->isActive();
}

void TCustomBill::SetActive(bool value)
{
    if (value == Active())
        return;
    if (m_dataSet) {
        if (value)
            m_dataSet->open();
        else
            m_dataSet->close();
    }
    m_sums.Clear();
    invalidate();
}

void TCustomBill::SetAutoSize(bool value)
{
    if (m_autoSize == value)
        return;
    m_autoSize = value;
    FitSize();
}

void TCustomBill::SetSize(int width, int height)
{
    m_width = width;
    m_height = height;
    invalidate();
}

void TCustomBill::FitSize()
{
    if (m_reading || !m_autoSize)
        return;
    const int width = GetPageWidth() + 2 * kScreenMargin;
    const int height = GetPageHeight() + 2 * kScreenMargin;
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    invalidate();
}

void TCustomBill::SetDesignState(bool value)
{
    if (m_designState == value)
        return;
    m_designState = value;
    invalidate();
}

int TCustomBill::RowCountHead() const
{
    return m_layout->RowCountHead();
}
int TCustomBill::RowCountBody() const
{
    return m_layout->RowCountBody();
}
int TCustomBill::RowCountTail() const
{
    return m_layout->RowCountTail();
}
int TCustomBill::ColCount() const
{
    return m_layout->ColCount();
}
int TCustomBill::ColCountLeft() const
{
    return m_layout->ColCountLeft();
}

void TCustomBill::SetRowCount(Block block, int value)
{
    switch (block) {
    case Block::Head:
        m_layout->SetRowCountHead(value);
        break;
    case Block::Body:
        m_layout->SetRowCountBody(value);
        break;
    case Block::Tail:
        m_layout->SetRowCountTail(value);
        break;
    }
    structureChanged();
}

void TCustomBill::SetColCount(int value)
{
    m_layout->SetColCount(value);
    structureChanged();
}

void TCustomBill::SetColCountLeft(int value)
{
    m_layout->SetColCountLeft(value);
    structureChanged();
}

void TCustomBill::LoadFromStream(std::span<const std::uint8_t> bytes)
{
    // Settings the stream leaves out keep the bill's values.
    m_layout->PageSettings() = settingsOf(*this, m_autoFit, m_layout->PageSettings());
    m_reading = true;
    LayoutReadResult result;
    try {
        result = LayoutReader::Read(bytes, *m_layout, ScreenPPI());
    } catch (...) {
        m_reading = false;
        throw;
    }
    m_reading = false;
    if (!result)
        throw LayoutStreamError(result.offset, result.message);

    const TPageSettings &s = m_layout->PageSettings();
    SetZoomRatio(s.ZoomRatio);
    SetOffset({s.OffsetX, s.OffsetY});
    SetPrintOrient(s.PrintOrient == 1 ? printing::PrinterOrientation::poLandscape
                                      : printing::PrinterOrientation::poPortrait);
    SetPaperSize(s.PaperSize);
    SetPaperLength(s.PaperLength);
    SetPaperWidth(s.PaperWidth);
    m_autoFit = s.AutoFit;
    m_layoutPPI = ScreenPPI();
    m_sums.Clear();
    structureChanged();
}

std::vector<std::uint8_t> TCustomBill::SaveToStream() const
{
    // The layout carries the page settings only on their way into a stream.
    m_layout->PageSettings() = settingsOf(*this, m_autoFit, m_layout->PageSettings());
    return LayoutWriter::Write(*m_layout, ScreenPPI());
}

void TCustomBill::Assign(const TCustomBill &source)
{
    if (&source == this)
        return;
    LoadFromStream(source.SaveToStream());
}

void TCustomBill::AfterLoad()
{
    TCustomBillBase::AfterLoad();
    FitSize();
}

std::string TCustomBill::GetCellText(const TCell &cell, int col, int row, int pageIndex)
{
    const TBodyBlock &body = m_layout->BodyBlock();
    if (col >= body.ColOrigin() && col < body.ColOrigin() + body.ColCount() &&
        row >= body.RowOrigin() && row < body.RowOrigin() + body.RowCount())
        return bodyText(col, row, pageIndex);

    std::string text =
        cell.SumKind() != printing::SumScope::None ? sumText(cell, pageIndex) : cell.Text();
    if (!cell.FixedText() && m_onGetCellText)
        m_onGetCellText(*this, cell.CellName(), pageIndex, text);
    return text;
}

std::string TCustomBill::GetFooterText(const TFooter &item, int pageIndex)
{
    std::string text = item.Text();
    if (!item.FixedText() && m_onGetFooterText)
        m_onGetFooterText(*this, pageIndex, text);
    return text;
}

std::string TCustomBill::bodyText(int col, int row, int pageIndex)
{
    if (!Active())
        return {};
    const TBodyBlock &body = m_layout->BodyBlock();
    const long long rows = body.RowCount();
    const long long record =
        (row - body.RowOrigin()) + (static_cast<long long>(pageIndex) - 1) * rows;
    const datapacket::DataPacketTable &table = *m_dataSet;
    if (record < 0 || static_cast<unsigned long long>(record) >= table.recordCount())
        return {};
    const int fieldIndex = body.FieldMap()[static_cast<std::size_t>(col - body.ColOrigin())];
    if (fieldIndex >= table.fieldCount())
        return {};
    // Read by position: the table's current row is left to whoever shows it.
    return table.cell(static_cast<std::size_t>(record), fieldIndex).displayText();
}

std::string TCustomBill::sumText(const TBasicUnit &unit, int pageIndex)
{
    if (!Active())
        return {};
    const datapacket::DataPacketTable &table = *m_dataSet;
    const int fieldIndex = unit.SumField();
    if (fieldIndex < 0 || fieldIndex >= table.fieldCount())
        return {};
    const datapacket::PacketField &field = table.field(fieldIndex);
    if (!isNumeric(field.kind()))
        return {};
    if (table.recordCount() == 0)
        return {};

    const int records = static_cast<int>(table.recordCount());
    const printing::RecordRange range = printing::SumRecordRange(
        unit.SumKind(), pageIndex, m_layout->BodyBlock().RowCount(), records);
    double sum = 0.0;
    switch (unit.SumKind()) {
    case printing::SumScope::Page:
        for (int i = range.first; i < range.end; ++i)
            sum += field.at(static_cast<std::size_t>(i)).asFloat();
        break;
    case printing::SumScope::Running:
    case printing::SumScope::Total:
        // Both start at the first record: within an output run the running
        // sums are kept, so later pages do not read the table from the top.
        if (m_inOutput) {
            sum = m_sums.PrefixSum(table, fieldIndex, static_cast<std::size_t>(range.end));
        } else {
            for (int i = 0; i < range.end; ++i)
                sum += field.at(static_cast<std::size_t>(i)).asFloat();
        }
        break;
    default:
        return {};
    }

    const FormatSettings &fs = table.formatSettings();
    if (!field.displayFormat().empty())
        return formatFloatPattern(field.displayFormat(), sum, fs);
    if (field.isCurrency())
        return formatCurrency(sum, fs, fs.currencyDecimals, 15);
    return formatGeneral(sum, fs, 15);
}

bool TCustomBill::autoFitApplies() const
{
    return m_autoFit && ColCountLeft() <= 0 && !m_layout->BodyBlock().Empty();
}

void TCustomBill::BeginPrint()
{
    m_inOutput = true;
    m_sums.Clear();
    if (autoFitApplies())
        m_savedRowCountBody = RowCountBody();
}

void TCustomBill::EndPrint()
{
    m_inOutput = false;
    m_sums.Clear();
    if (autoFitApplies())
        SetRowCountBody(m_savedRowCountBody);
}

void TCustomBill::CalcPages()
{
    if (!autoFitApplies())
        return;
    if (!Context().printer)
        throw std::logic_error("no printer to fit the body rows to");
    const int pageHeight =
        printing::PageHeightInScreenPixels(Context().printer->metrics(), ScreenPPI());

    const TColRow &rows = m_layout->Rows();
    const int bodyStart = m_layout->LeftBlock().RowOrigin();
    const int tailStart = m_layout->TailBlock().RowOrigin();
    long long fixed = 0;
    for (int r = 0; r < bodyStart; ++r)
        fixed += rows.Size(r) + 1;
    for (int r = tailStart; r < rows.Count(); ++r)
        fixed += rows.Size(r) + 1;

    // A zoom of 0 gives -1, which the setter ignores like any negative count.
    const int n = printing::AutoFitBodyRows(pageHeight, GetOffset().y,
                                            static_cast<int>(std::min<long long>(fixed, INT_MAX)),
                                            rows.Size(bodyStart), GetZoomRatio());
    // Absurd counts (a page of thousands of rows) are ignored as well.
    if (n > LayoutReader::kMaxRows)
        return;
    SetRowCountBody(n == 0 ? 1 : n);
}

int TCustomBill::GetPageWidth() const
{
    return m_layout->GetPageWidth();
}

int TCustomBill::GetPageHeight() const
{
    return m_layout->GetPageHeight();
}

int TCustomBill::GetPageCount() const
{
    if (!Active())
        return 1;
    const int rows = m_layout->BodyBlock().RowCount();
    // No body rows: one page of head, tail and free items (also without
    // records) rather than a division by zero or a document without pages.
    if (rows <= 0)
        return 1;
    return printing::BodyPageCount(static_cast<int>(m_dataSet->recordCount()), rows);
}

} // namespace tally::layout
