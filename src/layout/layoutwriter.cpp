#include "layout/layoutwriter.h"

#include "layout/tbilllayout.h"
#include "layout/tcell.h"
#include "layout/valuewriter.h"

namespace tally::layout {

namespace {

constexpr int kWrittenVersion = 702;

void writeSizes(ValueWriter &out, const TColRow &list)
{
    out.WriteInt(list.Count());
    for (int i = 0; i < list.Count(); ++i)
        out.WriteInt(list.Size(i));
}

void writePageSettings(ValueWriter &out, const TPageSettings &page)
{
    if (page.ZoomRatio != 100) {
        out.WriteTag(0x28);
        out.WriteInt(page.ZoomRatio);
    }
    if (page.OffsetX != 0) {
        out.WriteTag(0x29);
        out.WriteInt(page.OffsetX);
    }
    if (page.OffsetY != 0) {
        out.WriteTag(0x2A);
        out.WriteInt(page.OffsetY);
    }
    if (page.PrintOrient != 0)
        out.WriteTag(0x2B);
    if (page.PaperSize != 0) {
        out.WriteTag(0x2C);
        out.WriteInt(page.PaperSize);
        if (page.PaperSize == 256) {
            out.WriteInt(page.PaperLength);
            out.WriteInt(page.PaperWidth);
        }
    }
    if (page.AutoFit)
        out.WriteTag(0x2D);
    out.WriteTag(0x00);
}

void writeStyles(ValueWriter &out, const TBasicUnit &unit)
{
    if (unit.HasStyle(TFontStyle::Bold))
        out.WriteTag(0x03);
    if (unit.HasStyle(TFontStyle::Italic))
        out.WriteTag(0x04);
    if (unit.HasStyle(TFontStyle::Underline))
        out.WriteTag(0x05);
}

void writeUnitProperties(ValueWriter &out, const TBasicUnit &unit)
{
    if (!unit.Text().empty()) {
        out.WriteTag(0x01);
        out.WriteString(unit.Text());
    }
    if (unit.FontName() != TBasicUnit::kDefaultFontName) {
        out.WriteTag(0x02);
        out.WriteString(unit.FontName());
    }
    writeStyles(out, unit);
    if (unit.FontSize() != TBasicUnit::kDefaultFontSize) {
        out.WriteTag(0x06);
        out.WriteInt(unit.FontSize());
    }
    if (unit.HAlign() != unit.DefaultHAlign()) {
        out.WriteTag(0x07);
        out.WriteInt(printing::codeNumber(unit.HAlign()));
    }
    if (unit.VAlign() != printing::VertAlign::Middle) {
        out.WriteTag(0x08);
        out.WriteInt(printing::codeNumber(unit.VAlign()));
    }
    if (!unit.FixedText())
        out.WriteTag(0x09);
    if (unit.SumKind() != printing::SumScope::None) {
        out.WriteTag(0x11);
        out.WriteInt(printing::codeNumber(unit.SumKind()));
        out.WriteInt(unit.SumField());
    }
    out.WriteTag(0x00);
}

void writeFooters(ValueWriter &out, const std::vector<TFooter> &list)
{
    out.WriteInt(static_cast<std::int32_t>(list.size()));
    for (const TFooter &item : list) {
        writeUnitProperties(out, item);
        out.WriteInt(item.Rect().left);
        out.WriteInt(item.Rect().top);
        out.WriteInt(item.Rect().right);
        out.WriteInt(item.Rect().bottom);
    }
}

void writeBlock(ValueWriter &out, const TBlock &block)
{
    out.WriteInt(block.ColCount());
    out.WriteInt(block.RowCount());
    if (block.Empty())
        return;
    out.WriteListBegin();
    for (int c = 0; c < block.ColCount(); ++c) {
        for (int r = 0; r < block.RowCount(); ++r) {
            const TCell &cell = block.Slot(c, r);
            if (cell.Col() != c || cell.Row() != r || !cell.IsStored())
                continue;
            out.WriteInt(c);
            out.WriteInt(r);
            if (cell.ColSpan() > 0) {
                out.WriteTag(0x0A);
                out.WriteInt(cell.ColSpan());
            }
            if (cell.RowSpan() > 0) {
                out.WriteTag(0x0B);
                out.WriteInt(cell.RowSpan());
            }
            if (cell.Diagonal())
                out.WriteTag(0x10);
            out.WriteTag(0x00);
            writeUnitProperties(out, cell);
        }
    }
    out.WriteListEnd();
}

void writeBody(ValueWriter &out, const TBodyBlock &body)
{
    out.WriteInt(body.ColCount());
    out.WriteInt(body.RowCount());
    if (body.Empty())
        return;
    out.WriteListBegin();
    for (int c = 0; c < body.ColCount(); ++c) {
        const TCell &t = body.Template(c);
        const bool anchor = t.ColSpan() > 0 && t.Col() == c;
        const bool formatted = t.FontName() != TBasicUnit::kDefaultFontName ||
                               t.FontSize() != TBasicUnit::kDefaultFontSize || t.FontStyle() != 0 ||
                               t.HAlign() != printing::HorzAlign::Right;
        if (!anchor && (t.ColSpan() > 0 || !formatted))
            continue;
        out.WriteInt(c);
        if (t.ColSpan() > 0) {
            out.WriteTag(0x0A);
            out.WriteInt(t.ColSpan());
        }
        if (t.FontName() != TBasicUnit::kDefaultFontName) {
            out.WriteTag(0x02);
            out.WriteString(t.FontName());
        }
        writeStyles(out, t);
        if (t.FontSize() != TBasicUnit::kDefaultFontSize) {
            out.WriteTag(0x06);
            out.WriteInt(t.FontSize());
        }
        if (t.HAlign() != printing::HorzAlign::Right) {
            out.WriteTag(0x07);
            out.WriteInt(printing::codeNumber(t.HAlign()));
        }
        out.WriteTag(0x00);
    }
    out.WriteListEnd();
}

void writeEdges(ValueWriter &out, const TBillLayout &layout)
{
    out.WriteListBegin();
    for (int c = 0; c <= layout.ColCount(); ++c) {
        for (int r = 0; r <= layout.RowCount(); ++r) {
            const TEdge &edge = layout.Edge(c, r);
            if (edge.TopLine && edge.LeftLine)
                continue;
            out.WriteInt(c);
            out.WriteInt(r);
            out.WriteBool(edge.TopLine);
            out.WriteBool(edge.LeftLine);
        }
    }
    out.WriteListEnd();
}

} // namespace

std::vector<std::uint8_t> LayoutWriter::Write(const TBillLayout &layout, int screenPPI)
{
    ValueWriter out;
    out.WriteInt(kWrittenVersion);
    out.WriteInt(screenPPI);
    writeSizes(out, layout.Cols());
    writeSizes(out, layout.Rows());
    writePageSettings(out, layout.PageSettings());
    writeFooters(out, layout.TopFooters());
    writeFooters(out, layout.BottomFooters());
    writeBlock(out, layout.HeadBlock());
    writeBlock(out, layout.LeftBlock());
    writeBody(out, layout.BodyBlock());
    writeBlock(out, layout.TailBlock());
    writeEdges(out, layout);
    return out.TakeBytes();
}

} // namespace tally::layout
