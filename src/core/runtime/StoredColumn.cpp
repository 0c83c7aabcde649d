#include "core/runtime/StoredColumn.h"

#include "core/runtime/StoredColumnForms.h"

namespace runtime {

namespace {

using namespace columnforms;

// A dictionary when the column has few distinct values (at most half as many as rows).
std::unique_ptr<StoredColumn> asDictionary(const QVector<QVariant> &values)
{
    return dictionaryOf<CellView>(
        values.size(),
        [&](qsizetype row) -> std::optional<CellView> {
            const QVariant &value = values.at(row);
            return keyable(value) ? std::optional<CellView>(viewOf(value)) : std::nullopt;
        },
        [&](qsizetype row) { return values.at(row); });
}

template <typename Column>
std::unique_ptr<StoredColumn> filled(const QVector<QVariant> &values)
{
    auto column = std::make_unique<Column>(int(values.size()));
    for (qsizetype row = 0; row < values.size(); ++row)
        if (!column->setValue(int(row), values.at(row)))
            return nullptr;
    return column;
}

} // namespace

std::unique_ptr<StoredColumn> StoredColumn::fromValues(QVector<QVariant> values)
{
    if (auto dictionary = asDictionary(values))
        return dictionary;
    qsizetype texts = 0, wholeNumbers = 0, numbers = 0;
    for (const QVariant &value : values) {
        texts += TextColumn::holds(value);
        wholeNumbers += WholeNumberColumn::holds(value);
        numbers += NumberColumn::holds(value);
    }
    const qsizetype most = values.size() / 2 + 1; // the rest are kept aside, each as a variant
    std::unique_ptr<StoredColumn> column;
    if (texts >= most) {
        column = TextColumn::of(values);
    } else if (wholeNumbers >= most) {
        column = filled<WholeNumberColumn>(values);
    } else if (numbers >= most) {
        column = filled<NumberColumn>(values);
    }
    return column ? std::move(column) : std::make_unique<VariantColumn>(std::move(values));
}

QVector<QVariant> StoredColumn::values() const
{
    QVector<QVariant> all;
    all.reserve(rowCount());
    for (int row = 0; row < rowCount(); ++row)
        all.append(value(row));
    return all;
}

std::unique_ptr<StoredColumn> StoredColumn::permuted(const QVector<int> &order) const
{
    QVector<QVariant> reordered;
    reordered.reserve(order.size());
    for (int old : order)
        reordered.append(value(old));
    return fromValues(std::move(reordered));
}

} // namespace runtime
