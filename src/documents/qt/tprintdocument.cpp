#include "documents/qt/tprintdocument.h"

#include "base/formatsettings.h"
#include "documents/billbinding.h"
#include "documents/bounddocument.h"
#include "documents/documentdef.h"
#include "documents/qt/documentslog.h"
#include "layout/tbill.h"
#include "printing/qt/billwidget.h"
#include "printing/qt/preview/windowprinting.h"

#include <QMessageBox>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tally::documents {

namespace {

// Every document window opens at the same fixed place, not centred.
constexpr int kWindowLeft = 40;
constexpr int kWindowTop = 40;

QString qtText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::string TPrintDocument::pdfWrittenLine(const QString &file)
{
    return printing::preview::WindowPrinting::pdfWrittenLine(file);
}

TPrintDocument::TPrintDocument(const DocumentDef &def, DocumentRequest request, QWidget *owner,
                               LogSink log)
    : ContainedWidget<QWidget>(owner, Qt::Window)
{
    setWindowTitle(qtText(def.caption));
    resize(def.width, def.height);
    move(kWindowLeft, kWindowTop);

    m_printing = std::make_unique<printing::preview::WindowPrinting>(this, std::move(log));

    m_document = std::make_unique<BoundDocument>(
        def, std::move(request), FormatSettings::fromSystemLocale(), m_printing->context());
    setObjectName(QString::fromStdString(m_document->windowName()));

    auto *scroll = new QScrollArea(this);
    m_billWidget = new printing::BillWidget;
    scroll->setWidget(m_billWidget);
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(scroll);

    // The box blocks this window only, without a nested event loop, so other
    // requests' windows keep working while it is up.
    m_outcome = m_document->create([this](std::string_view message) {
        auto *messageBox = new QMessageBox(QMessageBox::Information, windowTitle(), qtText(message),
                                           QMessageBox::Ok, this);
        messageBox->setAttribute(Qt::WA_DeleteOnClose);
        messageBox->setWindowModality(Qt::WindowModal);
        messageBox->show();
    });
    if (m_outcome == DocumentForm::Outcome::BadFormat)
        qCInfo(lcDocuments) << objectName()
                            << "packets did not load:" << m_document->form().loadError().c_str();
    if (m_outcome != DocumentForm::Outcome::BadFormat && m_document->binding().isVisible()) {
        m_billWidget->setBill(&m_document->bill());
        m_billWidget->fitToBill();
    }
}

const DocumentForm &TPrintDocument::form() const
{
    return m_document->form();
}

TPrintDocument::~TPrintDocument()
{
    // The widget paints the bill: let go of it before the bill goes.
    if (m_billWidget)
        m_billWidget->setBill(nullptr);
}

} // namespace tally::documents
