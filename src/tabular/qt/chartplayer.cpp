#include "tabular/qt/chartplayer.h"

#include "printing/qt/fontsubstitution.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHash>
#include <QLegend>
#include <QSet>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <optional>
#include <type_traits>
#include <vector>

namespace tally::tabular {

namespace {

// More grid lines than this are not drawn at the given step.
constexpr double kMaxGridLines = 100;

// The category axis drops repeated categories, but rows may share a label:
// a repeat gets an invisible suffix, its repeat count written in binary with
// two zero-width characters, so each row keeps its bar and even thousands of
// repeats stay short.
QString invisibleSuffix(unsigned count)
{
    QString suffix;
    for (; count; count >>= 1)
        suffix.prepend(QChar(count & 1 ? 0x200C : 0x200B));
    return suffix;
}

QStringList distinctLabels(const std::vector<QString> &labels)
{
    QStringList out;
    QSet<QString> seen;
    QHash<QString, unsigned> repeats;
    for (const QString &label : labels) {
        QString shown = label;
        unsigned &count = repeats[label];
        while (seen.contains(shown))
            shown = label + invisibleSuffix(++count);
        seen.insert(shown);
        out.append(shown);
    }
    return out;
}

} // namespace

struct ChartPlayer::Impl
{
    QChart *chart = nullptr;
    QBarCategoryAxis *labelAxis = nullptr;
    QValueAxis *valueAxis = nullptr;

    bool open = false;
    std::vector<double> pendingValues;
    std::vector<QString> pendingLabels;

    std::vector<double> values;
    std::vector<QString> labels;
    QString legend;
    QString unit;
    QString valueTitle;
    QString labelTitle;
    std::optional<double> maximum;
    std::optional<double> step;
    std::optional<double> divisor;

    double scale(double v) const { return divisor && *divisor != 0 ? v / *divisor : v; }
    void rebuildSeries();
    void applyAxes();
};

void ChartPlayer::Impl::rebuildSeries()
{
    chart->removeAllSeries();
    auto *set = new QBarSet(legend);
    for (double v : values)
        set->append(scale(v));
    auto *series = new QBarSeries();
    series->append(set);
    labelAxis->clear();
    labelAxis->append(distinctLabels(labels));
    chart->addSeries(series);
    chart->legend()->setVisible(!legend.isEmpty());
    series->attachAxis(labelAxis);
    series->attachAxis(valueAxis);
    applyAxes();
}

void ChartPlayer::Impl::applyAxes()
{
    valueAxis->setTitleText(unit.isEmpty()
                                ? valueTitle
                                : valueTitle + QStringLiteral("（") + unit + QStringLiteral("）"));
    labelAxis->setTitleText(labelTitle);

    double low = 0;
    double high = 0;
    for (double v : values) {
        low = std::min(low, scale(v));
        high = std::max(high, scale(v));
    }
    if (maximum)
        high = scale(*maximum);
    const double interval = step ? scale(*step) : 0;
    const bool useStep = interval > 0 && std::isfinite(interval);
    if (useStep)
        low = std::floor(low / interval) * interval;
    // No rows (the maximum is then a huge negative number) or nothing but
    // zeros: an empty axis of one step.
    if (!(high > low) || !std::isfinite(high) || !std::isfinite(low))
        high = low + (useStep ? interval : 1);
    valueAxis->setRange(low, high);
    if (useStep && (high - low) / interval <= kMaxGridLines) {
        valueAxis->setTickType(QValueAxis::TicksDynamic);
        valueAxis->setTickAnchor(0);
        valueAxis->setTickInterval(interval);
    } else {
        valueAxis->setTickType(QValueAxis::TicksFixed);
    }
}

ChartPlayer::ChartPlayer(QWidget *parent)
    : ContainedWidget<QWidget>(parent), m_impl(std::make_unique<Impl>())
{
    auto *chart = new QChart();
    chart->setAnimationOptions(QChart::NoAnimation);
    const QFont font = printing::FontSubstitution::font("宋体", 12, 0);
    QFont titleFont = font;
    titleFont.setBold(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setFont(font);

    auto *labelAxis = new QBarCategoryAxis();
    auto *valueAxis = new QValueAxis();
    valueAxis->setLabelFormat(QStringLiteral("%.10g"));
    for (QAbstractAxis *axis :
         {static_cast<QAbstractAxis *>(labelAxis), static_cast<QAbstractAxis *>(valueAxis)}) {
        axis->setLabelsFont(font);
        axis->setTitleFont(titleFont);
    }
    chart->addAxis(labelAxis, Qt::AlignBottom);
    chart->addAxis(valueAxis, Qt::AlignLeft);
    m_impl->chart = chart;
    m_impl->labelAxis = labelAxis;
    m_impl->valueAxis = valueAxis;

    // The view owns the chart.
    auto *view = new QChartView(chart, this);
    view->setRenderHint(QPainter::Antialiasing);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    m_impl->rebuildSeries();
}

ChartPlayer::~ChartPlayer() = default;

void ChartPlayer::play(const ChartCall &call)
{
    Impl &d = *m_impl;
    std::visit(
        [&d](const auto &c) {
            using T = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<T, OpenValues>) {
                d.open = true;
                d.pendingValues.assign(c.points, 0.0);
                d.pendingLabels.assign(c.points, QString());
            } else if constexpr (std::is_same_v<T, PointValue>) {
                if (d.open && c.point < d.pendingValues.size())
                    d.pendingValues[c.point] = c.value;
            } else if constexpr (std::is_same_v<T, PointLabel>) {
                if (d.open && c.point < d.pendingLabels.size())
                    d.pendingLabels[c.point] = QString::fromStdString(c.text);
            } else if constexpr (std::is_same_v<T, CloseValues>) {
                if (!d.open)
                    return;
                d.open = false;
                d.values = std::move(d.pendingValues);
                d.labels = std::move(d.pendingLabels);
                d.pendingValues.clear();
                d.pendingLabels.clear();
                d.unit.clear();
                d.maximum.reset();
                d.step.reset();
                d.divisor.reset();
                d.rebuildSeries();
            } else if constexpr (std::is_same_v<T, LegendText>) {
                if (c.series != 0)
                    return;
                d.legend = QString::fromStdString(c.text);
                d.chart->legend()->setVisible(!d.legend.isEmpty());
                const auto series = d.chart->series();
                if (!series.isEmpty())
                    if (auto *bars = qobject_cast<QBarSeries *>(series.front()))
                        if (!bars->barSets().isEmpty())
                            bars->barSets().front()->setLabel(d.legend);
            } else if constexpr (std::is_same_v<T, TitleText>) {
                const QString text = QString::fromStdString(c.text);
                switch (c.title) {
                case ChartTitle::Unit:
                    d.unit = text;
                    break;
                case ChartTitle::ValueAxis:
                    d.valueTitle = text;
                    break;
                case ChartTitle::LabelAxis:
                    d.labelTitle = text;
                    break;
                }
                d.applyAxes();
            } else if constexpr (std::is_same_v<T, AxisValue>) {
                switch (c.setting) {
                case AxisSetting::Maximum:
                    d.maximum = c.value;
                    break;
                case AxisSetting::Step:
                    d.step = c.value;
                    break;
                case AxisSetting::Divisor:
                    d.divisor = c.value;
                    // The bars show divided values.
                    d.rebuildSeries();
                    return;
                }
                d.applyAxes();
            } else {
                static_assert(std::is_same_v<T, SetChartType>);
                // Bars are the one type there is.
            }
        },
        call);
}

ChartPlayer::Picture ChartPlayer::picture() const
{
    const Impl &d = *m_impl;
    Picture p;
    p.labels = d.labelAxis->categories();
    const auto series = d.chart->series();
    if (!series.isEmpty())
        if (auto *bars = qobject_cast<QBarSeries *>(series.front()))
            if (!bars->barSets().isEmpty()) {
                const QBarSet *set = bars->barSets().front();
                p.legend = set->label();
                for (int i = 0; i < set->count(); ++i)
                    p.values.append(set->at(i));
            }
    p.valueAxisTitle = d.valueAxis->titleText();
    p.labelAxisTitle = d.labelAxis->titleText();
    p.axisMinimum = d.valueAxis->min();
    p.axisMaximum = d.valueAxis->max();
    p.step = d.valueAxis->tickType() == QValueAxis::TicksDynamic ? d.valueAxis->tickInterval() : 0;
    return p;
}

} // namespace tally::tabular
