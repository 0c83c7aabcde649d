#include "core/runtime/StoredColumn.h"

#include "core/runtime/StoredColumnForms.h"

namespace runtime {

namespace {

using namespace columnforms;

// A dictionary when the column has few distinct values (at most half as many as rows).
std::unique_ptr<StoredColumn> asDictionary(const QVector<QVariant> &values)
{
    const qsizetype limit = dictionaryLimit(values.size());
    QHash<CellView, quint16> codeOf;
    QVector<QVariant> dictionary;
    std::vector<quint16> codes(size_t(values.size()));
    for (qsizetype row = 0; row < values.size(); ++row) {
        const QVariant &value = values.at(row);
        if (!keyable(value))
            return nullptr;
        const CellView key = viewOf(value);
        auto it = codeOf.constFind(key);
        if (mostlyDifferent(row, dictionary.size()))
            return nullptr;
        if (it == codeOf.cend()) {
            if (dictionary.size() >= limit)
                return nullptr;
            it = codeOf.insert(key, quint16(dictionary.size()));
            dictionary.append(value);
        }
        codes[size_t(row)] = it.value();
    }
    dictionary.squeeze();
    return std::make_unique<DictionaryColumn>(std::move(dictionary), std::move(codes));
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
