#include "printing/qt/preview/zoomspinbox.h"

#include "printing/qt/preview/previewgeometry.h"

#include <QLineEdit>

namespace tally::printing::preview {

namespace {

constexpr int kMaxChars = 3;

} // namespace

ZoomSpinBox::ZoomSpinBox(QWidget *parent) : QSpinBox(parent)
{
    setRange(kMinZoom, kMaxZoom);
    setSingleStep(1);
    setValue(100);
    lineEdit()->setMaxLength(kMaxChars);
}

QValidator::State ZoomSpinBox::validate(QString &input, int &) const
{
    // Anything short enough is taken as typed; the value is limited when it
    // is read, so 5 on the way to 50 and 999 both stay in the field.
    if (input.size() > kMaxChars)
        return QValidator::Invalid;
    for (const QChar c : input) {
        if (!c.isDigit() && c != QLatin1Char('-') && c != QLatin1Char('+'))
            return QValidator::Invalid;
    }
    return QValidator::Acceptable;
}

int ZoomSpinBox::valueFromText(const QString &text) const
{
    return ZoomFromText(text.toStdString());
}

void ZoomSpinBox::fixup(QString &input) const
{
    input = QString::number(ZoomFromText(input.toStdString()));
}

} // namespace tally::printing::preview
