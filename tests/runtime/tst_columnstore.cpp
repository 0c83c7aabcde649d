#include "core/runtime/ColumnStore.h"

#include "support/TestMain.h"

#include <QtTest>

#include <functional>

using runtime::ColumnStore;

namespace {

using Rows = QVector<QVector<QVariant>>;
using Make = std::function<QVariant(int row)>;

// The same value: its type, whether it is null, a text's null-ness and the value.
bool same(const QVariant &a, const QVariant &b)
{
    if (a.typeId() != b.typeId() || a.isNull() != b.isNull())
        return false;
    if (a.typeId() == QMetaType::QString)
        return a.toString() == b.toString() && a.toString().isNull() == b.toString().isNull();
    return !a.isValid() || a == b;
}

QString describe(const QVariant &v)
{
    return QStringLiteral("%1 %2 '%3'").arg(QString::fromLatin1(v.typeName() ? v.typeName() : "invalid"),
                                             v.isNull() ? QStringLiteral("null") : QStringLiteral("set"), v.toString());
}

// Rows of one column made by make, beside a column of a few texts.
Rows rowsOf(int count, const Make &make)
{
    Rows rows;
    for (int r = 0; r < count; ++r)
        rows.append({make(r), QVariant(QStringLiteral("千克"))});
    return rows;
}

QVector<QVariant> columnOf(const Rows &rows, int column)
{
    QVector<QVariant> values;
    for (const auto &row : rows)
        values.append(row.value(column));
    return values;
}

} // namespace

class tst_ColumnStore : public QObject
{
    Q_OBJECT
private slots:
    void valuesComeBackExactly_data();
    void valuesComeBackExactly();
    void aChangeLeavesCopiesAsTheyWere_data();
    void aChangeLeavesCopiesAsTheyWere();
    void manyCellsAtOnceAsOneByOne_data();
    void manyCellsAtOnceAsOneByOne();
    void shortRowsArePaddedAndOrderFollowsAPermutation();
    void fewDistinctValuesTakeLittleMemory();
    void aDictionaryKeepsItsValuesAsItGrows();
    void nullsAmongTextsTakeABitEach();
    void valuesSeenAFewTimesEachTakeThePlainForm_data();
    void valuesSeenAFewTimesEachTakeThePlainForm();
};

void tst_ColumnStore::valuesComeBackExactly_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<Make>("make");
    QTest::newRow("few texts, an empty one, nulls") << 3000 << Make([](int r) {
        switch (r % 5) {
        case 0: return QVariant();
        case 1: return QVariant(QString());
        case 2: return QVariant(QLatin1String(""));
        default: return QVariant(QStringLiteral("头%1").arg(r % 7));
        }
    });
    QTest::newRow("different texts, an empty one, nulls") << 3000 << Make([](int r) {
        if (r % 97 == 0)
            return QVariant();
        if (r % 101 == 0)
            return QVariant(QString());
        if (r % 103 == 0)
            return QVariant(QLatin1String(""));
        return QVariant(QStringLiteral("01%1 改良种用马").arg(r, 8, 10, QLatin1Char('0')));
    });
    QTest::newRow("different whole numbers and nulls") << 2000 << Make([](int r) {
        return r % 50 == 0 ? QVariant() : QVariant(qint32(r * 7 - 3000));
    });
    QTest::newRow("different numbers, a text among them") << 2000 << Make([](int r) {
        return r == 1234 ? QVariant(QStringLiteral("免税")) : QVariant(r / 8.0 - 0.0);
    });
    QTest::newRow("a negative zero beside a zero") << 100 << Make([](int r) {
        return QVariant(r % 2 ? -0.0 : 0.0);
    });
    QTest::newRow("mixed types, none the most") << 900 << Make([](int r) {
        switch (r % 3) {
        case 0: return QVariant(QStringLiteral("t%1").arg(r));
        case 1: return QVariant(qint32(r));
        default: return QVariant(r * 1.5);
        }
    });
    QTest::newRow("other types") << 300 << Make([](int r) {
        return r % 2 ? QVariant(QDate(2026, 1, 1).addDays(r)) : QVariant(qlonglong(r) << 40);
    });
    QTest::newRow("a text longer than a short length") << 40 << Make([](int r) {
        return QVariant(QString(r == 7 ? 70000 : r + 1, QChar(u'税')));
    });
    QTest::newRow("one row") << 1 << Make([](int) { return QVariant(QStringLiteral("01")); });
    QTest::newRow("no rows") << 0 << Make([](int) { return QVariant(); });
}

void tst_ColumnStore::valuesComeBackExactly()
{
    QFETCH(int, count);
    QFETCH(Make, make);
    const Rows rows = rowsOf(count, make);
    const ColumnStore store(rows, 2);
    QCOMPARE(store.rowCount(), count);
    QCOMPARE(store.columnCount(), 2);
    for (int r = 0; r < count; ++r) {
        QVERIFY2(same(store.value(r, 0), rows.at(r).at(0)),
                 qPrintable(QStringLiteral("row %1: %2, not %3").arg(r).arg(describe(store.value(r, 0)),
                                                                           describe(rows.at(r).at(0)))));
        QCOMPARE(store.value(r, 1).toString(), QStringLiteral("千克"));
    }
    if (count > 0) {
        const QVector<QVariant> last = store.row(count - 1);
        QCOMPARE(last.size(), 2);
        QVERIFY(same(last.at(0), rows.last().at(0)));
    }
    const QVector<QVariant> column = store.column(0);
    QCOMPARE(column.size(), qsizetype(count));
}

void tst_ColumnStore::aChangeLeavesCopiesAsTheyWere_data()
{
    valuesComeBackExactly_data();
}

// A copy handed to another thread keeps its values while the store changes; every change
// reads back exactly, whatever its type (a handle written into every row included).
void tst_ColumnStore::aChangeLeavesCopiesAsTheyWere()
{
    QFETCH(int, count);
    QFETCH(Make, make);
    if (count == 0)
        QSKIP("no row to change");
    const Rows rows = rowsOf(count, make);
    ColumnStore store(rows, 2);
    const ColumnStore copy = store;
    const QVector<QVariant> changes{QVariant(qint32(count + 5)), QVariant(QStringLiteral("新值")), QVariant(),
                                    QVariant(QString()), QVariant(2.5), QVariant(QLatin1String(""))};
    QVector<QVariant> expected = columnOf(rows, 0);
    for (int r = 0; r < count; ++r) {
        const QVariant value = r % 3 == 0 ? changes.at(r % changes.size()) : QVariant(qint32(r));
        store.setValue(r, 0, value);
        expected[r] = value;
    }
    for (int r = 0; r < count; ++r) {
        QVERIFY2(same(store.value(r, 0), expected.at(r)),
                 qPrintable(QStringLiteral("row %1: %2, not %3").arg(r).arg(describe(store.value(r, 0)),
                                                                           describe(expected.at(r)))));
        QVERIFY2(same(copy.value(r, 0), rows.at(r).at(0)), qPrintable(QStringLiteral("copy, row %1").arg(r)));
    }
    store.setValue(count - 1, 1, QVariant(QStringLiteral("台")));
    QCOMPARE(store.value(count - 1, 1).toString(), QStringLiteral("台"));
    QCOMPARE(copy.value(count - 1, 1).toString(), QStringLiteral("千克"));
}

void tst_ColumnStore::manyCellsAtOnceAsOneByOne_data()
{
    valuesComeBackExactly_data();
}

// Writing a column's cells in one call (as a tree writes every row's handle) leaves the same
// values as writing them one by one, in every form the column starts in, both below and above
// the count where the column is made anew; a copy taken before keeps what it had.
void tst_ColumnStore::manyCellsAtOnceAsOneByOne()
{
    QFETCH(int, count);
    QFETCH(Make, make);
    const Rows rows = rowsOf(count, make);
    for (const int every : {1, 29}) { // every row, or a few of them
        ColumnStore oneByOne(rows, 2);
        ColumnStore atOnce(rows, 2);
        const ColumnStore copy = atOnce;
        QVector<int> written;
        QVector<QVariant> values;
        for (int r = 0; r < count; r += every) {
            written.append(r);
            values.append(r % 4 == 3 ? QVariant() : QVariant(qint32(r + 1)));
        }
        if (!written.isEmpty()) { // a row named twice takes its last value
            written.append(written.front());
            values.append(QVariant(QStringLiteral("再写")));
        }
        for (qsizetype i = 0; i < written.size(); ++i)
            oneByOne.setValue(written[i], 0, values[i]);
        atOnce.setValues(0, written, values);
        for (int r = 0; r < count; ++r) {
            QVERIFY2(same(atOnce.value(r, 0), oneByOne.value(r, 0)),
                     qPrintable(QStringLiteral("row %1: %2, not %3")
                                    .arg(r)
                                    .arg(describe(atOnce.value(r, 0)), describe(oneByOne.value(r, 0)))));
            QVERIFY(same(atOnce.value(r, 1), rows.at(r).at(1)));
            QVERIFY(same(copy.value(r, 0), rows.at(r).at(0)));
        }
    }
}

void tst_ColumnStore::shortRowsArePaddedAndOrderFollowsAPermutation()
{
    const Rows rows{{QStringLiteral("01"), 1.5, qint32(7)}, {QStringLiteral("0101")}, {}};
    const ColumnStore store(rows, 3);
    QCOMPARE(store.rowCount(), 3);
    QVERIFY(!store.value(1, 1).isValid());
    QVERIFY(!store.value(2, 0).isValid());
    QCOMPARE(store.value(0, 2), QVariant(qint32(7)));

    const ColumnStore reordered = store.permuted({2, 0, 1});
    QCOMPARE(reordered.value(1, 0).toString(), QStringLiteral("01"));
    QCOMPARE(reordered.value(1, 1), QVariant(1.5));
    QCOMPARE(reordered.value(2, 0).toString(), QStringLiteral("0101"));
    QVERIFY(!reordered.value(0, 0).isValid());
    QCOMPARE(store.value(0, 0).toString(), QStringLiteral("01")); // the store itself is unchanged
}

// Units, rates and flags repeat on thousands of rows: such a column holds each value once.
void tst_ColumnStore::fewDistinctValuesTakeLittleMemory()
{
    constexpr int kRows = 20000;
    Rows rows;
    for (int r = 0; r < kRows; ++r)
        rows.append({QVariant(QStringLiteral("千克%1").arg(r % 9)), QVariant(r % 4 * 2.5)});
    const ColumnStore store(rows, 2);
    // A byte a cell, and each value once (as variants the cells alone would take 32 bytes each).
    QVERIFY2(store.bytes() < kRows * 2 + 4096, qPrintable(QString::number(store.bytes())));
}

// A column of few values keeps a byte a row; given more than a byte can name, it keeps every
// value, old and new, and a copy taken before stays as it was.
void tst_ColumnStore::aDictionaryKeepsItsValuesAsItGrows()
{
    constexpr int kRows = 2000;
    Rows rows;
    for (int r = 0; r < kRows; ++r)
        rows.append({QVariant(QStringLiteral("单位%1").arg(r % 100))});
    ColumnStore store(rows, 1);
    const ColumnStore copy = store;
    const qsizetype narrow = store.bytes();
    QVector<QVariant> expected = columnOf(rows, 0);
    for (int r = 0; r < 400; ++r) {
        expected[r] = QVariant(QStringLiteral("新%1").arg(r));
        store.setValue(r, 0, expected.at(r));
    }
    for (int r = 0; r < kRows; ++r) {
        QVERIFY2(same(store.value(r, 0), expected.at(r)), qPrintable(QStringLiteral("row %1").arg(r)));
        QVERIFY2(same(copy.value(r, 0), rows.at(r).at(0)), qPrintable(QStringLiteral("copy, row %1").arg(r)));
    }
    // 500 values: two bytes a row now, still each value once.
    QVERIFY2(store.bytes() > narrow + kRows / 2, qPrintable(QString::number(store.bytes())));
    QVERIFY2(store.bytes() < kRows * 2 + 500 * 80, qPrintable(QString::number(store.bytes())));
}

// A column of different texts with many empty cells (secondary codes no row has): a null costs
// a bit, not a value object, and reads back as one.
void tst_ColumnStore::nullsAmongTextsTakeABitEach()
{
    constexpr int kRows = 20000;
    Rows rows;
    for (int r = 0; r < kRows; ++r)
        rows.append({r % 3 == 0 ? QVariant() : QVariant(QStringLiteral("%1").arg(r, 10, 10, QLatin1Char('0')))});
    const ColumnStore store(rows, 1);
    QVERIFY(!store.value(0, 0).isValid());
    QCOMPARE(store.value(1, 0).toString(), QStringLiteral("0000000001"));
    // Ten characters and six bytes of place for each text, and a bit or two for each row.
    const qsizetype texts = kRows - (kRows + 2) / 3;
    QVERIFY2(store.bytes() < texts * 20 + kRows * 6 + kRows / 4 + 4096, qPrintable(QString::number(store.bytes())));
}

void tst_ColumnStore::valuesSeenAFewTimesEachTakeThePlainForm_data()
{
    QTest::addColumn<Make>("make");
    QTest::addColumn<qsizetype>("plainBytes"); // per row
    // Secondary codes shared by two rows or three: fewer values than half the rows, yet each
    // value as a variant of its own takes more than the rows' arena does.
    QTest::newRow("texts, each on two or three rows") << Make([](int r) {
        return QVariant(QStringLiteral("8471%1").arg(r / 3 - (r % 11 == 0 ? 1 : 0), 6, 10, QLatin1Char('0')));
    }) << qsizetype(6 + 2 * 10);
    QTest::newRow("numbers, each on three rows") << Make([](int r) { return QVariant(double(r / 3) + 0.25); })
                                                 << qsizetype(sizeof(double));
}

void tst_ColumnStore::valuesSeenAFewTimesEachTakeThePlainForm()
{
    QFETCH(Make, make);
    QFETCH(qsizetype, plainBytes);
    constexpr int kRows = 6000;
    Rows rows;
    for (int r = 0; r < kRows; ++r)
        rows.append({make(r)});
    const ColumnStore store(rows, 1);
    for (int r = 0; r < kRows; ++r)
        QVERIFY2(same(store.value(r, 0), rows.at(r).at(0)), qPrintable(QStringLiteral("row %1").arg(r)));
    QVERIFY2(store.bytes() < kRows * plainBytes + kRows / 4 + 4096, qPrintable(QString::number(store.bytes())));
}

KIV_TEST_GUILESS_MAIN(tst_ColumnStore)
#include "tst_columnstore.moc"
