#pragma once

#include <QSpinBox>

namespace tally::printing::preview {

// The zoom field: a spin field of 10..500 percent, at most three characters,
// whose text may pass through any digits while the user types. Its value
// is the text read as an integer, or 10 when the text is not a number,
// limited to the range; losing focus writes that value back as text.
class ZoomSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    explicit ZoomSpinBox(QWidget *parent = nullptr);

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    int valueFromText(const QString &text) const override;
    void fixup(QString &input) const override;
};

} // namespace tally::printing::preview
