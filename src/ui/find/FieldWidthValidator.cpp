#include "ui/find/FieldWidthValidator.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {
// The line edit's own margin between its text area and the text, on each side.
constexpr int kTextMargin = 2;
// Room for the text cursor behind the last character.
constexpr int kCursorWidth = 1;
} // namespace

FieldWidthValidator::FieldWidthValidator(QLineEdit *field)
    : QValidator(field)
    , m_field(field)
    , m_accepted(field->text())
{
    // validate() sees the text after the change; the text before it is what the field held
    // when it last changed.
    connect(field, &QLineEdit::textChanged, this, [this](const QString &text) { m_accepted = text; });
    field->setValidator(this);
}

int FieldWidthValidator::availableWidth() const
{
    QStyleOptionFrame option;
    option.initFrom(m_field);
    option.rect = m_field->contentsRect();
    option.lineWidth = m_field->hasFrame() ? m_field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, m_field)
                                           : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    const QRect area = m_field->style()->subElementRect(QStyle::SE_LineEditContents, &option, m_field);
    const QMargins margins = m_field->textMargins();
    return area.width() - margins.left() - margins.right() - 2 * kTextMargin - kCursorWidth;
}

bool FieldWidthValidator::fits(const QString &text) const
{
    return QFontMetrics(m_field->font()).horizontalAdvance(text) <= availableWidth();
}

QValidator::State FieldWidthValidator::validate(QString &input, int &pos) const
{
    if (fits(input))
        return Acceptable;

    // The change replaced the middle of the old text: keep the unchanged head and tail and
    // as many of the new characters as fit between them.
    const QString &before = m_accepted;
    const qsizetype shorter = std::min(before.size(), input.size());
    qsizetype head = 0;
    while (head < shorter && before.at(head) == input.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && before.at(before.size() - 1 - tail) == input.at(input.size() - 1 - tail))
        ++tail;
    const QString left = input.left(head);
    const QString right = input.right(tail);
    const QString inserted = input.mid(head, input.size() - head - tail);

    // The width grows with every character taken: the longest fitting run is found by halving.
    qsizetype low = 0;
    qsizetype high = inserted.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (fits(left + inserted.left(mid) + right))
            low = mid;
        else
            high = mid - 1;
    }
    // Never keep half of a character outside the Basic Multilingual Plane.
    if (low > 0 && inserted.at(low - 1).isHighSurrogate())
        --low;
    input = left + inserted.left(low) + right;
    pos = int(head + low);
    return Acceptable;
}
