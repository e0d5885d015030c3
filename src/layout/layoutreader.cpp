#include "layout/layoutreader.h"

#include "base/muldiv.h"

#include "layout/einvalidreportoperation.h"
#include "layout/layoutstreamerror.h"
#include "layout/reportutils.h"
#include "layout/tbilllayout.h"
#include "layout/tcell.h"
#include "layout/valuereader.h"

namespace tally::layout {

namespace {

constexpr int kUnversioned = 96;
constexpr int kVersion629 = 629;

// One read of one stream into a fresh layout.
class StreamParser
{
public:
    StreamParser(std::span<const std::uint8_t> bytes, TBillLayout &out, int screenPPI)
        : m_in(bytes), m_out(out), m_screenPPI(screenPPI)
    {
    }

    void Parse();
    int Version() const { return m_version; }
    int LayoutPPI() const { return m_layoutPPI; }
    std::size_t Offset() const { return m_in.Offset(); }

private:
    enum class BlockKind
    {
        Head,
        Left,
        Tail
    };

    [[noreturn]] static void fail(std::size_t at, const char *message)
    {
        ValueReader::Fail(at, message);
    }
    int convert(std::int32_t value, std::size_t at) const;
    int readCount(int minimum, int maximum);
    void readSizes(TColRow &list, int minimum, int maximum);
    void readPageSettings();
    void readFooters(std::vector<TFooter> &list);
    // The font and alignment tags units and body templates share; false for
    // any other tag, which is left to the caller.
    bool readFontProperty(std::uint8_t tag, TBasicUnit &unit);
    void readUnitProperties(TBasicUnit &unit);
    void readCellSection(TCell &cell);
    void checkShape(BlockKind kind, int cols, int rows, std::size_t at) const;
    void readBlock(TBlock &block, BlockKind kind);
    void readCellEntry(TBlock &block);
    void readBody();
    void readBodyEntry();
    void readOldBodyEntry();
    void readEdges();

    ValueReader m_in;
    TBillLayout &m_out;
    int m_screenPPI;
    int m_version = 0;
    int m_layoutPPI = 0;
};

int StreamParser::convert(std::int32_t value, std::size_t at) const
{
    const auto converted = MulDivChecked(value, m_screenPPI, m_layoutPPI);
    if (!converted)
        fail(at, kInvalidPropertyValue);
    return *converted;
}

int StreamParser::readCount(int minimum, int maximum)
{
    const std::size_t at = m_in.Offset();
    const std::int32_t count = m_in.ReadInt();
    if (count < minimum || count > maximum)
        fail(at, kInvalidPropertyValue);
    return count;
}

void StreamParser::readSizes(TColRow &list, int minimum, int maximum)
{
    const int count = readCount(minimum, maximum);
    list.Clear();
    long extent = 0;
    for (int i = 0; i < count; ++i) {
        const std::size_t at = m_in.Offset();
        const int size = convert(m_in.ReadInt(), at);
        // Negative or giant sizes would break positions (and their arithmetic).
        extent += long{size} + 1;
        if (size < 0 || size > LayoutReader::kMaxSize || extent > (1L << 30))
            fail(at, kInvalidPropertyValue);
        list.Add(size);
    }
}

void StreamParser::readPageSettings()
{
    TPageSettings &page = m_out.PageSettings();
    if (m_version == kUnversioned) {
        page.ZoomRatio = m_in.ReadInt();
        page.OffsetX = m_in.ReadInt();
        page.OffsetY = m_in.ReadInt();
        page.PrintOrient = m_in.ReadInt();
        m_in.ReadInt();
        return;
    }
    page.ZoomRatio = 100;
    page.OffsetX = 0;
    page.OffsetY = 0;
    page.PrintOrient = 0;
    page.PaperSize = 0;
    page.AutoFit = false;
    for (;;) {
        const std::size_t at = m_in.Offset();
        switch (m_in.ReadByte() & 0x7F) {
        case 0x00:
            return;
        case 0x28:
            page.ZoomRatio = m_in.ReadInt();
            break;
        case 0x29:
            page.OffsetX = m_in.ReadInt();
            break;
        case 0x2A:
            page.OffsetY = m_in.ReadInt();
            break;
        case 0x2B:
            page.PrintOrient = 1;
            break;
        case 0x2C:
            page.PaperSize = m_in.ReadInt();
            if (page.PaperSize == 256) {
                page.PaperLength = m_in.ReadInt();
                page.PaperWidth = m_in.ReadInt();
            }
            break;
        case 0x2D:
            page.AutoFit = true;
            break;
        default:
            fail(at, kInvalidPropertyValue);
        }
    }
}

bool StreamParser::readFontProperty(std::uint8_t tag, TBasicUnit &unit)
{
    switch (tag) {
    case 0x02:
        unit.SetFontName(m_in.ReadString());
        return true;
    case 0x03:
        unit.AddStyle(TFontStyle::Bold);
        return true;
    case 0x04:
        unit.AddStyle(TFontStyle::Italic);
        return true;
    case 0x05:
        unit.AddStyle(TFontStyle::Underline);
        return true;
    case 0x06:
        unit.SetFontSize(m_in.ReadInt());
        return true;
    // Byte-sized properties keep the low byte, as the stored layouts expect.
    case 0x07:
        unit.SetHAlign(static_cast<printing::HorzAlign>(m_in.ReadInt() & 0xFF));
        return true;
    default:
        return false;
    }
}

void StreamParser::readUnitProperties(TBasicUnit &unit)
{
    for (;;) {
        const std::size_t at = m_in.Offset();
        const std::uint8_t tag = m_in.ReadByte() & 0x7F;
        if (readFontProperty(tag, unit))
            continue;
        switch (tag) {
        case 0x00:
            return;
        case 0x01:
            unit.SetText(m_in.ReadString());
            break;
        case 0x08:
            unit.SetVAlign(static_cast<printing::VertAlign>(m_in.ReadInt() & 0xFF));
            break;
        case 0x09:
            unit.SetFixedText(false);
            break;
        case 0x11:
            unit.SetSumKind(static_cast<printing::SumScope>(m_in.ReadInt() & 0xFF));
            unit.SetSumField(m_in.ReadInt());
            break;
        default:
            fail(at, kInvalidPropertyValue);
        }
    }
}

void StreamParser::readFooters(std::vector<TFooter> &list)
{
    list.clear();
    const int count = readCount(0, INT32_MAX);
    for (int i = 0; i < count; ++i) {
        TFooter item;
        readUnitProperties(item);
        int values[4];
        for (int &value : values) {
            const std::size_t at = m_in.Offset();
            value = convert(m_in.ReadInt(), at);
        }
        item.SetRect({values[0], values[1], values[2], values[3]});
        list.push_back(std::move(item));
    }
}

void StreamParser::readCellSection(TCell &cell)
{
    for (;;) {
        const std::size_t at = m_in.Offset();
        switch (m_in.ReadByte()) {
        case 0x00:
            return;
        case 0x0A:
            cell.SetColSpan(readCount(0, INT32_MAX));
            break;
        case 0x0B:
            cell.SetRowSpan(readCount(0, INT32_MAX));
            break;
        case 0x10:
            cell.SetDiagonal(true);
            break;
        default:
            fail(at, kInvalidPropertyValue);
        }
    }
}

void StreamParser::checkShape(BlockKind kind, int cols, int rows, std::size_t at) const
{
    // The blocks must tile the grid exactly, or later slot lookups would
    // reach past the column and row lists.
    const int gridCols = m_out.ColCount();
    const int bodyRows = m_out.RowCount() - 2;
    bool ok = rows >= 0;
    switch (kind) {
    case BlockKind::Head:
        ok = ok && cols == gridCols && rows <= bodyRows;
        break;
    case BlockKind::Left:
        ok = ok && cols >= 0 && cols <= gridCols && m_out.RowCountHead() + rows <= bodyRows;
        break;
    case BlockKind::Tail:
        ok = ok && cols == gridCols &&
             rows == bodyRows - m_out.RowCountHead() - m_out.RowCountBody();
        break;
    }
    if (!ok || long{cols} * rows > LayoutReader::kMaxBlockSlots)
        fail(at, kInvalidPropertyValue);
}

void StreamParser::readBlock(TBlock &block, BlockKind kind)
{
    const std::size_t at = m_in.Offset();
    const int cols = m_in.ReadInt();
    const int rows = m_in.ReadInt();
    checkShape(kind, cols, rows, at);
    block.SetSize(cols, rows);
    if (block.Empty())
        return;
    m_in.ReadListBegin();
    while (!m_in.AtListEnd())
        readCellEntry(block);
}

void StreamParser::readCellEntry(TBlock &block)
{
    const std::size_t at = m_in.Offset();
    const int col = m_in.ReadInt();
    const int row = m_in.ReadInt();
    if (col < 0 || col >= block.ColCount() || row < 0 || row >= block.RowCount())
        fail(at, kGridIndexOutOfRange);
    // A slot already taken by a merged cell cannot start another entry.
    if (!block.IsPlainSlot(col, row))
        fail(at, kInvalidPropertyValue);
    TCell &cell = block.GetCell(col, row);
    readCellSection(cell);
    readUnitProperties(cell);
    if (!cell.Merged())
        return;
    if (long{col} + cell.ColSpan() >= block.ColCount() ||
        long{row} + cell.RowSpan() >= block.RowCount())
        fail(at, kGridIndexOutOfRange);
    if (!block.AttachSpan(col, row))
        fail(at, kInvalidPropertyValue);
}

void StreamParser::readBody()
{
    TBodyBlock &body = m_out.BodyBlock();
    const std::size_t at = m_in.Offset();
    const int cols = m_in.ReadInt();
    const int rows = m_in.ReadInt();
    if (cols != m_out.ColCount() - m_out.ColCountLeft() || rows != m_out.RowCountBody())
        fail(at, kInvalidPropertyValue);
    body.SetSize(cols, rows);
    if (body.Empty())
        return;
    m_in.ReadListBegin();
    while (!m_in.AtListEnd()) {
        if (m_version == kUnversioned || m_version == kVersion629)
            readOldBodyEntry();
        else
            readBodyEntry();
    }
}

void StreamParser::readBodyEntry()
{
    TBodyBlock &body = m_out.BodyBlock();
    const std::size_t at = m_in.Offset();
    const int col = m_in.ReadInt();
    if (col < 0 || col >= body.ColCount())
        fail(at, kGridIndexOutOfRange);
    if (!body.IsPlainSlot(col, 0))
        fail(at, kInvalidPropertyValue);
    TCell &cell = body.Template(col);
    for (bool more = true; more;) {
        const std::size_t tagAt = m_in.Offset();
        const std::uint8_t tag = m_in.ReadByte() & 0x7F;
        if (readFontProperty(tag, cell))
            continue;
        switch (tag) {
        case 0x00:
            more = false;
            break;
        case 0x0A:
            cell.SetColSpan(readCount(0, INT32_MAX));
            break;
        default:
            fail(tagAt, kInvalidPropertyValue);
        }
    }
    if (cell.ColSpan() == 0)
        return;
    if (long{col} + cell.ColSpan() >= body.ColCount())
        fail(at, kGridIndexOutOfRange);
    if (!body.AttachSpan(col, 0))
        fail(at, kInvalidPropertyValue);
}

void StreamParser::readOldBodyEntry()
{
    TBodyBlock &body = m_out.BodyBlock();
    const std::size_t at = m_in.Offset();
    const int col = m_in.ReadInt();
    const int row = m_in.ReadInt();
    if (row != 0) {
        // Older layouts stored every body slot; only row 0 shapes a template.
        TCell discarded(nullptr, 0, 0);
        readCellSection(discarded);
        readUnitProperties(discarded);
        return;
    }
    if (col < 0 || col >= body.ColCount())
        fail(at, kGridIndexOutOfRange);
    if (!body.IsPlainSlot(col, 0))
        fail(at, kInvalidPropertyValue);
    TCell &cell = body.Template(col);
    readCellSection(cell);
    readUnitProperties(cell);
    // Templates span columns only.
    cell.SetRowSpan(0);
    if (cell.ColSpan() == 0)
        return;
    if (long{col} + cell.ColSpan() >= body.ColCount())
        fail(at, kGridIndexOutOfRange);
    if (!body.AttachSpan(col, 0))
        fail(at, kInvalidPropertyValue);
}

void StreamParser::readEdges()
{
    m_out.ResetEdges();
    m_in.ReadListBegin();
    while (!m_in.AtListEnd()) {
        const std::size_t at = m_in.Offset();
        const int col = m_in.ReadInt();
        const int row = m_in.ReadInt();
        const bool top = m_in.ReadBool();
        const bool left = m_in.ReadBool();
        try {
            m_out.SetTopLine(col, row, top);
            m_out.SetLeftLine(col, row, left);
        } catch (const EInvalidReportOperation &) {
            fail(at, kGridIndexOutOfRange);
        }
    }
}

void StreamParser::Parse()
{
    m_version = m_in.ReadInt();
    if (m_version == kUnversioned) {
        m_layoutPPI = kUnversioned;
    } else {
        const std::size_t ppiAt = m_in.Offset();
        m_layoutPPI = m_in.ReadInt();
        if (m_layoutPPI <= 0)
            fail(ppiAt, kInvalidPropertyValue);
    }
    readSizes(m_out.Cols(), 1, LayoutReader::kMaxCols);
    const std::size_t rowsAt = m_in.Offset();
    readSizes(m_out.Rows(), 3, LayoutReader::kMaxRows);
    if ((long{m_out.ColCount()} + 1) * (long{m_out.RowCount()} + 1) > LayoutReader::kMaxGridSlots)
        fail(rowsAt, kInvalidPropertyValue);
    readPageSettings();
    readFooters(m_out.TopFooters());
    readFooters(m_out.BottomFooters());
    readBlock(m_out.HeadBlock(), BlockKind::Head);
    readBlock(m_out.LeftBlock(), BlockKind::Left);
    readBody();
    readBlock(m_out.TailBlock(), BlockKind::Tail);
    m_out.UpdateOrigins();
    readEdges();
}

} // namespace

LayoutReadResult LayoutReader::Read(std::span<const std::uint8_t> bytes, TBillLayout &layout,
                                    int screenPPI)
{
    LayoutReadResult result;
    auto fresh = std::make_unique<TBillLayout>();
    fresh->PageSettings() = layout.PageSettings();
    StreamParser parser(bytes, *fresh, screenPPI);
    try {
        parser.Parse();
    } catch (const LayoutStreamError &error) {
        result.offset = error.Offset();
        result.message = error.what();
        result.version = parser.Version();
        result.layoutPPI = parser.LayoutPPI();
        return result;
    }
    layout.Swap(*fresh);
    result.ok = true;
    result.consumed = parser.Offset();
    result.offset = parser.Offset();
    result.version = parser.Version();
    result.layoutPPI = parser.LayoutPPI();
    return result;
}

} // namespace tally::layout
