#include "activex/qt/tactivegridora.h"

#include "tabular/qt/tblshowgrid.h"
#include "tabular/qt/tgridora.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QObject>
#include <QPalette>

namespace tally::activex {

namespace {

QString qtText(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <class T> T valueAs(const FormValue &value)
{
    if (const T *v = std::get_if<T>(&value))
        return *v;
    throw std::invalid_argument("value of the wrong type for this property");
}

} // namespace

// Watches the window and its children and raises the form's events. A key
// press goes to the sink first; a replaced character is delivered in its
// place and a cleared one swallowed.
class TActiveGridora::EventRelay : public QObject
{
public:
    explicit EventRelay(QWidget &window) : m_window(window) { qApp->installEventFilter(this); }
    ~EventRelay() override { qApp->removeEventFilter(this); }

    ControlEvents *events = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!events || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->window() != &m_window)
            return false;
        const bool onForm = widget == &m_window;
        switch (event->type()) {
        case QEvent::MouseButtonRelease:
            if (onForm)
                events->raise(Event::OnClick);
            break;
        case QEvent::MouseButtonDblClick:
            if (onForm)
                events->raise(Event::OnDblClick);
            break;
        case QEvent::WindowActivate:
            if (onForm)
                events->raise(Event::OnActivate);
            break;
        case QEvent::WindowDeactivate:
            if (onForm)
                events->raise(Event::OnDeactivate);
            break;
        case QEvent::Paint:
            if (onForm)
                events->raise(Event::OnPaint);
            break;
        case QEvent::KeyPress:
            return keyPress(widget, static_cast<QKeyEvent *>(event));
        default:
            break;
        }
        return false;
    }

private:
    // True when the key is replaced or dropped.
    bool keyPress(QWidget *target, QKeyEvent *event)
    {
        if (m_replaying || event->text().size() != 1)
            return false;
        const char16_t typed = event->text().front().unicode();
        if (typed > 0xFF)
            return false; // the event carries a single-byte character
        std::int16_t key = static_cast<std::int16_t>(typed);
        events->raiseKeyPress(key);
        const auto kept = static_cast<char16_t>(static_cast<std::uint8_t>(key));
        if (kept == typed)
            return false;
        if (kept != 0) {
            QKeyEvent replaced(QEvent::KeyPress, 0, event->modifiers(), QString(QChar(kept)));
            m_replaying = true;
            QCoreApplication::sendEvent(target, &replaced);
            m_replaying = false;
        }
        return true;
    }

    QWidget &m_window;
    bool m_replaying = false;
};

TActiveGridora::TActiveGridora(QWidget *parent)
    : m_window(std::make_unique<tabular::TGridora>(tabular::TGridora::Mode::Control, parent))
{
    // The report title a page sees before its first DoPrint1.
    m_window->setReportTitle("abc");
    m_relay = std::make_unique<EventRelay>(*m_window);
    m_values[FormProperty::AutoScroll] = false;
    m_values[FormProperty::AutoSize] = false;
    m_values[FormProperty::AxBorderStyle] = std::int32_t{0}; // afbNone
    m_values[FormProperty::KeyPreview] = false;
    m_values[FormProperty::PixelsPerInch] = std::int32_t{96};
    m_values[FormProperty::PrintScale] = std::int32_t{1}; // poProportional
    m_values[FormProperty::Scaled] = true;
    m_values[FormProperty::DropTarget] = false;
    m_values[FormProperty::HelpFile] = std::string();
    m_values[FormProperty::DoubleBuffered] = false;
    m_values[FormProperty::AlignDisabled] = false;
    m_values[FormProperty::VisibleDockClientCount] = std::int32_t{0};
    m_values[FormProperty::Cursor] = std::int32_t{0};
    m_values[FormProperty::HelpType] = std::int32_t{0};
    m_values[FormProperty::HelpKeyword] = std::string();
}

TActiveGridora::~TActiveGridora()
{
    m_relay.reset();
    m_window.reset();
}

void TActiveGridora::setPreviewFlag(const std::string &flag)
{
    m_window->setPreviewFlag(flag);
}

void TActiveGridora::setReportTitle(const std::string &title)
{
    m_window->setReportTitle(title);
}

datapacket::DataPacketTable &TActiveGridora::table()
{
    return m_window->table();
}

void TActiveGridora::setGridColumnLayout(int width, TitleAlignment alignment)
{
    m_window->showTable();
    m_window->setColumnWidths(width);
    const Qt::Alignment horizontal = alignment == TitleAlignment::Left    ? Qt::AlignLeft
                                     : alignment == TitleAlignment::Right ? Qt::AlignRight
                                                                          : Qt::AlignHCenter;
    m_window->grid().horizontalHeader()->setDefaultAlignment(horizontal | Qt::AlignVCenter);
}

void TActiveGridora::usePacket()
{
    m_window->usePacket();
}

void TActiveGridora::showMessage(const std::string &text)
{
    // The table may have been closed by the failed load: show it as it is.
    m_window->showTable();
    m_window->showMessage(qtText(text));
}

FormValue TActiveGridora::property(FormProperty property) const
{
    switch (property) {
    case FormProperty::Visible:
        return m_window->isVisible();
    case FormProperty::Caption:
        return m_window->windowTitle().toStdString();
    case FormProperty::Color:
        return m_color;
    case FormProperty::Font: {
        const QFont font = m_window->font();
        FontDesc desc;
        desc.name = font.family().toStdString();
        desc.sizeCy = static_cast<std::int64_t>(font.pointSizeF() * 10000);
        desc.weight = static_cast<std::int16_t>(font.bold() ? 700 : 400);
        desc.italic = font.italic();
        desc.underline = font.underline();
        desc.strikethrough = font.strikeOut();
        return desc;
    }
    case FormProperty::Enabled:
        return m_window->isEnabled();
    case FormProperty::Active:
        return m_window->isActiveWindow();
    default:
        return m_values.at(property);
    }
}

void TActiveGridora::setProperty(FormProperty property, const FormValue &value)
{
    switch (property) {
    case FormProperty::Visible:
        m_window->setVisible(valueAs<bool>(value));
        return;
    case FormProperty::Caption:
        m_window->setWindowTitle(qtText(valueAs<std::string>(value)));
        return;
    case FormProperty::Color: {
        m_color = valueAs<std::uint32_t>(value);
        // System colours (high byte set) keep the style's own background.
        if ((m_color & 0xFF000000u) == 0) {
            QPalette palette = m_window->palette();
            palette.setColor(QPalette::Window, QColor(static_cast<int>(m_color & 0xFF),
                                                      static_cast<int>((m_color >> 8) & 0xFF),
                                                      static_cast<int>((m_color >> 16) & 0xFF)));
            m_window->setPalette(palette);
        }
        return;
    }
    case FormProperty::Font: {
        const FontDesc desc = valueAs<FontDesc>(value);
        QFont font(qtText(desc.name));
        if (desc.sizeCy > 0)
            font.setPointSizeF(static_cast<double>(desc.sizeCy) / 10000.0);
        font.setBold(desc.weight >= 600);
        font.setItalic(desc.italic);
        font.setUnderline(desc.underline);
        font.setStrikeOut(desc.strikethrough);
        m_window->setFont(font);
        return;
    }
    case FormProperty::Enabled:
        m_window->setEnabled(valueAs<bool>(value));
        return;
    case FormProperty::Active:
        return; // read-only: the window system decides
    default: {
        FormValue &stored = m_values.at(property);
        if (stored.index() != value.index())
            throw std::invalid_argument("value of the wrong type for this property");
        stored = value;
        return;
    }
    }
}

void TActiveGridora::attachEvents(ControlEvents *events)
{
    m_relay->events = events;
}

} // namespace tally::activex
