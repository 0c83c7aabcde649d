#include "ui/quicksearch/QuickSearchField.h"

#include <QKeyEvent>

namespace {
constexpr int kPageSteps = 10;
}

QuickSearchField::QuickSearchField(QWidget *parent)
    : QLineEdit(parent)
{
    setObjectName(QStringLiteral("sle_quicksearch"));
    setPlaceholderText(QStringLiteral("搜索: 编码、名称、拼音或英文 (Ctrl+F)"));
    setAccessibleName(QStringLiteral("搜索"));
    setClearButtonEnabled(true);
    // A pasted text is cut here already; the index reads only the first part of it anyway.
    setMaxLength(1000);
}

QSize QuickSearchField::sizeHint() const
{
    QSize size = QLineEdit::sizeHint();
    size.setWidth(fontMetrics().horizontalAdvance(placeholderText()) + 48);
    return size;
}

void QuickSearchField::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Down:
        emit moveInList(1);
        return;
    case Qt::Key_Up:
        emit moveInList(-1);
        return;
    case Qt::Key_PageDown:
        emit moveInList(kPageSteps);
        return;
    case Qt::Key_PageUp:
        emit moveInList(-kPageSteps);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit chosen();
        return;
    case Qt::Key_Escape:
        if (!text().isEmpty())
            clear();
        else
            emit leaving();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void QuickSearchField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    emit focused();
}

void QuickSearchField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    emit unfocused();
}
