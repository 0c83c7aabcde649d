// Columns made straight from the cells a query reads, without a QVariant per cell: the same
// forms, by the same rules, as StoredColumn::fromValues gives those cells as values.
#include "core/runtime/StoredColumn.h"

#include "core/runtime/StoredColumnForms.h"
#include "core/runtime/TextHash.h"

#include <type_traits>

namespace runtime {

namespace {

using namespace columnforms;

constexpr quint32 kLongestHeldText = std::numeric_limits<quint16>::max(); // TextColumn::holds

// A cell as a dictionary tells cells apart: null, or its value.
template <typename T>
struct CellOf {
    bool null = true;
    T value{};
    bool operator==(const CellOf &other) const { return null == other.null && (null || value == other.value); }
    friend size_t qHash(const CellOf &cell, size_t seed = 0)
    {
        if (cell.null)
            return ::qHash(-1, seed);
        if constexpr (std::is_same_v<T, QStringView>)
            return textHash(cell.value, seed);
        else
            return ::qHash(cell.value, seed);
    }
};

// A number's bit pattern tells numbers apart as a dictionary of values does (0 from -0).
quint64 bitsOf(double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof value);
    return bits;
}

quint64 bitsOf(qint32 value)
{
    return quint64(qint64(value));
}

template <typename T> struct ScalarForm;
template <> struct ScalarForm<double> { using Column = NumberColumn; };
template <> struct ScalarForm<qint32> { using Column = WholeNumberColumn; };

// Numbers or whole numbers: a dictionary, an array with the nulls aside, or variants.
template <typename T>
std::unique_ptr<StoredColumn> fromScalars(std::vector<T> values, const std::vector<bool> &null)
{
    const qsizetype rows = qsizetype(values.size());
    auto valueAt = [&](qsizetype row) { return null[size_t(row)] ? QVariant() : QVariant::fromValue<T>(values[size_t(row)]); };
    auto keyOf = [&](qsizetype row) {
        return null[size_t(row)] ? CellOf<quint64>{} : CellOf<quint64>{false, bitsOf(values[size_t(row)])};
    };
    if (auto dictionary = dictionaryOf<CellOf<quint64>>(rows, keyOf, valueAt))
        return dictionary;
    OtherCells others{int(rows)};
    qsizetype held = 0;
    for (qsizetype row = 0; row < rows; ++row) {
        if (null[size_t(row)])
            others.set(int(row), QVariant());
        else
            ++held;
    }
    if (held >= rows / 2 + 1) {
        values.shrink_to_fit();
        return std::make_unique<typename ScalarForm<T>::Column>(std::move(values), std::move(others));
    }
    QVector<QVariant> all(rows, QVariant());
    for (qsizetype row = 0; row < rows; ++row)
        all[row] = valueAt(row);
    return StoredColumn::fromValues(std::move(all));
}

} // namespace

std::unique_ptr<StoredColumn> StoredColumn::fromTexts(TextCells cells)
{
    const qsizetype rows = qsizetype(cells.start.size());
    auto viewAt = [&](qsizetype row) {
        return QStringView(cells.chars.data() + cells.start[size_t(row)], qsizetype(cells.length[size_t(row)]));
    };
    // An empty text is a text, not a null.
    auto valueAt = [&](qsizetype row) {
        if (cells.null[size_t(row)])
            return QVariant();
        return QVariant(cells.length[size_t(row)] == 0 ? QString(QLatin1String("")) : viewAt(row).toString());
    };
    if (auto dictionary = dictionaryOf<CellOf<QStringView>>(
            rows,
            [&](qsizetype row) {
                return cells.null[size_t(row)] ? CellOf<QStringView>{} : CellOf<QStringView>{false, viewAt(row)};
            },
            valueAt))
        return dictionary;

    qsizetype held = 0;
    for (qsizetype row = 0; row < rows; ++row)
        held += !cells.null[size_t(row)] && cells.length[size_t(row)] < kLongestHeldText;
    if (held < rows / 2 + 1 || cells.chars.size() > std::numeric_limits<quint32>::max()) {
        QVector<QVariant> all(rows, QVariant());
        for (qsizetype row = 0; row < rows; ++row)
            all[row] = valueAt(row);
        return StoredColumn::fromValues(std::move(all));
    }
    OtherCells others{int(rows)};
    std::vector<quint16> lengths(size_t(rows), 0);
    bool longTexts = false;
    for (qsizetype row = 0; row < rows; ++row) {
        const bool held = !cells.null[size_t(row)] && cells.length[size_t(row)] < kLongestHeldText;
        if (held)
            lengths[size_t(row)] = quint16(cells.length[size_t(row)]);
        else
            others.set(int(row), valueAt(row));
        longTexts = longTexts || (!held && cells.length[size_t(row)] > 0);
    }
    std::vector<char16_t> chars;
    if (longTexts) {
        // A text kept aside leaves the arena: only the texts the column holds stay in it.
        std::vector<quint32> starts(size_t(rows), 0);
        for (qsizetype row = 0; row < rows; ++row) {
            starts[size_t(row)] = quint32(chars.size());
            const char16_t *text = cells.chars.data() + cells.start[size_t(row)];
            chars.insert(chars.end(), text, text + lengths[size_t(row)]);
        }
        cells.start = std::move(starts);
    } else {
        chars = std::move(cells.chars);
    }
    chars.shrink_to_fit();
    cells.start.shrink_to_fit();
    return std::make_unique<TextColumn>(std::move(chars), std::move(cells.start), std::move(lengths),
                                        std::move(others));
}

std::unique_ptr<StoredColumn> StoredColumn::fromNumbers(std::vector<double> values, std::vector<bool> null)
{
    return fromScalars(std::move(values), null);
}

std::unique_ptr<StoredColumn> StoredColumn::fromWholeNumbers(std::vector<qint32> values, std::vector<bool> null)
{
    return fromScalars(std::move(values), null);
}

} // namespace runtime
