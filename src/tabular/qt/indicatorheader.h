#pragma once

#include "base/qt/containment.h"

#include <QHeaderView>

namespace tally::tabular {

// The grid's indicator column, always 51 pixels wide: a marker at the
// current row, or, for a table with aggregate rows, the record numbers and
// aggregate labels the model gives as row titles.
class IndicatorHeader : public ContainedScrollArea<QHeaderView>
{
public:
    static constexpr int kWidth = 51;

    explicit IndicatorHeader(QWidget *parent = nullptr);

    // Whether the rows show their titles (numbers and labels) instead of
    // the current-row marker.
    void setShowsRowTitles(bool shows);
    bool showsRowTitles() const { return m_rowTitles; }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    bool m_rowTitles = false;
};

} // namespace tally::tabular
