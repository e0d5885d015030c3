#include "layout/layoutjson.h"

#include "layout/reportutils.h"
#include "layout/tbilllayout.h"
#include "layout/tcell.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace tally::layout {

namespace {

using Json = nlohmann::ordered_json;

Json styleJson(const TBasicUnit &unit)
{
    Json style = Json::array();
    if (unit.HasStyle(TFontStyle::Bold))
        style.push_back("bold");
    if (unit.HasStyle(TFontStyle::Italic))
        style.push_back("italic");
    if (unit.HasStyle(TFontStyle::Underline))
        style.push_back("underline");
    return style;
}

void addUnit(Json &j, const TBasicUnit &unit)
{
    j["text"] = unit.Text();
    j["fontName"] = unit.FontName();
    j["fontSize"] = unit.FontSize();
    j["style"] = styleJson(unit);
    j["hAlign"] = printing::codeNumber(unit.HAlign());
    j["vAlign"] = printing::codeNumber(unit.VAlign());
    j["fixedText"] = unit.FixedText();
    j["sumKind"] = printing::codeNumber(unit.SumKind());
    j["sumField"] = unit.SumField();
}

Json footersJson(const std::vector<TFooter> &items)
{
    Json list = Json::array();
    for (const TFooter &item : items) {
        Json j;
        addUnit(j, item);
        const printing::Rect &r = item.Rect();
        j["rect"] = {r.left, r.top, r.right, r.bottom};
        list.push_back(std::move(j));
    }
    return list;
}

void addCells(Json &cells, const TBlock &block, const char *name)
{
    for (int c = 0; c < block.ColCount() && !block.Empty(); ++c) {
        for (int r = 0; r < block.RowCount(); ++r) {
            const TCell &cell = block.Slot(c, r);
            if (cell.Col() != c || cell.Row() != r || !cell.IsStored())
                continue;
            Json j;
            j["name"] = cell.CellName();
            j["block"] = name;
            j["col"] = c;
            j["row"] = r;
            j["colSpan"] = cell.ColSpan();
            j["rowSpan"] = cell.RowSpan();
            j["diagonal"] = cell.Diagonal();
            addUnit(j, cell);
            cells.push_back(std::move(j));
        }
    }
}

Json bodyJson(const TBodyBlock &body)
{
    Json templates = Json::array();
    for (int c = 0; c < body.ColCount(); ++c) {
        const TCell &t = body.Template(c);
        if (t.Col() != c)
            continue;
        Json j;
        j["name"] = ColumnLetters(body.ColOrigin() + c) + std::to_string(body.RowOrigin());
        j["col"] = c;
        j["colSpan"] = t.ColSpan();
        j["fontName"] = t.FontName();
        j["fontSize"] = t.FontSize();
        j["style"] = styleJson(t);
        j["hAlign"] = printing::codeNumber(t.HAlign());
        templates.push_back(std::move(j));
    }
    Json j;
    j["fieldMap"] = body.FieldMap();
    j["templates"] = std::move(templates);
    return j;
}

} // namespace

std::string LayoutToJson(const TBillLayout &layout)
{
    Json j;
    std::vector<int> widths, heights;
    for (int c = 0; c < layout.ColCount(); ++c)
        widths.push_back(layout.Cols().Size(c));
    for (int r = 0; r < layout.RowCount(); ++r)
        heights.push_back(layout.Rows().Size(r));
    j["columns"] = widths;
    j["rows"] = heights;
    j["rowCountHead"] = layout.RowCountHead();
    j["rowCountBody"] = layout.RowCountBody();
    j["rowCountTail"] = layout.RowCountTail();
    j["colCountLeft"] = layout.ColCountLeft();
    j["extent"] = {{"width", layout.GetPageWidth()}, {"height", layout.GetPageHeight()}};
    const TPageSettings &p = layout.PageSettings();
    j["page"] = {{"zoomRatio", p.ZoomRatio},   {"offsetX", p.OffsetX},
                 {"offsetY", p.OffsetY},       {"printOrient", p.PrintOrient},
                 {"paperSize", p.PaperSize},   {"paperLength", p.PaperLength},
                 {"paperWidth", p.PaperWidth}, {"autoFit", p.AutoFit}};
    j["topItems"] = footersJson(layout.TopFooters());
    j["bottomItems"] = footersJson(layout.BottomFooters());
    Json cells = Json::array();
    addCells(cells, layout.HeadBlock(), "head");
    addCells(cells, layout.LeftBlock(), "left");
    addCells(cells, layout.TailBlock(), "tail");
    j["cells"] = std::move(cells);
    j["body"] = bodyJson(layout.BodyBlock());
    Json edges = Json::array();
    for (int c = 0; c <= layout.ColCount(); ++c) {
        for (int r = 0; r <= layout.RowCount(); ++r) {
            const TEdge &e = layout.Edge(c, r);
            if (!e.TopLine || !e.LeftLine)
                edges.push_back(
                    {{"col", c}, {"row", r}, {"topLine", e.TopLine}, {"leftLine", e.LeftLine}});
        }
    }
    j["hiddenEdges"] = std::move(edges);
    return j.dump(2) + "\n";
}

} // namespace tally::layout
