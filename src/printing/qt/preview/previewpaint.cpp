#include "printing/qt/preview/previewpaint.h"

#include "printing/canvas.h"
#include "printing/iprintable.h"
#include "printing/originshift.h"

namespace tally::printing::preview {

namespace {

constexpr Color kMarkGrey{128, 128, 128};
constexpr int kMarkLength = 10;

void frame(Canvas &canvas, int width, int height)
{
    canvas.setPenStyle(Canvas::PenStyle::Solid);
    canvas.setPenMode(Canvas::PenMode::Copy);
    canvas.setPenWidth(1);
    canvas.setPenColor(kBlack);
    canvas.moveTo(0, 0);
    canvas.lineTo(width - 1, 0);
    canvas.lineTo(width - 1, height - 1);
    canvas.lineTo(0, height - 1);
    canvas.lineTo(0, 0);
}

void stroke(Canvas &canvas, double scale, double x1, double y1, double x2, double y2, double x3,
            double y3)
{
    canvas.moveTo(ToPreview(x1, scale), ToPreview(y1, scale));
    canvas.lineTo(ToPreview(x2, scale), ToPreview(y2, scale));
    canvas.lineTo(ToPreview(x3, scale), ToPreview(y3, scale));
}

} // namespace

void PaintPreviewSheet(Canvas &canvas, IPrintable &printable, const SheetPaintState &s)
{
    const int w = s.surfaceWidth;
    const int h = s.surfaceHeight;
    const SheetGeometry &g = s.sheet;
    const double k = s.scale;

    canvas.setBrushStyle(Canvas::BrushStyle::Solid);
    canvas.setBrushColor(kWhite);
    canvas.fillRect({0, 0, w, h});
    frame(canvas, w, h);

    if (s.page >= 1 && s.page <= printable.GetPageCount()) {
        OriginShift shift(canvas, ToPreview(g.printLeft, k), ToPreview(g.printTop, k));
        printable.DrawPage(canvas, s.page, k);
    }

    // What the page drew right of or below the printable area never reaches
    // paper. White whatever brush the page left behind.
    canvas.setBrushStyle(Canvas::BrushStyle::Solid);
    canvas.setBrushColor(kWhite);
    canvas.fillRect({ToPreview(g.printRight, k), 2, w - 1, h - 1});
    canvas.fillRect({2, ToPreview(g.printBottom, k), w - 1, h - 1});

    canvas.setPenStyle(Canvas::PenStyle::Solid);
    canvas.setPenMode(Canvas::PenMode::Copy);
    canvas.setPenWidth(1);
    canvas.setPenColor(kMarkGrey);
    const double l = g.printLeft;
    const double t = g.printTop;
    const double r = g.printRight;
    const double b = g.printBottom;
    const int m = kMarkLength;
    stroke(canvas, k, l - m, t, l, t, l, t - m);
    stroke(canvas, k, r + m, t, r, t, r, t - m);
    stroke(canvas, k, l - m, b, l, b, l, b + m);
    stroke(canvas, k, r + m, b, r, b, r, b + m);

    canvas.setPenColor(s.marginColor);
    const int mx = ToPreview(s.marginX + l, k);
    const int my = ToPreview(s.marginY + t, k);
    canvas.moveTo(mx, 0);
    canvas.lineTo(mx, h);
    canvas.moveTo(0, my);
    canvas.lineTo(w, my);

    frame(canvas, w, h);

    if (s.guide != MarginLine::None) {
        // Inverting dots stay visible on the white sheet and on the page.
        canvas.setPenStyle(Canvas::PenStyle::Dot);
        canvas.setPenMode(Canvas::PenMode::Xor);
        canvas.setPenColor(kWhite);
        if (s.guide == MarginLine::Left) {
            canvas.moveTo(s.guideX, 0);
            canvas.lineTo(s.guideX, h);
        } else {
            canvas.moveTo(0, s.guideY);
            canvas.lineTo(w, s.guideY);
        }
        canvas.setPenMode(Canvas::PenMode::Copy);
        canvas.setPenStyle(Canvas::PenStyle::Solid);
        canvas.setPenColor(kBlack);
    }
}

} // namespace tally::printing::preview
