#include "ui/sheet/RecordPanel.h"

#include <QGridLayout>
#include <QLabel>

namespace sheet {

namespace {
// Pages kept: a tariff line, a chapter, a heading and a subheading (their paths differ in
// length), the foreign-trade codes, with room to spare.
constexpr int kPagesKept = 8;
// Characters a value may have before it wraps (about a third of the sheet's width in CJK).
constexpr int kUnwrappedLength = 14;
}

RecordPanel::RecordPanel(QWidget *parent)
    : QScrollArea(parent)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::StyledPanel);
    setBackgroundRole(QPalette::Base);
    m_empty = new QWidget;
    setWidget(m_empty);
}

QString RecordPanel::keyOf(const QList<SheetContent::Group> &groups)
{
    QString key;
    for (const auto &group : groups) {
        key += group.title + QChar(0x1e);
        for (const auto &row : group.rows)
            key += row.caption + QChar(0x1f);
    }
    return key;
}

RecordPanel::Page RecordPanel::makePage(const QString &key, const QList<SheetContent::Group> &groups)
{
    Page page;
    page.key = key;
    page.widget = new QWidget;
    auto *grid = new QGridLayout(page.widget);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    int line = 0;
    for (const auto &group : groups) {
        auto *title = new QLabel(group.title, page.widget);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        title->setContentsMargins(0, line == 0 ? 0 : 6, 0, 0);
        grid->addWidget(title, line++, 0, 1, 2);
        for (const auto &row : group.rows) {
            auto *caption = new QLabel(row.caption, page.widget);
            caption->setForegroundRole(QPalette::PlaceholderText);
            caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            auto *value = new QLabel(page.widget);
            value->setTextFormat(Qt::PlainText);
            value->setTextInteractionFlags(Qt::TextSelectableByMouse);
            value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            grid->addWidget(caption, line, 0);
            grid->addWidget(value, line++, 1);
            page.values.append(value);
        }
    }
    grid->setRowStretch(line, 1);
    return page;
}

void RecordPanel::setPage(int index)
{
    if (index > 0)
        m_pages.move(index, 0);
    QWidget *wanted = index >= 0 ? m_pages.first().widget : m_empty;
    if (widget() == wanted)
        return;
    QWidget *shown = takeWidget(); // kept: a page is made once
    shown->setParent(this);
    shown->hide();
    setWidget(wanted);
    wanted->show();
}

void RecordPanel::showGroups(const QList<SheetContent::Group> &groups)
{
    const QString key = keyOf(groups);
    int index = -1;
    for (int i = 0; i < m_pages.size() && index < 0; ++i)
        if (m_pages.at(i).key == key)
            index = i;
    if (index < 0) {
        m_pages.append(makePage(key, groups));
        index = int(m_pages.size()) - 1;
    }
    setPage(index);
    const Page &page = m_pages.first();
    int i = 0;
    for (const auto &group : groups)
        for (const auto &row : group.rows) {
            QLabel *value = page.values.at(i++);
            // Only long values wrap: a wrapped label's height is laid out anew at every layout
            // pass, and most values ("0%", "千克") fit on one line.
            const bool wrap = row.value.size() > kUnwrappedLength;
            if (value->wordWrap() != wrap)
                value->setWordWrap(wrap);
            if (value->text() != row.value) {
                value->setText(row.value);
                value->setAccessibleName(row.caption + QLatin1Char(' ') + row.value);
            }
        }
    while (m_pages.size() > kPagesKept)
        delete m_pages.takeLast().widget;
}

void RecordPanel::clear()
{
    setPage(-1);
}

QString RecordPanel::shownText() const
{
    QString text;
    const QWidget *page = widget();
    if (!page || page == m_empty)
        return text;
    const auto *grid = qobject_cast<const QGridLayout *>(page->layout());
    for (int row = 0; grid && row < grid->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < 2; ++column)
            if (const QLayoutItem *item = grid->itemAtPosition(row, column))
                if (const auto *label = qobject_cast<const QLabel *>(item->widget()))
                    cells << label->text();
        if (!cells.isEmpty())
            text += cells.join(QStringLiteral("  ")) + QLatin1Char('\n');
    }
    return text;
}

} // namespace sheet
