#pragma once

#include "printing/usermessages.h"

class QWidget;

namespace tally::printing {

// Information boxes as modal QMessageBox windows.
class QtUserMessages : public UserMessages
{
public:
    // parent may be null; it must outlive this object otherwise.
    explicit QtUserMessages(QWidget *parent = nullptr) : m_parent(parent) {}

    void information(const std::string &caption, const std::string &text) override;

private:
    QWidget *m_parent;
};

} // namespace tally::printing
