#pragma once

#include "base/qt/containment.h"

#include <QHeaderView>

#include <string>
#include <vector>

namespace tally::tabular {

// The title row of the grid: each column's title is split into its "|"
// levels, one text line per level, and neighbours that agree on the upper
// levels share one band over them (the bands come from TitleBandRect). The
// row is as high as the deepest title needs.
class TitleHeader : public ContainedScrollArea<QHeaderView>
{
public:
    explicit TitleHeader(QWidget *parent = nullptr);

    // The titles of the shown columns in display order (UTF-8).
    std::vector<std::string> shownCaptions() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    void collectColumns();

    // Refreshed at each paint, so every section of it sees the same titles.
    std::vector<std::string> m_captions;
    std::vector<int> m_shownLogical;
};

} // namespace tally::tabular
