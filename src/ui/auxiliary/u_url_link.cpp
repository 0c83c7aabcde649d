#include "ui/auxiliary/u_url_link.h"

#include "core/auxiliary/AppResources.h"
#include "ui/runtime/LayoutUnits.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

namespace {

// Default size in layout units.
constexpr int kLinkWidthUnits = 590;
constexpr int kLinkHeightUnits = 96;

// Screen readers see the label as a link that can be pressed, not as static text.
class UrlLinkAccessible : public QAccessibleWidget
{
public:
    explicit UrlLinkAccessible(u_url_link *link)
        : QAccessibleWidget(link, QAccessible::Link)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? static_cast<const u_url_link *>(widget())->text() : name;
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction())
            static_cast<u_url_link *>(widget())->click();
    }
};

QAccessibleInterface *urlLinkAccessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("u_url_link") && object && object->isWidgetType())
        return new UrlLinkAccessible(static_cast<u_url_link *>(object));
    return nullptr;
}

void installAccessibleFactory()
{
    static const bool installed = (QAccessible::installFactory(urlLinkAccessibleFactory), true);
    Q_UNUSED(installed);
}

} // namespace

u_url_link::u_url_link(QWidget *parent)
    : QLabel(QStringLiteral("网址"), parent)
{
    installAccessibleFactory();

    const runtime::LayoutUnits units;
    resize(units.toPixels(QSize(kLinkWidthUnits, kLinkHeightUnits)));

    QFont linkFont(QStringLiteral("Arial"));
    linkFont.setPointSize(12);
    linkFont.setUnderline(true);
    setFont(linkFont);

    // Blue text on the button-face colour, in every state of the window.
    QPalette colours = palette();
    const QColor buttonFace = colours.color(QPalette::Button);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::WindowText, QColor(0, 0, 255));
        colours.setColor(group, QPalette::Window, buttonFace);
    }
    setPalette(colours);
    setAutoFillBackground(true);

    setCursor(kiv::handCursor());
    setFocusPolicy(Qt::NoFocus);
    setTextFormat(Qt::PlainText);
}

int u_url_link::uf_url_link(const QString &as_url)
{
    QDesktopServices::openUrl(QUrl(as_url));
    return 1;
}

void u_url_link::click()
{
    emit clicked();
}

void u_url_link::fitToText()
{
    const QSize needed = size().expandedTo(sizeHint());
    if (needed != size())
        resize(needed);
}

void u_url_link::showEvent(QShowEvent *event)
{
    fitToText();
    QLabel::showEvent(event);
}

void u_url_link::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void u_url_link::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        event->accept();
        // A click is a press and a release over the label, like a button's.
        if (rect().contains(event->position().toPoint()))
            click();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}
