#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

// Keeps an entry field's text within the field's visible width, as a field that does not
// scroll horizontally does: a key that would push the text past the right edge is not
// taken, and of a pasted or dropped text only the beginning that still fits is kept (the
// text around the insertion stays as it was). Widths are measured with the field's font,
// so wide (Chinese) and narrow (Latin) characters take the room they are drawn in.
class FieldWidthValidator : public QValidator
{
    Q_OBJECT
public:
    // Installs itself on the field (as its child and validator).
    explicit FieldWidthValidator(QLineEdit *field);

    State validate(QString &input, int &pos) const override;

    // Whether a text fits the field's text area.
    bool fits(const QString &text) const;
    // The width in pixels that the field's text may take.
    int availableWidth() const;

private:
    QLineEdit *m_field;
    QString m_accepted; // the field's text before the change being validated
};
