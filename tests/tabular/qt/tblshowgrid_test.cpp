// The grid over Qt (offscreen): what it shows of a table, its indicator and
// title row, and the stripes and aggregate rows as painted.
#include "listpackets.h"

#include "datapacket/datapackettable.h"
#include "support/qtwidgetsapp.h"
#include "tabular/aggregaterows.h"
#include "tabular/qt/datapacketmodel.h"
#include "tabular/qt/indicatorheader.h"
#include "tabular/qt/tblshowgrid.h"
#include "tabular/qt/titleheader.h"

#include <QHeaderView>
#include <QImage>
#include <QMessageBox>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <stdexcept>

namespace tally::tabular {
namespace {

using tally::test::packetText;
using test::goodsPacket;

// A grid on screen over its own table.
struct ShownGrid
{
    explicit ShownGrid(const std::string &packet)
    {
        table.load(packet);
        grid.reloadTable();
        grid.resize(400, 300);
        grid.show();
        QCoreApplication::processEvents();
    }

    // The background at the middle of table row `row`'s first cell, left of its text.
    QColor rowColor(int row)
    {
        const QImage image = grid.viewport()->grab().toImage();
        const QRect cell = grid.visualRect(grid.model()->index(row, 0));
        return image.pixelColor(cell.left() + cell.width() - 3, cell.center().y());
    }

    datapacket::DataPacketTable table;
    TTblShowGrid grid{table};
};

TEST(TblShowGridTest, ShowsEveryFieldAndRowReadOnly)
{
    ShownGrid shown(goodsPacket(3));
    const QAbstractItemModel &model = *shown.grid.model();
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("SPNAME"));
    EXPECT_EQ(model.index(1, 1).data().toString(), QStringLiteral("商品2"));
    EXPECT_EQ(model.index(2, 2).data().toString(), QStringLiteral("3.5"));
    // Numbers to the right, text to the left.
    EXPECT_TRUE(model.index(0, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
    EXPECT_TRUE(model.index(0, 0).data(Qt::TextAlignmentRole).toInt() & Qt::AlignLeft);
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    // Reading cells leaves the table's current row alone.
    EXPECT_EQ(shown.table.recordNumber(), 1u);
    EXPECT_EQ(shown.grid.verticalHeader()->width(), IndicatorHeader::kWidth);
    EXPECT_EQ(shown.grid.horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
}

// Two-level titles make the title row two lines high; one-level ones one.
// Set TALLY_GRID_PNG to keep a picture of the two-level titles.
TEST(TblShowGridTest, TitleRowHeightFollowsTheLevels)
{
    ShownGrid flat(goodsPacket(1));
    ShownGrid twoLevels(packetText("<FIELD attrname=\"销售|数量\" fieldtype=\"i4\"/>"
                                   "<FIELD attrname=\"销售|金额\" fieldtype=\"r8\"/>",
                                   "<ROW/>"));
    if (const QString png = qEnvironmentVariable("TALLY_GRID_PNG"); !png.isEmpty())
        twoLevels.grid.grab().save(png);
    const int one = flat.grid.horizontalHeader()->height();
    EXPECT_GT(one, 0);
    EXPECT_EQ(twoLevels.grid.horizontalHeader()->height(), 2 * one);
    const std::vector<std::string> captions{"销售|数量", "销售|金额"};
    EXPECT_EQ(twoLevels.grid.titleHeader().shownCaptions(), captions);
}

// Stripes belong to screen rows: every third visible row, and after a
// scroll the same screen rows, whatever records stand there.
TEST(TblShowGridTest, StripesFollowVisibleRowsAcrossScrolls)
{
    ShownGrid shown(goodsPacket(50));
    shown.grid.SetZebra(true);
    shown.grid.SetZebraRows(3);
    shown.grid.SetZebraColor(QColor(0xFF, 0xFF, 0xE1));
    QCoreApplication::processEvents();
    const QColor plain = shown.grid.palette().color(QPalette::Base);
    const QColor stripe(0xFF, 0xFF, 0xE1);
    EXPECT_EQ(shown.rowColor(1), plain);
    EXPECT_EQ(shown.rowColor(2), stripe);
    EXPECT_EQ(shown.rowColor(5), stripe);
    shown.grid.verticalScrollBar()->setValue(1);
    QCoreApplication::processEvents();
    ASSERT_EQ(shown.grid.rowAt(0), 1);
    EXPECT_EQ(shown.rowColor(2), plain);
    EXPECT_EQ(shown.rowColor(3), stripe);
    shown.grid.SetZebraRows(1); // ignored
    EXPECT_EQ(shown.grid.ZebraRows(), 3);
}

// The owner's colour comes last and wins.
TEST(TblShowGridTest, OnGetCellColorChangesTheCell)
{
    ShownGrid shown(goodsPacket(4));
    shown.grid.OnGetCellColor = [](TTblShowGrid &, const datapacket::PacketField *field, int row,
                                   TTblShowGrid::CellLook &look) {
        if (field && field->name() == "SPCODE" && row == 1)
            look.background = Qt::red;
    };
    shown.grid.viewport()->update();
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.rowColor(1), QColor(Qt::red));
    EXPECT_NE(shown.rowColor(0), QColor(Qt::red));
}

// An owner's colour callback that throws costs the paint, not the process:
// one box with its text.
TEST(TblShowGridTest, FailingColourCallbackIsContained)
{
    ShownGrid shown(goodsPacket(4));
    shown.grid.OnGetCellColor = [](TTblShowGrid &, const datapacket::PacketField *, int,
                                   TTblShowGrid::CellLook &) {
        throw std::runtime_error("no colour for this cell");
    };
    shown.grid.viewport()->repaint();
    QMessageBox *box = nullptr;
    ASSERT_TRUE(testing_support::processEventsUntil([&] {
        box = shown.grid.findChild<QMessageBox *>(QString::fromLatin1(Containment::kBoxName));
        return box != nullptr;
    }));
    EXPECT_EQ(box->text(), QStringLiteral("no colour for this cell"));
    EXPECT_EQ(shown.grid.findChildren<QMessageBox *>().size(), 1);
}

class TenWithMaxAndSum : public AggregateRows
{
public:
    long long RecordCount() const override { return 10; }
    long long RecordNumber() const override { return 1; }
    int AggregateCount() const override { return 2; }
    Kind AggregateKind(int i) const override { return i == 1 ? Kind::Max : Kind::Sum; }
};

// Ten records, the last two MAX and SUM: the indicator numbers 1 to 8, then
// names them, and those rows have their own background.
TEST(TblShowGridTest, AggregateRowsAreLabelledAndHighlighted)
{
    ShownGrid shown(goodsPacket(10));
    EXPECT_FALSE(shown.grid.model()->headerData(0, Qt::Vertical).isValid());
    TenWithMaxAndSum aggregates;
    shown.grid.setAggregateRows(&aggregates);
    QCoreApplication::processEvents();
    const QAbstractItemModel &model = *shown.grid.model();
    EXPECT_EQ(model.headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
    EXPECT_EQ(model.headerData(7, Qt::Vertical).toString(), QStringLiteral("8"));
    EXPECT_EQ(model.headerData(8, Qt::Vertical).toString(), QStringLiteral("最大值"));
    EXPECT_EQ(model.headerData(9, Qt::Vertical).toString(), QStringLiteral("合计"));
    EXPECT_EQ(shown.rowColor(8), TTblShowGrid::kAggregateRowColor);
    EXPECT_EQ(shown.rowColor(9), TTblShowGrid::kAggregateRowColor);
    EXPECT_NE(shown.rowColor(7), TTblShowGrid::kAggregateRowColor);
    EXPECT_TRUE(shown.grid.indicatorHeader().showsRowTitles());
}

} // namespace
} // namespace tally::tabular
