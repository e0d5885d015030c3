#include "printing/qt/preview/previewgeometry.h"

#include <gtest/gtest.h>

namespace tally::printing::preview {
namespace {

TEST(PixelsToMMTest, ConvertsThroughTwips)
{
    const struct
    {
        int pixels, dpi, mm;
    } cases[] = {
        {96, 96, 25}, // an inch of margin shows as 25, not 25.4 rounded up
        {0, 96, 0},      {2, 96, 1},       {38, 96, 10},     {794, 96, 210},
        {1123, 96, 297}, {4960, 600, 210}, {7016, 600, 297}, {96, 0, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PixelsToMM(c.pixels, c.dpi), c.mm) << c.pixels << " px at " << c.dpi;
}

TEST(ZoomModeTest, StoredZoomTypeSelectsMode)
{
    const struct
    {
        std::optional<int> stored;
        ZoomMode mode;
    } cases[] = {
        {std::nullopt, ZoomMode::ActualSize},
        {1, ZoomMode::ActualSize},
        {2, ZoomMode::PageWidth},
        {3, ZoomMode::WholePage},
        {0, ZoomMode::WholePage},
        {4, ZoomMode::WholePage},
        {-1, ZoomMode::WholePage},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ZoomModeFromStored(c.stored), c.mode) << c.stored.value_or(-99);
}

TEST(MeasureSheetTest, PrinterPixelsBecomeScreenPixels)
{
    const PrinterMetrics a4At600{600, 600, 4960, 7016, 100, 100, 4760, 6816};
    const SheetGeometry g = MeasureSheet(a4At600, 96, 96);
    EXPECT_EQ(g.sheetWidth, 793); // 793.6, integer division
    EXPECT_EQ(g.sheetHeight, 1122);
    EXPECT_DOUBLE_EQ(g.printLeft, 16.0);
    EXPECT_DOUBLE_EQ(g.printTop, 16.0);
    EXPECT_DOUBLE_EQ(g.printRight, 4859 * 0.16); // last pixel inside, unrounded
    EXPECT_DOUBLE_EQ(g.printBottom, 6915 * 0.16);
    EXPECT_EQ(g.paperWidthMM, 210);
    EXPECT_EQ(g.paperHeightMM, 297);
}

TEST(MeasureSheetTest, PrinterWithoutResolutionGivesEmptySheet)
{
    const SheetGeometry g = MeasureSheet(PrinterMetrics{}, 96, 96);
    EXPECT_EQ(g.sheetWidth, 0);
    EXPECT_EQ(g.sheetHeight, 0);
    EXPECT_EQ(g.paperWidthMM, 0);
}

TEST(PlaceSurfaceTest, ZoomModesForClientSizes)
{
    constexpr int kSheetW = 794;
    constexpr int kSheetH = 1123;
    constexpr int kBar = 15;
    const struct
    {
        const char *name;
        ZoomMode mode;
        int clientW, clientH;
        SurfaceGeometry expected;
    } cases[] = {
        {"actual size ignores the client",
         ZoomMode::ActualSize,
         300,
         200,
         {10, 10, kSheetW, kSheetH, 1.0}},
        {"page width, sheet fits in height",
         ZoomMode::PageWidth,
         600,
         2000,
         {10, 10, 580, 820, 580.0 / kSheetW}},
        {"page width leaves room for the vertical bar",
         ZoomMode::PageWidth,
         600,
         400,
         {10, 10, 565, 799, 565.0 / kSheetW}},
        {"whole page limited by height, centred",
         ZoomMode::WholePage,
         600,
         400,
         {166, 10, 268, 380, 268.0 / kSheetW}},
        {"whole page limited by width",
         ZoomMode::WholePage,
         600,
         1000,
         {10, 10, 580, 820, 580.0 / kSheetW}},
        {"whole page in a wide client",
         ZoomMode::WholePage,
         1600,
         900,
         {(1600 - 622) / 2, 10, 622, 880, 622.0 / kSheetW}},
    };
    for (const auto &c : cases) {
        const SurfaceGeometry s =
            PlaceSurface(c.mode, c.clientW, c.clientH, kSheetW, kSheetH, kBar);
        EXPECT_EQ(s.left, c.expected.left) << c.name;
        EXPECT_EQ(s.top, c.expected.top) << c.name;
        EXPECT_EQ(s.width, c.expected.width) << c.name;
        EXPECT_EQ(s.height, c.expected.height) << c.name;
        EXPECT_DOUBLE_EQ(s.scale, c.expected.scale) << c.name;
    }
}

TEST(PlaceSurfaceTest, EmptySheetGivesEmptySurfaceAtScaleOne)
{
    for (ZoomMode mode : {ZoomMode::ActualSize, ZoomMode::PageWidth, ZoomMode::WholePage}) {
        const SurfaceGeometry s = PlaceSurface(mode, 600, 400, 0, 0, 15);
        EXPECT_EQ(s.width, 0);
        EXPECT_EQ(s.height, 0);
        EXPECT_DOUBLE_EQ(s.scale, 1.0);
    }
}

SheetGeometry printableArea(double left, double top, double right, double bottom)
{
    SheetGeometry g;
    g.sheetWidth = 794;
    g.sheetHeight = 1123;
    g.printLeft = left;
    g.printTop = top;
    g.printRight = right;
    g.printBottom = bottom;
    return g;
}

TEST(MarginLineTest, PointerWithinTwoPixelsOfALine)
{
    // Margins (30, 40) from a printable area at (20, 30): lines at x 50, y 70.
    const SheetGeometry g = printableArea(20, 30, 759, 1079);
    const struct
    {
        int x, y;
        double scale;
        MarginLine line;
    } cases[] = {
        {50, 200, 1.0, MarginLine::Left}, {52, 200, 1.0, MarginLine::Left},
        {48, 200, 1.0, MarginLine::Left}, {53, 200, 1.0, MarginLine::None},
        {47, 200, 1.0, MarginLine::None}, {200, 70, 1.0, MarginLine::Top},
        {200, 72, 1.0, MarginLine::Top},  {200, 68, 1.0, MarginLine::Top},
        {200, 73, 1.0, MarginLine::None}, {200, 200, 1.0, MarginLine::None},
        {51, 71, 1.0, MarginLine::Left}, // both close: the vertical line wins
        {50, 70, 1.0, MarginLine::Left},  {27, 200, 0.5, MarginLine::Left},
        {28, 200, 0.5, MarginLine::None}, {200, 35, 0.5, MarginLine::Top},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MarginLineAt(c.x, c.y, 30, 40, g, c.scale), c.line)
            << c.x << "," << c.y << " at " << c.scale;
}

TEST(MarginMathTest, PointerBecomesMarginRoundedUp)
{
    const struct
    {
        int position;
        double edge, scale;
        int margin;
    } cases[] = {
        {50, 20, 1.0, 30}, {5, 20, 1.0, -15}, {40, 20, 0.5, 60},
        {41, 20, 0.5, 62}, {40, 21, 0.5, 60}, // edge 10.5 on screen rounds to 10
        {40, 20, 0.7, 38},                    // 26 / 0.7 = 37.1
        {40, 20, 0.0, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MarginFromPointer(c.position, c.edge, c.scale), c.margin)
            << c.position << " edge " << c.edge << " scale " << c.scale;
}

TEST(MarginMathTest, ReleaseClampsIntoPrintableArea)
{
    const SheetGeometry g = printableArea(16, 16, 777.44, 1106.4);
    const struct
    {
        int margin, x, y;
    } cases[] = {
        {-15, 0, 0},     {0, 0, 0},       {500, 500, 500},   {761, 761, 761},
        {762, 761, 762}, {800, 761, 800}, {1091, 761, 1090}, {5000, 761, 1090},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ClampMarginX(c.margin, g), c.x) << c.margin;
        EXPECT_EQ(ClampMarginY(c.margin, g), c.y) << c.margin;
    }
}

TEST(ZoomTextTest, TextReadAsLimitedInteger)
{
    const struct
    {
        const char *text;
        int zoom;
    } cases[] = {
        {"5", 10},    {"0", 10},    {"", 10},    {"999", 500},         {"abc", 10},
        {"150", 150}, {" 75 ", 75}, {"-5", 10},  {"500", 500},         {"10", 10},
        {"501", 500}, {"+80", 80},  {"12a", 10}, {"99999999999", 500},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ZoomFromText(c.text), c.zoom) << '"' << c.text << '"';
}

TEST(FitTest, ZoomAndCentringMargins)
{
    const SheetGeometry g = printableArea(20, 30, 759, 1079); // 739 × 1049
    const struct
    {
        int pageW, pageH;
        std::optional<int> zoom;
        Point margins; // at that zoom
    } cases[] = {
        {700, 1000, 105, {2, 0}}, // height limits: 104.9; 1050 > 1049 gives 0, not -1
        {1478, 500, 50, {0, 400}},
        {0, 500, std::nullopt, {}},
        {500, 0, std::nullopt, {}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FitZoom(g, c.pageW, c.pageH), c.zoom) << c.pageW << "x" << c.pageH;
        if (c.zoom) {
            EXPECT_EQ(FitMargins(g, c.pageW, c.pageH, *c.zoom), c.margins)
                << c.pageW << "x" << c.pageH;
        }
    }
}

} // namespace
} // namespace tally::printing::preview
