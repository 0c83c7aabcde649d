#pragma once

#include "core/runtime/ColumnStore.h"
#include "core/runtime/DataViewDefinition.h"
#include "core/runtime/RowsetSink.h"
#include "core/runtime/StoredColumn.h"

#include <QList>
#include <QStringDecoder>

#include <vector>

namespace runtime {

// Makes a ColumnStore from a query's cells as they are read, each column straight into the
// form it is kept in, without a value object per cell. The store equals the one made from
// the same rows as values (ColumnStore(rows, columnCount)): a query's columns beyond
// columnCount are left out, columns the query lacks are null.
class ColumnStoreBuilder final : public RowsetSink
{
public:
    // types: the type of each of the store's columns, as the query reads them.
    ColumnStoreBuilder(const QList<ColumnType> &types, int columnCount);

    void begin(int columnCount) override;
    void null(int column) override;
    void text(int column, const char *utf8, qsizetype size) override;
    void number(int column, double value) override;
    void wholeNumber(int column, qint32 value) override;
    void endRow() override;
    qsizetype rowCount() const override { return m_rows; }

    // The store; the builder is empty afterwards.
    ColumnStore take();

private:
    struct Cells {
        ColumnType type = ColumnType::String;
        StoredColumn::TextCells texts;
        std::vector<double> numbers;
        std::vector<qint32> wholeNumbers;
        std::vector<bool> null; // of numbers and whole numbers; texts keep their own
    };

    std::vector<Cells> m_columns;
    int m_queryColumns = 0;
    qsizetype m_rows = 0;
    std::vector<char16_t> m_decoded; // room for the text being decoded
    QStringDecoder m_decoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
};

} // namespace runtime
