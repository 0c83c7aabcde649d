#pragma once

#include "core/runtime/DataViewDefinition.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

#include <memory>

namespace runtime {

// A find expression of a data view, parsed once and then tested against rows.
//
// The language: column names, text literals in '..' or ".." (with the escapes ~' ~" ~~ ~t ~n
// ~r), numbers, the comparisons = <> < > <= >=, like and not like (% any run of characters,
// _ one character), and, or, not, and parentheses. Keywords and column names are matched
// without regard to case. Texts compare exactly (case-sensitive, blanks kept) in the
// database's order; numbers numerically; a text and a number compare as numbers when the
// text reads as one. A comparison with null, or of a text that is no number with a number,
// is false (and so its negation with not is true).
// A text as a literal of the language, quoted with ' and with ~ and ' escaped.
QString quotedLiteral(const QString &text);

class FindExpression
{
public:
    // Parses text against the columns of a data view. Nesting deeper than maxDepth is refused.
    FindExpression(const QString &text, const QList<ColumnDefinition> &columns);
    ~FindExpression();
    FindExpression(const FindExpression &) = delete;
    FindExpression &operator=(const FindExpression &) = delete;

    static constexpr int maxDepth = 100;

    QString text() const { return m_text; }
    bool isValid() const { return m_root != nullptr; }
    QString errorText() const { return m_error; }

    // Whether a row (one value per column of the view) satisfies the expression; false for an
    // invalid expression.
    bool matches(const QVector<QVariant> &row) const;
    // The 0-based columns the expression reads: a row needs only these to be matched.
    const QVector<int> &usedColumns() const { return m_usedColumns; }

    // When the expression is only "column = 'text'" (or "'text' = column"), the column's
    // 0-based index and the text; -1 otherwise. Such an expression holds exactly for the rows
    // whose item in that column is a text equal to it, which lets a caller use an index.
    int equalityColumn() const { return m_equalityColumn; }
    QString equalityText() const { return m_equalityText; }

    // The node classes of the parsed tree live in the implementation.
    struct Node;

private:
    QString m_text;
    QString m_error;
    std::unique_ptr<Node> m_root;
    QVector<int> m_usedColumns;
    int m_equalityColumn = -1;
    QString m_equalityText;
};

} // namespace runtime
