// Fuzzes the find expressions of the data views: parsing any text, then testing it against the
// rows of the customs detail view, forwards and backwards.
//
// Input: the expression as UTF-8; an optional NUL byte ends it, and what follows fills one more
// row: code, name and the export rebate rate (tsl), separated by tabs.

#include "FuzzCheck.h"

#include "core/data/dataviews.h"
#include "core/runtime/DataView.h"
#include "core/runtime/FindExpression.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

#include <cstddef>
#include <cstdint>

namespace {

using Row = QVector<QVariant>;

// A row of the view with the given items; every other item is null.
Row makeRow(const runtime::DataViewDefinition &view, const QList<QPair<const char *, QVariant>> &items)
{
    Row row(view.columns.size());
    for (const auto &[name, value] : items)
        row[view.columnIndex(QString::fromLatin1(name))] = value;
    return row;
}

QVector<Row> sampleRows(const runtime::DataViewDefinition &view)
{
    return {
        makeRow(view, {{"code", QStringLiteral("01")}, {"name", QStringLiteral("活动物")},
                       {"flag", QStringLiteral("Y")}, {"handle", qint32(1)}}),
        makeRow(view, {{"code", QStringLiteral("0101210010")}, {"name", QStringLiteral("改良种用濒危野马")},
                       {"unit", QStringLiteral("千克/头")}, {"zssl_set", QStringLiteral("9%")},
                       {"tsl", 9.0}, {"jksl", 0.0}, {"handle", qint32(2)}}),
        makeRow(view, {{"code", QStringLiteral("8471300000")}, {"name", QStringLiteral("平板电脑")},
                       {"unit", QStringLiteral("台")}, {"zssl_set", QStringLiteral("13%")},
                       {"tsl", 13.0}, {"note", QString()}, {"handle", qint32(-7)}}),
        // Texts that read as numbers, blanks, and a character outside the Basic Multilingual Plane.
        makeRow(view, {{"code", QStringLiteral(" 42 ")}, {"name", QStringLiteral("𠀀_%~'\"")},
                       {"unit", QString(QStringLiteral(""))}, {"tsl", -0.5}, {"handle", qint32(0)}}),
    };
}

// The first row from start towards end that the expression matches, as find() defines it.
long firstMatch(const runtime::FindExpression &expression, const QVector<Row> &rows, bool forwards)
{
    const long n = long(rows.size());
    for (long i = 0; i < n; ++i) {
        const long r = forwards ? i + 1 : n - i;
        if (expression.matches(rows.at(r - 1)))
            return r;
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const runtime::DataViewDefinition view = d_detail_hgats();

    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype nul = input.indexOf('\0');
    const QString text = QString::fromUtf8(nul < 0 ? input : input.left(nul));

    QVector<Row> rows = sampleRows(view);
    if (nul >= 0) {
        const QList<QByteArray> fields = input.mid(nul + 1).split('\t');
        bool isNumber = false;
        const double rate = fields.value(2).toDouble(&isNumber);
        rows.append(makeRow(view, {{"code", QString::fromUtf8(fields.value(0))},
                                   {"name", QString::fromUtf8(fields.value(1))},
                                   {"tsl", isNumber ? QVariant(rate) : QVariant()}}));
    }

    const runtime::FindExpression expression(text, view.columns);
    FUZZ_CHECK(expression.isValid() == expression.errorText().isEmpty());

    // One view for every input, as the find dialog keeps using the main window's view: only its
    // rows change, and its parsed expression is kept from one find to the next.
    static runtime::DataView dataView;
    if (dataView.columnCount() == 0)
        dataView.setDefinition(view);
    dataView.loadRows(rows);
    const long n = dataView.rowCount();
    FUZZ_CHECK(n == rows.size());

    const long forwards = dataView.find(text, 1, n);
    const long backwards = dataView.find(text, n, 1);
    if (!expression.isValid()) {
        FUZZ_CHECK(forwards < 0 && backwards < 0);
        return 0;
    }
    // The view's search (which may take a faster path) finds what a row-by-row test finds.
    FUZZ_CHECK(forwards == firstMatch(expression, rows, true));
    FUZZ_CHECK(backwards == firstMatch(expression, rows, false));
    // Start and end are clipped to the rows, and a range holding no match gives 0.
    FUZZ_CHECK(dataView.find(text, -5, n + 5) == forwards);
    FUZZ_CHECK(dataView.find(text, n + 5, -5) == backwards);
    if (forwards > 1)
        FUZZ_CHECK(dataView.find(text, 1, forwards - 1) == 0);
    if (backwards > 0 && backwards < n)
        FUZZ_CHECK(dataView.find(text, n, backwards + 1) == 0);

    // not (...) holds exactly where the expression does not, nulls included.
    const runtime::FindExpression negated(QStringLiteral("not (") + text + QStringLiteral(")"),
                                          view.columns);
    if (negated.isValid()) {
        for (const Row &row : rows)
            FUZZ_CHECK(negated.matches(row) != expression.matches(row));
    }
    return 0;
}
