#include "tabular/qt/titleheader.h"

#include "tabular/gridtitles.h"

#include <QPainter>

#include <algorithm>

namespace tally::tabular {

namespace {

bool isBlank(const std::string &text)
{
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

// The font's internal leading: what its line height holds above the glyphs'
// em size.
int internalLeading(const QFontMetrics &metrics, const QFont &font)
{
    const int em = font.pixelSize() > 0 ? font.pixelSize() : metrics.ascent() + metrics.descent();
    return std::max(0, metrics.height() - em);
}

} // namespace

TitleHeader::TitleHeader(QWidget *parent) : ContainedScrollArea<QHeaderView>(Qt::Horizontal, parent)
{
    setSectionsClickable(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setHighlightSections(false);
    // The header's height follows the titles.
    connect(this, &QHeaderView::sectionCountChanged, this,
            contained(this, [this] { updateGeometry(); }));
}

std::vector<std::string> TitleHeader::shownCaptions() const
{
    std::vector<std::string> captions;
    if (!model())
        return captions;
    for (int visual = 0; visual < count(); ++visual) {
        const int logical = logicalIndex(visual);
        if (!isSectionHidden(logical))
            captions.push_back(
                model()->headerData(logical, Qt::Horizontal).toString().toStdString());
    }
    return captions;
}

QSize TitleHeader::sizeHint() const
{
    QSize hint = QHeaderView::sizeHint();
    const QFontMetrics metrics(font());
    hint.setHeight(
        TitleRowHeight(shownCaptions(), metrics.height(), internalLeading(metrics, font())));
    return hint;
}

void TitleHeader::collectColumns()
{
    m_captions = shownCaptions();
    m_shownLogical.clear();
    for (int visual = 0; visual < count(); ++visual)
        if (const int logical = logicalIndex(visual); !isSectionHidden(logical))
            m_shownLogical.push_back(logical);
}

void TitleHeader::paintEvent(QPaintEvent *event)
{
    collectColumns();
    QHeaderView::paintEvent(event);
}

void TitleHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    const auto found = std::find(m_shownLogical.begin(), m_shownLogical.end(), logicalIndex);
    if (found == m_shownLogical.end())
        return;
    const int column = static_cast<int>(found - m_shownLogical.begin());
    const std::vector<std::string> levels = SplitTitle(m_captions, column);
    const QColor face = palette().color(QPalette::Button);
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    painter->setFont(font());
    for (int level = 0; level < static_cast<int>(levels.size()); ++level) {
        const TitleBand band = TitleBandRect(m_captions, level, column, rect.height());
        const int first = m_shownLogical[static_cast<std::size_t>(band.firstColumn)];
        const int last = m_shownLogical[static_cast<std::size_t>(band.lastColumn)];
        const int left = sectionViewportPosition(first);
        const int right = sectionViewportPosition(last) + sectionSize(last) - 1;
        QRect r(QPoint(left, rect.top() + band.top), QPoint(right, rect.top() + band.bottom - 1));
        painter->fillRect(r, face);
        painter->setPen(light);
        painter->drawLine(r.topLeft(), r.bottomLeft());
        painter->drawLine(r.topLeft(), r.topRight());
        if (level + 1 < static_cast<int>(levels.size())) {
            painter->setPen(shadow);
            painter->drawLine(r.bottomLeft(), r.bottomRight());
            r.setBottom(r.bottom() - 1);
        }
        const std::string &text = levels[static_cast<std::size_t>(level)];
        painter->setPen(isBlank(text) ? QColor(Qt::black) : shadow);
        painter->drawLine(QPoint(r.right(), r.top()), r.bottomRight());
        if (!isBlank(text)) {
            painter->setPen(palette().color(QPalette::ButtonText));
            painter->drawText(r.adjusted(1, 1, -2, -1), Qt::AlignCenter | Qt::TextSingleLine,
                              QString::fromStdString(text));
        }
    }
    // The grid line under the whole title row.
    painter->setPen(shadow);
    painter->drawLine(QPoint(rect.left(), rect.bottom()), rect.bottomRight());
}

} // namespace tally::tabular
