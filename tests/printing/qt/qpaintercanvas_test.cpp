#include "qtapp.h"

#include "printing/custombillbase.h"
#include "printing/qt/billwidget.h"
#include "printing/qt/fontsubstitution.h"
#include "printing/qt/qpaintercanvas.h"

#include <QFontInfo>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <ostream>

namespace tally::printing {
namespace {

class QPainterCanvasTest : public testing::Test
{
protected:
    QPainterCanvasTest() : image(200, 100, QImage::Format_RGB32)
    {
        testing_fakes::ensureQtApp();
        image.fill(Qt::white);
    }
    bool black(int x, int y) const { return image.pixelColor(x, y) == QColor(Qt::black); }
    bool white(int x, int y) const { return image.pixelColor(x, y) == QColor(Qt::white); }

    QImage image;
};

struct FontCase
{
    const char *layoutName;
    const char *family;
};

void PrintTo(const FontCase &c, std::ostream *os)
{
    *os << c.family;
}

class FontSubstitutionTest : public testing::TestWithParam<FontCase>
{
};

// The face really used is the one asked for, not a fallback.
TEST_P(FontSubstitutionTest, LayoutFontsResolveToInstalledFaces)
{
    testing_fakes::ensureQtApp();
    const FontCase c = GetParam();
    const QFont font = FontSubstitution::font(c.layoutName, 16, Canvas::Regular);
    EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8(c.family)) << c.layoutName;
}

INSTANTIATE_TEST_SUITE_P(Names, FontSubstitutionTest,
                         testing::Values(FontCase{"宋体", "AR PL UMing CN"},
                                         FontCase{"新宋体", "AR PL UMing CN"},
                                         FontCase{"楷体_GB2312", "AR PL UKai CN"},
                                         FontCase{"黑体", "WenQuanYi Zen Hei"},
                                         FontCase{"Courier New", "AR PL UMing CN"}));

TEST_F(QPainterCanvasTest, LinesAndFillsLandOnDevicePixelsAfterOriginShift)
{
    QPainter painter(&image);
    QPainterCanvas canvas(painter, 96, 96);
    canvas.shiftOrigin(10, 10);
    canvas.setPenWidth(1);
    canvas.moveTo(0, 0);
    canvas.lineTo(50, 0);
    canvas.setBrushColor(Color::fromBgr(0x0093B748));
    canvas.fillRect({0, 10, 20, 30});
    canvas.setBrushStyle(Canvas::BrushStyle::Clear);
    canvas.fillRect({100, 10, 120, 30}); // clear brush fills nothing
    canvas.shiftOrigin(-10, -10);
    painter.end();

    EXPECT_TRUE(black(30, 10));
    EXPECT_TRUE(white(30, 9));
    EXPECT_TRUE(black(59, 10));
    EXPECT_TRUE(white(60, 10)) << "end point not painted";
    EXPECT_EQ(image.pixelColor(10, 20), QColor(0x48, 0xB7, 0x93));
    EXPECT_EQ(image.pixelColor(29, 39), QColor(0x48, 0xB7, 0x93));
    EXPECT_TRUE(white(30, 20)) << "right edge excluded";
    EXPECT_TRUE(white(20, 40)) << "bottom edge excluded";
    EXPECT_TRUE(white(115, 25));
}

// Lines are held back and drawn together; what each mode shows must not
// change: copied lines drawn twice look as drawn once, XOR lines drawn twice
// cancel out, and fills in between are never XOR-ed (a black fill XOR-ed on
// white would leave it white).
struct LineCase
{
    const char *name;
    Canvas::PenMode mode;
    int times;
    bool fillBetween;
    bool lineBlack; // at (20, 10), on the line
    bool fillBlack; // at (20, 30), inside the fill
};

void PrintTo(const LineCase &c, std::ostream *os)
{
    *os << c.name;
}

class QPainterCanvasLineTest : public QPainterCanvasTest,
                               public testing::WithParamInterface<LineCase>
{
};

TEST_P(QPainterCanvasLineTest, HeldBackLinesKeepTheirPenMode)
{
    const LineCase &c = GetParam();
    QPainter painter(&image);
    {
        QPainterCanvas canvas(painter, 96, 96);
        canvas.setPenMode(c.mode);
        // White XOR-ed on white paints black.
        canvas.setPenColor(c.mode == Canvas::PenMode::Xor ? kWhite : kBlack);
        canvas.setBrushColor(kBlack);
        for (int i = 0; i < c.times; ++i) {
            canvas.moveTo(0, 10);
            canvas.lineTo(50, 10);
            if (c.fillBetween)
                canvas.fillRect({10, 25, 30, 35});
        }
    }
    painter.end();
    EXPECT_EQ(black(20, 10), c.lineBlack) << c.name;
    EXPECT_EQ(black(20, 30), c.fillBlack) << c.name;
}

using Mode = Canvas::PenMode;
INSTANTIATE_TEST_SUITE_P(Modes, QPainterCanvasLineTest,
                         testing::Values(LineCase{"copy once", Mode::Copy, 1, false, true, false},
                                         LineCase{"copy twice", Mode::Copy, 2, false, true, false},
                                         LineCase{"xor once", Mode::Xor, 1, false, true, false},
                                         LineCase{"xor twice", Mode::Xor, 2, false, false, false},
                                         LineCase{"xor twice with fills", Mode::Xor, 2, true, false,
                                                  true}));

TEST_F(QPainterCanvasTest, TextIsClippedUnlessNoClip)
{
    QPainter painter(&image);
    QPainterCanvas canvas(painter, 96, 96);
    canvas.setFontName("黑体");
    canvas.setFontHeight(20);
    canvas.setBrushStyle(Canvas::BrushStyle::Clear);
    const std::string text = "订货单订货单";
    const Rect wide = canvas.measureText(text, {0, 0, 10, 0}, Canvas::NoClip);
    EXPECT_GT(wide.right, 100);
    EXPECT_GE(wide.bottom, 20);

    canvas.drawText(text, {0, 0, 30, 40}, Canvas::NoPrefix); // clipped at x 30
    canvas.drawText(text, {0, 50, 30, 90}, Canvas::NoClip);  // runs on
    painter.end();

    auto inkIn = [&](int x0, int x1, int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (!white(x, y))
                    return true;
        return false;
    };
    EXPECT_TRUE(inkIn(0, 30, 0, 40));
    EXPECT_FALSE(inkIn(31, 200, 0, 40));
    EXPECT_TRUE(inkIn(31, 200, 50, 90));
}

TEST_F(QPainterCanvasTest, WrappedMeasureGrowsDownwardsOnly)
{
    QPainter painter(&image);
    QPainterCanvas canvas(painter, 96, 96);
    canvas.setFontHeight(16);
    const Rect one = canvas.measureText("订货", {5, 5, 200, 5}, Canvas::WordBreak);
    const Rect three =
        canvas.measureText("订货单号码联系人电话地址", {5, 5, 60, 5}, Canvas::WordBreak);
    EXPECT_EQ(one.right, 200);
    EXPECT_EQ(three.right, 60);
    EXPECT_GE(three.height(), 3 * one.height());
}

// A bill whose page 1 is a filled square at the content's origin.
class SquareBill : public TCustomBillBase
{
public:
    std::string GetCaption() const override { return {}; }
    int GetPageWidth() const override { return 40; }
    int GetPageHeight() const override { return 30; }
    int GetPageCount() const override { return 2; }

protected:
    void RenderPage(Canvas &canvas, const DrawingFrame &frame, int pageIndex) override
    {
        if (pageIndex != 1)
            return;
        canvas.setBrushColor(kBlack);
        canvas.fillRect(frame.ScaleRect({0, 0, 10, 10}));
    }
};

TEST_F(QPainterCanvasTest, BillWidgetPaintsPageOneFivePixelsIn)
{
    SquareBill bill;
    bill.SetZoomRatio(50);    // not applied on screen
    bill.SetOffset({20, 20}); // nor is the offset
    BillWidget widget;
    widget.setBill(&bill);
    widget.fitToBill();
    EXPECT_EQ(widget.size(), QSize(50, 40));
    QImage shot(widget.size(), QImage::Format_RGB32);
    shot.fill(Qt::red);
    widget.render(&shot);
    image = shot;
    EXPECT_TRUE(white(4, 4));
    EXPECT_TRUE(black(5, 5));
    EXPECT_TRUE(black(14, 14));
    EXPECT_TRUE(white(15, 15));
    EXPECT_TRUE(white(49, 39)) << "background filled white";
}

} // namespace
} // namespace tally::printing
