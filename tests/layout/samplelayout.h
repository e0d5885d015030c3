#pragma once

#include "layout/tbilllayout.h"
#include "layout/tcell.h"

namespace tally::layout::sample {

using printing::HorzAlign;
using printing::SumScope;
using printing::VertAlign;

// A layout shaped like an order form: 12 columns, 2 head rows, 36 body rows,
// 2 tail rows, free items above and below, merged, variable and summing
// cells, a merged body template, hidden lines and landscape page settings.
inline void buildOrderFormLike(TBillLayout &layout)
{
    const int widths[] = {70, 184, 58, 30, 47, 53, 31, 38, 59, 29, 78, 54};
    layout.SetColCount(12);
    layout.SetColCountLeft(0);
    for (int c = 0; c < 12; ++c)
        layout.Cols().SetSize(c, widths[c]);
    layout.SetRowCountHead(2);
    layout.SetRowCountBody(36);
    layout.SetRowCountTail(2);
    layout.Rows().SetSize(0, 89);
    layout.Rows().SetSize(layout.RowCount() - 3, 29);
    layout.Rows().SetSize(layout.RowCount() - 2, 24);
    layout.Rows().SetSize(layout.RowCount() - 1, 45);
    layout.PageSettings().PrintOrient = 1;
    layout.PageSettings().PaperSize = 9;

    TFooter title;
    title.SetText(":Title");
    title.SetFontName("新宋体");
    title.AddStyle(TFontStyle::Bold);
    title.SetFontSize(18);
    title.SetHAlign(HorzAlign::Centre);
    title.SetVAlign(VertAlign::Top);
    title.SetFixedText(false);
    title.SetRect({273, 5, 351, 29});
    layout.TopFooters().push_back(title);
    const char *labels[] = {"订单编号：", ":pJLBH", "合同编号：", ":PAGE"};
    for (int i = 0; i < 4; ++i) {
        TFooter item;
        item.SetText(labels[i]);
        item.SetVAlign(VertAlign::Top);
        item.SetFixedText(false);
        item.SetRect({7 + 100 * i, 50, 67 + 100 * i, 62});
        layout.TopFooters().push_back(item);
    }
    TFooter sign;
    sign.SetText("部门经理签字：");
    sign.SetHAlign(HorzAlign::Right);
    sign.SetRect({1, 27, 85, 39});
    layout.BottomFooters().push_back(sign);

    TBlock &head = layout.HeadBlock();
    const char *captions[] = {"商品编码", "商品名称", "规格", "单位", "数量", "单价",
                              "金额",     "税率",     "备注", "产地", "条码", "包装"};
    for (int c = 0; c < 12; ++c) {
        TCell &cell = head.GetCell(c, 0);
        cell.SetText(captions[c]);
        cell.SetHAlign(HorzAlign::Centre);
    }
    head.Merge({0, 0, 0, 1});
    head.Merge({10, 0, 11, 0});
    head.GetCell(3, 1).SetDiagonal(true);
    head.GetCell(4, 1).AddStyle(TFontStyle::Italic);
    head.GetCell(5, 1).SetText(std::string(300, 'x'));

    TBodyBlock &body = layout.BodyBlock();
    body.Merge({1, 0, 2, 0});
    body.Template(0).SetHAlign(HorzAlign::Left);
    body.Template(1).SetFontName("黑体");
    body.Template(4).AddStyle(TFontStyle::Underline);
    body.Template(5).SetFontSize(10);

    TBlock &tail = layout.TailBlock();
    tail.Merge({0, 0, 3, 0});
    tail.GetCell(0, 0).SetText("合计");
    tail.GetCell(6, 0).SetSumKind(SumScope::Total);
    tail.GetCell(6, 0).SetSumField(6);
    tail.GetCell(4, 0).SetSumKind(SumScope::Page);
    tail.GetCell(4, 0).SetSumField(4);
    tail.GetCell(0, 1).SetText("btTITLE");
    tail.GetCell(0, 1).SetFixedText(false);
    tail.GetCell(0, 1).SetVAlign(VertAlign::Bottom);

    layout.SetTopLine(0, layout.RowCount() - 2, false);
    layout.SetLeftLine(12, layout.RowCount() - 2, false);
    layout.SetLeftLine(1, layout.RowCount() - 3, false);
}

} // namespace tally::layout::sample
