#include "printing/custombillbase.h"
#include "printing/drawingframe.h"
#include "printing/printmath.h"
#include "printing/recordingcanvas.h"

#include <gtest/gtest.h>

#include <latch>
#include <limits>
#include <ostream>
#include <thread>
#include <vector>

namespace tally::printing {
namespace {

struct ScaleCase
{
    int dpi;
    double zoom;
    int length;
    int expected;
};

void PrintTo(const ScaleCase &c, std::ostream *os)
{
    *os << c.dpi << " dpi, zoom " << c.zoom << ", length " << c.length;
}

class ScaleTest : public testing::TestWithParam<ScaleCase>
{
};

TEST_P(ScaleTest, LayoutLengthBecomesDevicePixels)
{
    const ScaleCase c = GetParam();
    const DrawingFrame frame(c.dpi, c.dpi, c.zoom);
    EXPECT_EQ(frame.ScaleX(c.length), c.expected);
    EXPECT_EQ(frame.ScaleY(c.length), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Resolutions, ScaleTest,
    testing::Values(ScaleCase{96, 100, 1, 1}, ScaleCase{96, 100, 64, 64}, ScaleCase{96, 50, 64, 32},
                    ScaleCase{96, 50, 1, 1}, // 0.5 + 0.5
                    ScaleCase{96, 50, 3, 2}, // 1.5 + 0.5
                    ScaleCase{300, 100, 1, 3}, ScaleCase{300, 100, 2, 6},
                    ScaleCase{300, 100, 64, 200}, ScaleCase{300, 50, 64, 100},
                    ScaleCase{300, 50, 22, 34}, // 34.375
                    ScaleCase{600, 100, 1, 6},  // the grid pen at 600 dpi
                    ScaleCase{600, 100, 2, 13}, // the text inset: 12.5 + 0.5
                    ScaleCase{600, 100, 64, 400}, ScaleCase{600, 50, 64, 200},
                    ScaleCase{600, 50, 2, 6}, ScaleCase{600, 100, 0, 0},
                    ScaleCase{600, 100, -2, -12})); // -12.5 + 0.5 truncated toward zero

TEST(DrawingFrameTest, HorizontalAndVerticalUseTheirOwnResolution)
{
    const DrawingFrame frame(300, 600, 100);
    EXPECT_EQ(frame.ScaleRect({1, 2, 64, 22}), (Rect{3, 13, 200, 138}));
}

TEST(DrawingFrameTest, AbsurdZoomSaturatesInsteadOfOverflowing)
{
    const DrawingFrame frame(600, 600, 1e12);
    EXPECT_EQ(frame.ScaleX(100), std::numeric_limits<int>::max());
    EXPECT_EQ(frame.ScaleY(-100), std::numeric_limits<int>::min());
}

TEST(DrawingFrameTest, FontHeightFollowsZoomWithTiesToEven)
{
    struct Case
    {
        double zoom;
        int height;
        int expected;
    };
    for (const Case c : {Case{100, 75, 75}, Case{50, 75, 38}, Case{50, 13, 6}, Case{50, 15, 8},
                         Case{150, 12, 18}, Case{50, 12, 6}}) {
        EXPECT_EQ(DrawingFrame(600, 600, c.zoom).ScaleFontHeight(c.height), c.expected)
            << c.zoom << " " << c.height;
    }
}

TEST(PrintMathTest, MulDivRoundsHalfAwayFromZero)
{
    EXPECT_EQ(MulDiv(600, 10, 96), 63); // 62.5
    EXPECT_EQ(MulDiv(-600, 10, 96), -63);
    EXPECT_EQ(MulDiv(96, 1000, 96), 1000);
    EXPECT_EQ(MulDiv(2, 600, 96), 13); // 12.5
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(PrintMathTest, RoundHalfEven)
{
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
}

// A bill that notes what its content drawing was given.
class FrameProbeBill : public TCustomBillBase
{
public:
    struct Seen
    {
        Point origin;
        DrawingFrame frame;
        int page = 0;
    };
    std::vector<Seen> seen;
    int repeats = 1;

    std::string GetCaption() const override { return "probe"; }
    int GetPageWidth() const override { return 100; }
    int GetPageHeight() const override { return 100; }
    int GetPageCount() const override { return 1; }

protected:
    void RenderPage(Canvas &canvas, const DrawingFrame &frame, int pageIndex) override
    {
        for (int i = 0; i < repeats; ++i) {
            seen.push_back({canvas.origin(), frame, pageIndex});
            canvas.setPenWidth(frame.ScaleX(1));
            std::this_thread::yield();
        }
    }
};

struct PageFrameCase
{
    int dpi;
    int zoomRatio;
    double scale;
    Point offset;
    Point expectedOrigin;
    double expectedZoom;
};

void PrintTo(const PageFrameCase &c, std::ostream *os)
{
    *os << c.dpi << " dpi, zoom " << c.zoomRatio << ", scale " << c.scale << ", offset "
        << c.offset.x << "," << c.offset.y;
}

class PageFrameTest : public testing::TestWithParam<PageFrameCase>
{
};

TEST_P(PageFrameTest, OffsetIsScaledButNotZoomed)
{
    const PageFrameCase c = GetParam();
    FrameProbeBill bill;
    bill.SetZoomRatio(c.zoomRatio);
    bill.SetOffset(c.offset);
    RecordingCanvas canvas(c.dpi, c.dpi);
    bill.DrawPage(canvas, 2, c.scale);
    ASSERT_EQ(bill.seen.size(), 1u);
    EXPECT_EQ(bill.seen[0].origin, c.expectedOrigin);
    EXPECT_DOUBLE_EQ(bill.seen[0].frame.DrawZoom(), c.expectedZoom);
    EXPECT_EQ(bill.seen[0].frame.DeviceDpiX(), c.dpi);
    EXPECT_EQ(bill.seen[0].page, 2);
    EXPECT_EQ(canvas.origin(), (Point{0, 0})) << "origin moved back";
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, PageFrameTest,
    testing::Values(PageFrameCase{96, 100, 1.0, {10, 20}, {10, 20}, 100},
                    PageFrameCase{600, 100, 1.0, {10, 20}, {63, 125}, 100},
                    PageFrameCase{600, 50, 1.0, {10, 20}, {63, 125}, 50},
                    // 63 × 0.5 = 31.5 -> 32, 125 × 0.5 = 62.5 -> 62 (ties to even)
                    PageFrameCase{600, 100, 0.5, {10, 20}, {32, 62}, 50},
                    PageFrameCase{300, 50, 2.0, {0, 0}, {0, 0}, 100}));

TEST(PageFrameTest, OnScreenPaintingIgnoresOffsetAndZoom)
{
    FrameProbeBill bill;
    bill.SetZoomRatio(50);
    bill.SetOffset({30, 40});
    RecordingCanvas canvas(120, 120);
    bill.PaintOnScreen(canvas);
    ASSERT_EQ(bill.seen.size(), 1u);
    EXPECT_EQ(bill.seen[0].origin, (Point{5, 5}));
    EXPECT_DOUBLE_EQ(bill.seen[0].frame.DrawZoom(), 100);
    EXPECT_EQ(bill.seen[0].frame.DeviceDpiX(), 120);
    EXPECT_EQ(bill.seen[0].page, 1);
}

// Two bills drawn at the same moment on different canvases each keep their
// own resolution and zoom throughout.
TEST(PageFrameTest, ConcurrentDrawingsDoNotShareState)
{
    FrameProbeBill a;
    FrameProbeBill b;
    a.repeats = b.repeats = 2000;
    a.SetZoomRatio(50);
    b.SetZoomRatio(100);
    RecordingCanvas canvasA(600, 600);
    RecordingCanvas canvasB(96, 96);
    std::latch start(2);
    std::thread ta([&] {
        start.arrive_and_wait();
        a.DrawPage(canvasA, 1, 1.0);
    });
    std::thread tb([&] {
        start.arrive_and_wait();
        b.DrawPage(canvasB, 1, 1.0);
    });
    ta.join();
    tb.join();
    for (const auto &s : a.seen) {
        ASSERT_EQ(s.frame.ScaleX(64), 200);
        ASSERT_EQ(s.frame.DeviceDpiY(), 600);
    }
    for (const auto &s : b.seen) {
        ASSERT_EQ(s.frame.ScaleX(64), 64);
        ASSERT_EQ(s.frame.DeviceDpiY(), 96);
    }
    for (const auto &c : canvasA.callsOf(RecordingCanvas::Op::PenWidth))
        ASSERT_EQ(c.value, 3); // 600 dpi at 50 percent: 3.125 + 0.5
    for (const auto &c : canvasB.callsOf(RecordingCanvas::Op::PenWidth))
        ASSERT_EQ(c.value, 1);
}

} // namespace
} // namespace tally::printing
