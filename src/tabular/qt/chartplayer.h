#pragma once

#include "base/qt/containment.h"
#include "tabular/charttarget.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace tally::tabular {

// The chart tab's chart: plays the tab's calls on a Qt Charts view and is
// the only code that knows Qt Charts, so the drawing can move to another
// component by replacing this class. Shows one bar series with category
// labels and a legend, a value axis titled with its unit ("万元", "元"), a
// label axis title, the axis maximum and the step between grid lines;
// with a divisor set, values, maximum and step show divided by it.
// Points opened are shown when their buffer is closed: a drawing that stops
// before closing leaves the previous picture. Closing starts a new picture,
// so unit, maximum, step and divisor come from the calls that follow.
// Animations are off: a grab right after the calls shows the picture.
class ChartPlayer : public ContainedWidget<QWidget>, public ChartTarget
{
public:
    explicit ChartPlayer(QWidget *parent = nullptr);
    ~ChartPlayer() override;

    void play(const ChartCall &call) override;

    // What the chart shows, as drawn (divided values, composed titles).
    struct Picture
    {
        QStringList labels;
        QList<double> values;
        QString legend;
        QString valueAxisTitle;
        QString labelAxisTitle;
        double axisMinimum = 0;
        double axisMaximum = 0;
        double step = 0; // 0: grid lines of the component's own choice
    };
    Picture picture() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace tally::tabular
