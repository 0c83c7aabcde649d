#pragma once

#include "core/library/Item.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace runtime {
class Transaction;
}

namespace library {

// Items read from a CSV file a company keeps in Excel (columns 料号, 品名, 规格型号, 商品编码,
// 申报要素, 归类依据), checked row by row before anything is written: a preview names each row
// it refuses and why; applying writes the rest in one transaction.
class ItemImport
{
public:
    struct Row {
        int line = 0;       // the file's line of the record
        Item item;
        bool update = false; // the part number is in the library already: its item is replaced
        QString problem;     // why the row is refused; empty when it is taken
    };

    // The columns a file is read by; a header may also use the English names (part_no, name,
    // model, code, elements, reason).
    static QStringList columns();

    // Reads and checks a file: an Excel workbook (.xlsx, its first worksheet), or CSV in UTF-8
    // (with or without a byte-order mark) or GBK, as Chinese Excel saves it. False with *error
    // (in words, with the line) when it cannot be read at all.
    bool read(const QString &path, runtime::Transaction *sqlca, QString *error);
    // The same for a text already in memory.
    bool parse(const QString &text, runtime::Transaction *sqlca, QString *error);

    const QList<Row> &rows() const { return m_rows; }
    int accepted() const;
    int refused() const { return int(m_rows.size()) - accepted(); }

    // Writes every accepted row in one transaction; false with *error (nothing written).
    bool apply(runtime::Transaction *sqlca, const QString &userName, QString *error) const;

private:
    struct Record {
        int line = 0;
        QStringList fields;
    };
    // Checks the records under a header row (the columns by their names).
    bool check(const QStringList &header, const QList<Record> &records, runtime::Transaction *sqlca, QString *error);
    bool readWorkbook(const QString &path, runtime::Transaction *sqlca, QString *error);

    QList<Row> m_rows;
};

} // namespace library
