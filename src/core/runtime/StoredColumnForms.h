#pragma once

// The forms a StoredColumn takes, for the files that make columns (StoredColumn.cpp from
// values, StoredColumnCells.cpp from the cells a query reads). Not for other callers.

#include "core/runtime/StoredColumn.h"

#include <QBitArray>
#include <QHash>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace runtime::columnforms {

// A dictionary holds at most half as many values as rows, and no more than its codes can name.
inline qsizetype dictionaryLimit(qsizetype rows)
{
    return std::min<qsizetype>(std::numeric_limits<quint16>::max(), rows / 2);
}

// A column of mostly different values shows it in its first rows already.
inline bool mostlyDifferent(qsizetype row, qsizetype distinct)
{
    constexpr qsizetype kSample = 512;
    return row == kSample && distinct > kSample * 3 / 4;
}

// What a cell with this value takes in a column's plain form: a text in an arena with its start
// and length, a number in an array; anything else (a null among them) as a variant, which it
// may be kept as when the column is mostly nulls.
inline qsizetype plainBytesOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.isNull() ? qsizetype(sizeof(QVariant)) : 6 + 2 * static_cast<const QString *>(value.constData())->size();
    case QMetaType::Double:
        return qsizetype(sizeof(double));
    case QMetaType::Int:
        return qsizetype(sizeof(qint32));
    default:
        return qsizetype(sizeof(QVariant));
    }
}

// A dictionary's size: a code per row (a byte while it has at most 256 values) and each value
// as a variant, a text's characters on the heap beside it (DictionaryColumn::bytes counts its
// codes as they are held and rows 0).
inline qsizetype dictionaryBytes(qsizetype rows, const QVector<QVariant> &dictionary)
{
    qsizetype total = rows * (dictionary.size() <= 256 ? 1 : 2);
    for (const QVariant &value : dictionary)
        total += qsizetype(sizeof(QVariant))
                 + (value.typeId() == QMetaType::QString && !value.isNull()
                        ? static_cast<const QString *>(value.constData())->size() * 2 + 32
                        : 0);
    return total;
}

// What identifies a cell's value for a dictionary: its type, whether it is null, and the
// value itself. Only the types a retrieval gives (texts, whole numbers, numbers, nothing) are
// keyed; a column with other values is never a dictionary.
struct CellKey {
    int type = QMetaType::UnknownType;
    bool null = false;
    quint64 bits = 0; // a number's bit pattern
    QString text;

    bool operator==(const CellKey &other) const
    {
        return type == other.type && null == other.null && bits == other.bits && text == other.text
               && text.isNull() == other.text.isNull();
    }
};

inline size_t qHash(const CellKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.type, key.null, key.bits, key.text);
}

inline bool keyable(const QVariant &value)
{
    const int type = value.typeId();
    return type == QMetaType::UnknownType || type == QMetaType::QString || type == QMetaType::Int
           || type == QMetaType::Double;
}

inline CellKey keyOf(const QVariant &value)
{
    CellKey key;
    key.type = value.typeId();
    key.null = value.isNull();
    if (key.type == QMetaType::QString) {
        key.text = value.toString(); // shared, not copied
    } else if (key.type == QMetaType::Int) {
        key.bits = quint64(qint64(value.toInt()));
    } else if (key.type == QMetaType::Double) {
        const double d = value.toDouble();
        std::memcpy(&key.bits, &d, sizeof d);
    }
    return key;
}

// A cell's key while a column is first read: a view of its text, which the column's values keep.
struct CellView {
    int type = QMetaType::UnknownType;
    bool null = false;
    quint64 bits = 0;
    QStringView text;
    bool textNull = true;

    bool operator==(const CellView &other) const
    {
        return type == other.type && null == other.null && bits == other.bits && textNull == other.textNull
               && text == other.text;
    }
};

inline size_t qHash(const CellView &key, size_t seed = 0)
{
    return qHashMulti(seed, key.type, key.null, key.bits, key.text);
}

inline CellView viewOf(const QVariant &value)
{
    CellView key;
    key.type = value.typeId();
    key.null = value.isNull();
    if (key.type == QMetaType::QString) {
        const QString &text = *static_cast<const QString *>(value.constData());
        key.text = text;
        key.textNull = text.isNull();
    } else if (key.type == QMetaType::Int) {
        key.bits = quint64(qint64(*static_cast<const int *>(value.constData())));
    } else if (key.type == QMetaType::Double) {
        std::memcpy(&key.bits, value.constData(), sizeof(double));
    }
    return key;
}

// The text a value holds in place, when it is a non-empty text.
inline bool viewOfText(const QVariant &value, QStringView *text)
{
    if (value.typeId() != QMetaType::QString || value.isNull())
        return false;
    const QString &held = *static_cast<const QString *>(value.constData());
    if (held.isEmpty())
        return false;
    *text = QStringView(held.constData(), held.size());
    return true;
}

// The cells a typed column cannot hold in its array (nulls, values of another type).
class OtherCells
{
public:
    explicit OtherCells(int rows = 0) : m_flags(rows) {}
    bool has(int row) const { return m_count > 0 && m_flags.testBit(row); }
    // A null (an invalid QVariant) is the flag alone: no value is kept for it.
    QVariant at(int row) const { return m_values.value(row); }
    void set(int row, const QVariant &value)
    {
        if (!m_flags.testBit(row)) {
            m_flags.setBit(row);
            ++m_count;
        }
        if (value.isValid())
            m_values.insert(row, value);
        else
            m_values.remove(row);
    }
    void clear(int row)
    {
        if (has(row)) {
            m_flags.clearBit(row);
            --m_count;
            m_values.remove(row);
        }
    }
    qsizetype bytes() const { return m_flags.size() / 8 + m_values.size() * qsizetype(sizeof(QVariant) + 32); }

private:
    QBitArray m_flags;
    QHash<int, QVariant> m_values;
    int m_count = 0; // cells flagged
};

class VariantColumn final : public StoredColumn
{
public:
    explicit VariantColumn(QVector<QVariant> values) : m_values(std::move(values)) {}
    int rowCount() const override { return int(m_values.size()); }
    QVariant value(int row) const override { return m_values.at(row); }
    bool viewText(int row, QStringView *text) const override { return viewOfText(m_values.at(row), text); }
    bool setValue(int row, const QVariant &value) override
    {
        m_values[row] = value;
        return true;
    }
    std::unique_ptr<StoredColumn> clone() const override { return std::make_unique<VariantColumn>(m_values); }
    qsizetype bytes() const override
    {
        qsizetype total = m_values.size() * qsizetype(sizeof(QVariant));
        for (const QVariant &v : m_values)
            if (v.typeId() == QMetaType::QString)
                total += v.toString().size() * 2 + 32; // an unshared text's own block
        return total;
    }

private:
    QVector<QVariant> m_values;
};

// A dictionary column's codes: one byte each while the dictionary has at most 256 values
// (units, rates, flags), two bytes once it has more.
class DictionaryCodes
{
public:
    DictionaryCodes(const std::vector<quint16> &codes, qsizetype dictionarySize) : m_wide(dictionarySize > 256)
    {
        if (m_wide)
            m_codes16 = codes;
        else
            m_codes8.assign(codes.cbegin(), codes.cend()); // every code is below 256
    }
    size_t size() const { return m_wide ? m_codes16.size() : m_codes8.size(); }
    quint16 at(size_t row) const { return m_wide ? m_codes16[row] : m_codes8[row]; }
    void set(size_t row, quint16 code)
    {
        if (!m_wide && code > 255) {
            m_codes16.assign(m_codes8.cbegin(), m_codes8.cend());
            m_codes8 = {};
            m_wide = true;
        }
        if (m_wide)
            m_codes16[row] = code;
        else
            m_codes8[row] = quint8(code);
    }
    qsizetype bytes() const { return qsizetype(m_codes8.capacity() + m_codes16.capacity() * sizeof(quint16)); }

private:
    bool m_wide;
    std::vector<quint8> m_codes8;
    std::vector<quint16> m_codes16;
};

class DictionaryColumn final : public StoredColumn
{
public:
    DictionaryColumn(QVector<QVariant> dictionary, const std::vector<quint16> &codes)
        : m_dictionary(std::move(dictionary)), m_codes(codes, m_dictionary.size())
    {
    }
    DictionaryColumn(const DictionaryColumn &other) : m_dictionary(other.m_dictionary), m_codes(other.m_codes) {}
    int rowCount() const override { return int(m_codes.size()); }
    QVariant value(int row) const override { return m_dictionary.at(m_codes.at(size_t(row))); }
    bool viewText(int row, QStringView *text) const override
    {
        return viewOfText(m_dictionary.at(m_codes.at(size_t(row))), text);
    }
    bool setValue(int row, const QVariant &value) override
    {
        if (!keyable(value))
            return false;
        if (m_lookup.isEmpty())
            for (int i = 0; i < m_dictionary.size(); ++i)
                m_lookup.insert(keyOf(m_dictionary.at(i)), quint16(i));
        const CellKey key = keyOf(value);
        auto it = m_lookup.constFind(key);
        if (it == m_lookup.cend()) {
            // Past half as many values as rows another form holds the column in less.
            if (m_dictionary.size() >= std::min<qsizetype>(std::numeric_limits<quint16>::max(), rowCount() / 2))
                return false;
            it = m_lookup.insert(key, quint16(m_dictionary.size()));
            m_dictionary.append(value);
        }
        m_codes.set(size_t(row), it.value());
        return true;
    }
    std::unique_ptr<StoredColumn> clone() const override { return std::make_unique<DictionaryColumn>(*this); }
    qsizetype bytes() const override
    {
        return m_codes.bytes() + dictionaryBytes(0, m_dictionary);
    }

private:
    QVector<QVariant> m_dictionary;
    DictionaryCodes m_codes;
    QHash<CellKey, quint16> m_lookup; // made at the first change
};

// The column of `rows` cells as a dictionary, or null when it has too many distinct values for
// one or a cell no dictionary can hold (keyOf(row) gives no key). Key is hashable;
// valueOf(row) is the value a new key stands for.
template <typename Key, typename KeyOf, typename ValueOf>
std::unique_ptr<StoredColumn> dictionaryOf(qsizetype rows, KeyOf keyOf, ValueOf valueOf)
{
    const qsizetype limit = dictionaryLimit(rows);
    QHash<Key, quint16> codeOf;
    QVector<QVariant> dictionary;
    std::vector<quint16> codes(size_t(rows), 0);
    std::vector<qsizetype> plainBytes; // per value: what a row holding it takes in a plain form
    qsizetype plainTotal = 0;
    // Rows come ordered by code, and a unit or a flag runs on over many of them: a cell like the
    // one above takes its code without a lookup.
    std::optional<Key> above;
    quint16 aboveCode = 0;
    for (qsizetype row = 0; row < rows; ++row) {
        std::optional<Key> key = keyOf(row);
        if (!key)
            return nullptr;
        if (mostlyDifferent(row, dictionary.size()))
            return nullptr;
        if (!above || !(*above == *key)) {
            auto it = codeOf.constFind(*key);
            if (it == codeOf.cend()) {
                if (dictionary.size() >= limit)
                    return nullptr;
                it = codeOf.insert(*key, quint16(dictionary.size()));
                dictionary.append(valueOf(row));
                plainBytes.push_back(plainBytesOf(dictionary.constLast()));
            }
            aboveCode = it.value();
            above = std::move(key);
        }
        codes[size_t(row)] = aboveCode;
        plainTotal += plainBytes[aboveCode];
    }
    // Many long values seen a few times each take less in the column's plain form.
    if (dictionaryBytes(rows, dictionary) > plainTotal)
        return nullptr;
    dictionary.squeeze();
    return std::make_unique<DictionaryColumn>(std::move(dictionary), std::move(codes));
}

// Texts, one character arena for the whole column.
class TextColumn final : public StoredColumn
{
public:
    explicit TextColumn(int rows) : m_start(size_t(rows), 0), m_length(size_t(rows), 0), m_others(rows) {}
    TextColumn(std::vector<char16_t> chars, std::vector<quint32> start, std::vector<quint16> length, OtherCells others)
        : m_chars(std::move(chars)), m_start(std::move(start)), m_length(std::move(length)), m_others(std::move(others))
    {
    }

    // The text a cell holds when this column keeps it in its arena (read in place, not copied).
    static const QString *textOf(const QVariant &value)
    {
        if (value.typeId() != QMetaType::QString || value.isNull())
            return nullptr;
        const QString *text = static_cast<const QString *>(value.constData());
        return !text->isNull() && text->size() < std::numeric_limits<quint16>::max() ? text : nullptr;
    }
    static bool holds(const QVariant &value) { return textOf(value) != nullptr; }

    // Filled with every value at once, the arena sized beforehand.
    static std::unique_ptr<StoredColumn> of(const QVector<QVariant> &values)
    {
        size_t characters = 0;
        for (const QVariant &value : values)
            if (const QString *text = textOf(value))
                characters += size_t(text->size());
        if (characters > std::numeric_limits<quint32>::max())
            return nullptr;
        auto column = std::make_unique<TextColumn>(int(values.size()));
        column->m_chars.reserve(characters);
        for (qsizetype row = 0; row < values.size(); ++row) {
            if (const QString *text = textOf(values.at(row)))
                column->append(int(row), *text);
            else
                column->m_others.set(int(row), values.at(row));
        }
        return column;
    }

    int rowCount() const override { return int(m_start.size()); }
    bool viewText(int row, QStringView *text) const override
    {
        if (m_others.has(row) || m_length[size_t(row)] == 0)
            return false;
        *text = QStringView(m_chars.data() + m_start[size_t(row)], qsizetype(m_length[size_t(row)]));
        return true;
    }
    QVariant value(int row) const override
    {
        if (m_others.has(row))
            return m_others.at(row);
        const quint16 length = m_length[size_t(row)];
        if (length == 0)
            return QVariant(QString(QLatin1String(""))); // empty, not null
        return QVariant(QString(reinterpret_cast<const QChar *>(m_chars.data() + m_start[size_t(row)]), length));
    }
    bool setValue(int row, const QVariant &value) override
    {
        const QString *text = textOf(value);
        if (!text) {
            m_others.set(row, value);
            return true;
        }
        if (m_chars.size() + size_t(text->size()) > std::numeric_limits<quint32>::max())
            return false;
        m_others.clear(row);
        append(row, *text);
        return true;
    }
    std::unique_ptr<StoredColumn> clone() const override { return std::make_unique<TextColumn>(*this); }
    qsizetype bytes() const override
    {
        return qsizetype(m_chars.capacity() * 2 + m_start.capacity() * 4 + m_length.capacity() * 2) + m_others.bytes();
    }

private:
    void append(int row, const QString &text)
    {
        m_start[size_t(row)] = quint32(m_chars.size());
        m_length[size_t(row)] = quint16(text.size());
        m_chars.insert(m_chars.end(), reinterpret_cast<const char16_t *>(text.constData()),
                       reinterpret_cast<const char16_t *>(text.constData()) + text.size());
    }

    std::vector<char16_t> m_chars;
    std::vector<quint32> m_start;
    std::vector<quint16> m_length;
    OtherCells m_others;
};

// Whole numbers or numbers, one array.
template <typename T, int TypeId>
class ScalarColumn final : public StoredColumn
{
public:
    explicit ScalarColumn(int rows) : m_values(size_t(rows), T()), m_others(rows) {}
    ScalarColumn(std::vector<T> values, OtherCells others) : m_values(std::move(values)), m_others(std::move(others)) {}

    static bool holds(const QVariant &value) { return value.typeId() == TypeId && !value.isNull(); }

    int rowCount() const override { return int(m_values.size()); }
    QVariant value(int row) const override
    {
        return m_others.has(row) ? m_others.at(row) : QVariant::fromValue<T>(m_values[size_t(row)]);
    }
    bool setValue(int row, const QVariant &value) override
    {
        if (holds(value)) {
            m_others.clear(row);
            m_values[size_t(row)] = value.value<T>();
        } else {
            m_others.set(row, value);
        }
        return true;
    }
    std::unique_ptr<StoredColumn> clone() const override { return std::make_unique<ScalarColumn>(*this); }
    qsizetype bytes() const override { return qsizetype(m_values.capacity() * sizeof(T)) + m_others.bytes(); }

private:
    std::vector<T> m_values;
    OtherCells m_others;
};

using WholeNumberColumn = ScalarColumn<qint32, QMetaType::Int>;
using NumberColumn = ScalarColumn<double, QMetaType::Double>;

} // namespace runtime::columnforms
