#include "printing/qt/preview/previewicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>

namespace tally::printing::preview {

namespace {

constexpr int kSize = 18;

const QColor kInk(40, 40, 40);
const QColor kBlue(30, 90, 170);

void sheet(QPainter &p, const QRect &r)
{
    p.setPen(kInk);
    p.setBrush(Qt::white);
    p.drawRect(r);
}

void triangle(QPainter &p, int tipX, int baseX)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygon({QPoint(tipX, 9), QPoint(baseX, 3), QPoint(baseX, 15)}));
}

void bar(QPainter &p, int x)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(x, 3, 2, 12);
}

void draw(QPainter &p, int index)
{
    switch (index) {
    case 0: // actual size: magnifier over a page
        sheet(p, QRect(2, 1, 10, 14));
        p.setPen(QPen(kBlue, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRect(7, 6, 7, 7));
        p.drawLine(13, 13, 16, 16);
        break;
    case 1: // page width: page between two arrows
        sheet(p, QRect(4, 1, 9, 15));
        p.setPen(QPen(kBlue, 1));
        p.drawLine(0, 9, 17, 9);
        p.drawLine(0, 9, 2, 7);
        p.drawLine(0, 9, 2, 11);
        p.drawLine(17, 9, 15, 7);
        p.drawLine(17, 9, 15, 11);
        break;
    case 2: // whole page
        sheet(p, QRect(3, 1, 11, 15));
        p.setPen(kBlue);
        for (int y = 4; y < 14; y += 3)
            p.drawLine(5, y, 12, y);
        break;
    case 3:
        bar(p, 3);
        triangle(p, 5, 14);
        break;
    case 4:
        triangle(p, 5, 13);
        break;
    case 5:
        triangle(p, 13, 5);
        break;
    case 6:
        triangle(p, 12, 3);
        bar(p, 13);
        break;
    case 7: // printer
        sheet(p, QRect(5, 1, 8, 6));
        p.setPen(kInk);
        p.setBrush(QColor(170, 170, 170));
        p.drawRoundedRect(QRect(1, 6, 16, 7), 2, 2);
        sheet(p, QRect(5, 11, 8, 6));
        break;
    case 8: { // setup: page with a pencil
        sheet(p, QRect(1, 1, 11, 15));
        p.setPen(QPen(kBlue, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(8, 14, 16, 4);
        break;
    }
    case 9: // exit: open door
        p.setPen(kInk);
        p.setBrush(QColor(150, 100, 50));
        p.drawRect(QRect(3, 1, 9, 16));
        p.setPen(QPen(QColor(200, 40, 40), 2));
        p.drawLine(10, 9, 17, 9);
        p.drawLine(14, 6, 17, 9);
        p.drawLine(14, 12, 17, 9);
        break;
    default:
        break;
    }
}

} // namespace

QIcon PreviewIcon(int index)
{
    if (index < 0 || index > 9)
        return {};
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing, true);
        draw(p, index);
    }
    return QIcon(pixmap);
}

} // namespace tally::printing::preview
