#pragma once

#include <QVariant>
#include <QVector>

#include <memory>
#include <vector>

namespace runtime {

// One column of a data view's rows, kept in the form that suits its values: a few distinct
// values as small codes into a dictionary, texts in one character arena, whole numbers or
// numbers in plain arrays, anything else as variants. A value comes back exactly as it went
// in (its type, a null, an empty text). Columns are shared between copies of a store
// (ColumnStore) and cloned before a change.
class StoredColumn
{
public:
    virtual ~StoredColumn() = default;

    // The column of these values (one per row), in the form that holds them in the least
    // memory; the values are consumed.
    static std::unique_ptr<StoredColumn> fromValues(QVector<QVariant> values);

    // A column read as text: every cell's characters in one arena, a null where a cell had no
    // value. Its form is the one fromValues would give the same values (as QString or null).
    struct TextCells {
        std::vector<char16_t> chars;
        std::vector<quint32> start;
        std::vector<quint32> length;
        std::vector<bool> null;
    };
    static std::unique_ptr<StoredColumn> fromTexts(TextCells cells);
    // A column read as numbers (double) or whole numbers (qint32), a null where a cell had none.
    static std::unique_ptr<StoredColumn> fromNumbers(std::vector<double> values, std::vector<bool> null);
    static std::unique_ptr<StoredColumn> fromWholeNumbers(std::vector<qint32> values, std::vector<bool> null);

    virtual int rowCount() const = 0;
    virtual QVariant value(int row) const = 0;
    // A non-empty text cell's characters where the column keeps them, valid until the column
    // changes or goes; false for any other cell.
    virtual bool viewText(int row, QStringView *text) const
    {
        Q_UNUSED(row);
        Q_UNUSED(text);
        return false;
    }
    // False when this form cannot hold the value (or no longer holds the column well): the
    // caller then makes the column anew from its values (fromValues).
    virtual bool setValue(int row, const QVariant &value) = 0;
    virtual std::unique_ptr<StoredColumn> clone() const = 0;
    // The heap this column holds, in bytes (about).
    virtual qsizetype bytes() const = 0;

    // Every value, in row order.
    QVector<QVariant> values() const;
    // The same values in a new order: order[newRow] = oldRow.
    std::unique_ptr<StoredColumn> permuted(const QVector<int> &order) const;
};

} // namespace runtime
