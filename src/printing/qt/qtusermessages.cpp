#include "printing/qt/qtusermessages.h"

#include <QMessageBox>

namespace tally::printing {

void QtUserMessages::information(const std::string &caption, const std::string &text)
{
    QMessageBox::information(m_parent, QString::fromStdString(caption),
                             QString::fromStdString(text));
}

} // namespace tally::printing
