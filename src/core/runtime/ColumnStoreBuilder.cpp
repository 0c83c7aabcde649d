#include "core/runtime/ColumnStoreBuilder.h"

#include <QtConcurrent>

#include <algorithm>
#include <numeric>

namespace runtime {

ColumnStoreBuilder::ColumnStoreBuilder(const QList<ColumnType> &types, int columnCount)
    : m_columns(size_t(std::max(0, columnCount)))
{
    for (int c = 0; c < int(m_columns.size()); ++c)
        m_columns[size_t(c)].type = c < types.size() ? types.at(c) : ColumnType::String;
}

void ColumnStoreBuilder::begin(int columnCount)
{
    m_queryColumns = columnCount;
}

// The query reads each column as the type given for it, so a cell of another type never comes;
// were one to come, it would be kept as a null rather than as a wrong value.
void ColumnStoreBuilder::null(int column)
{
    if (column >= int(m_columns.size()))
        return;
    Cells &cells = m_columns[size_t(column)];
    switch (cells.type) {
    case ColumnType::String:
        cells.texts.start.push_back(quint32(cells.texts.chars.size()));
        cells.texts.length.push_back(0);
        cells.texts.null.push_back(true);
        return;
    case ColumnType::Number:
        cells.numbers.push_back(0);
        break;
    case ColumnType::Long:
        cells.wholeNumbers.push_back(0);
        break;
    }
    cells.null.push_back(true);
}

void ColumnStoreBuilder::text(int column, const char *utf8, qsizetype size)
{
    if (column >= int(m_columns.size()))
        return;
    Cells &cells = m_columns[size_t(column)];
    if (cells.type != ColumnType::String) {
        null(column);
        return;
    }
    std::vector<char16_t> &chars = cells.texts.chars;
    const size_t start = chars.size();
    const auto *bytes = reinterpret_cast<const uchar *>(utf8);
    const uchar *firstWide = std::find_if(bytes, bytes + size, [](uchar b) { return b >= 0x80; });
    if (firstWide == bytes + size) {
        // Codes, numbers and units are plain ASCII: widened as they are, with no decoder.
        chars.insert(chars.end(), bytes, bytes + size);
    } else {
        // UTF-8 never takes more UTF-16 units than it has bytes. Decoded aside and copied, so
        // that the arena grows by what the text takes, not by the room it might have taken.
        if (m_decoded.size() < size_t(size))
            m_decoded.resize(size_t(size));
        QChar *begin = reinterpret_cast<QChar *>(m_decoded.data());
        const QChar *end = m_decoder.appendToBuffer(begin, QByteArrayView(utf8, size));
        chars.insert(chars.end(), m_decoded.data(), m_decoded.data() + (end - begin));
    }
    const size_t length = chars.size() - start;
    cells.texts.start.push_back(quint32(start));
    cells.texts.length.push_back(quint32(length));
    cells.texts.null.push_back(false);
}

void ColumnStoreBuilder::number(int column, double value)
{
    if (column >= int(m_columns.size()))
        return;
    Cells &cells = m_columns[size_t(column)];
    if (cells.type != ColumnType::Number)
        return null(column);
    cells.numbers.push_back(value);
    cells.null.push_back(false);
}

void ColumnStoreBuilder::wholeNumber(int column, qint32 value)
{
    if (column >= int(m_columns.size()))
        return;
    Cells &cells = m_columns[size_t(column)];
    if (cells.type != ColumnType::Long)
        return null(column);
    cells.wholeNumbers.push_back(value);
    cells.null.push_back(false);
}

void ColumnStoreBuilder::endRow()
{
    ++m_rows;
    // The store's columns the query lacks.
    for (int c = m_queryColumns; c < int(m_columns.size()); ++c)
        null(c);
}

ColumnStore ColumnStoreBuilder::take()
{
    QVector<std::shared_ptr<StoredColumn>> columns(qsizetype(m_columns.size()));
    QVector<int> indexes(columns.size());
    std::iota(indexes.begin(), indexes.end(), 0);
    // Each column takes its form on its own, side by side.
    QtConcurrent::blockingMap(indexes, [&](int c) {
        Cells &cells = m_columns[size_t(c)];
        switch (cells.type) {
        case ColumnType::String:
            columns[c] = StoredColumn::fromTexts(std::move(cells.texts));
            break;
        case ColumnType::Number:
            columns[c] = StoredColumn::fromNumbers(std::move(cells.numbers), std::move(cells.null));
            break;
        case ColumnType::Long:
            columns[c] = StoredColumn::fromWholeNumbers(std::move(cells.wholeNumbers), std::move(cells.null));
            break;
        }
    });
    const qsizetype rows = m_rows;
    for (Cells &cells : m_columns)
        cells = Cells{cells.type, {}, {}, {}, {}};
    m_rows = 0;
    return ColumnStore(std::move(columns), int(rows));
}

} // namespace runtime
