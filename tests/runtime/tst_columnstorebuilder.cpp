// A data view's rows are read straight into their columns (ColumnStoreBuilder). Every case
// feeds the same cells to the builder, as a query gives them, and to the store made from rows
// of values, as the query's rows used to come: each value must come back alike, in the same
// form (the same memory), and columns the query lacks or adds must be null or left out.
#include "core/runtime/ColumnStore.h"
#include "core/runtime/ColumnStoreBuilder.h"

#include "support/TestMain.h"

#include <QtTest>

#include <cstring>
#include <functional>

using runtime::ColumnStore;
using runtime::ColumnStoreBuilder;
using runtime::ColumnType;

using CellMaker = std::function<QVariant(int row)>; // an invalid QVariant is a null cell

Q_DECLARE_METATYPE(CellMaker)
Q_DECLARE_METATYPE(ColumnType)

class TestColumnStoreBuilder : public QObject
{
    Q_OBJECT

private slots:
    void columnsComeBackAsFromValues_data();
    void columnsComeBackAsFromValues();
    void missingAndExtraColumns();
};

namespace {

// Feeds one cell as the query's reader gives it.
void feed(ColumnStoreBuilder &builder, int column, const QVariant &cell)
{
    if (!cell.isValid()) {
        builder.null(column);
    } else if (cell.typeId() == QMetaType::QString) {
        const QByteArray utf8 = cell.toString().toUtf8();
        builder.text(column, utf8.constData(), utf8.size());
    } else if (cell.typeId() == QMetaType::Double) {
        builder.number(column, cell.toDouble());
    } else {
        builder.wholeNumber(column, cell.toInt());
    }
}

// The value the reader used to make of a cell: texts through UTF-8, as the driver gives them.
QVariant asRead(const QVariant &cell)
{
    if (cell.typeId() != QMetaType::QString)
        return cell;
    const QByteArray utf8 = cell.toString().toUtf8();
    return QString::fromUtf8(utf8.constData(), utf8.size());
}

bool same(const QVariant &a, const QVariant &b)
{
    if (a.typeId() != b.typeId() || a.isNull() != b.isNull())
        return false;
    if (a.typeId() == QMetaType::Double) {
        const double x = a.toDouble(), y = b.toDouble();
        return std::memcmp(&x, &y, sizeof x) == 0; // 0 and -0 apart
    }
    return a == b && (a.typeId() != QMetaType::QString || a.toString().isNull() == b.toString().isNull());
}

} // namespace

void TestColumnStoreBuilder::columnsComeBackAsFromValues_data()
{
    QTest::addColumn<ColumnType>("type");
    QTest::addColumn<int>("rows");
    QTest::addColumn<CellMaker>("cell");

    const QStringList few{QStringLiteral("千克"), QStringLiteral("个"), QStringLiteral("")};
    QTest::newRow("distinct texts") << ColumnType::String << 1200
                                    << CellMaker([](int r) { return QVariant(QStringLiteral("[%1]活动物").arg(r)); });
    QTest::newRow("few texts, empties and nulls") << ColumnType::String << 1500 << CellMaker([few](int r) {
        return r % 7 == 0 ? QVariant() : QVariant(few.at(r % few.size()));
    });
    QTest::newRow("texts mostly null") << ColumnType::String << 1000 << CellMaker([](int r) {
        return r % 3 == 0 ? QVariant(QStringLiteral("说明%1").arg(r)) : QVariant();
    });
    QTest::newRow("a text too long for the arena's lengths") << ColumnType::String << 900 << CellMaker([](int r) {
        return QVariant(r == 5 ? QString(70000, QLatin1Char('x')) : QStringLiteral("name %1").arg(r));
    });
    QTest::newRow("texts past half distinct") << ColumnType::String << 2000 << CellMaker([](int r) {
        return QVariant(QString::number(r % 1100)); // passes the sample, fails the limit later
    });
    QTest::newRow("numbers, few, with 0 and -0") << ColumnType::Number << 1000 << CellMaker([](int r) {
        return r % 5 == 0 ? QVariant() : QVariant(r % 2 ? 0.0 : -0.0);
    });
    QTest::newRow("numbers, distinct, some null") << ColumnType::Number << 1000 << CellMaker([](int r) {
        return r % 9 == 0 ? QVariant() : QVariant(r * 0.25);
    });
    QTest::newRow("whole numbers, distinct") << ColumnType::Long << 1000
                                             << CellMaker([](int r) { return QVariant(qint32(r * 3)); });
    QTest::newRow("whole numbers mostly null") << ColumnType::Long << 1000 << CellMaker([](int r) {
        return r % 4 == 0 ? QVariant(qint32(r)) : QVariant();
    });
    // Runs of one value, as units and flags come in rows ordered by code: a run's end is a new
    // value even where the two compare alike as texts or numbers (an empty text and a null, 0 and -0).
    QTest::newRow("texts in runs, an empty and a null among them") << ColumnType::String << 1500 << CellMaker([few](int r) {
        const int run = r / 40;
        return run % 4 == 3 ? QVariant() : QVariant(few.at(run % few.size()));
    });
    QTest::newRow("numbers in runs of 0 and -0") << ColumnType::Number << 1000 << CellMaker([](int r) {
        const int run = r / 25;
        return run % 3 == 2 ? QVariant() : QVariant(run % 3 ? 0.0 : -0.0);
    });
    QTest::newRow("no rows") << ColumnType::String << 0 << CellMaker([](int) { return QVariant(); });
}

void TestColumnStoreBuilder::columnsComeBackAsFromValues()
{
    QFETCH(ColumnType, type);
    QFETCH(int, rows);
    QFETCH(CellMaker, cell);

    ColumnStoreBuilder builder({type}, 1);
    builder.begin(1);
    QVector<QVector<QVariant>> values;
    for (int r = 0; r < rows; ++r) {
        const QVariant value = cell(r);
        feed(builder, 0, value);
        builder.endRow();
        values.append({asRead(value)});
    }
    QCOMPARE(builder.rowCount(), qsizetype(rows));
    const ColumnStore built = builder.take();
    const ColumnStore expected(values, 1);
    QCOMPARE(built.rowCount(), rows);
    QCOMPARE(built.columnCount(), 1);
    for (int r = 0; r < rows; ++r)
        QVERIFY2(same(built.value(r, 0), expected.value(r, 0)), qPrintable(QStringLiteral("row %1").arg(r)));
    QCOMPARE(built.bytes(), expected.bytes());
    QCOMPARE(builder.rowCount(), qsizetype(0)); // taken
}

void TestColumnStoreBuilder::missingAndExtraColumns()
{
    // The store has three columns; the first query gives two, the second four.
    const QList<ColumnType> types{ColumnType::String, ColumnType::Long, ColumnType::Number};
    ColumnStoreBuilder narrow(types, 3);
    narrow.begin(2);
    for (int r = 0; r < 10; ++r) {
        feed(narrow, 0, QStringLiteral("c%1").arg(r));
        feed(narrow, 1, qint32(r));
        narrow.endRow();
    }
    const ColumnStore fewer = narrow.take();
    QCOMPARE(fewer.columnCount(), 3);
    QCOMPARE(fewer.value(9, 0), QVariant(QStringLiteral("c9")));
    QCOMPARE(fewer.value(9, 1), QVariant(qint32(9)));
    QVERIFY(!fewer.value(9, 2).isValid());

    ColumnStoreBuilder wide(types, 3);
    wide.begin(4);
    for (int r = 0; r < 10; ++r) {
        feed(wide, 0, QStringLiteral("c%1").arg(r));
        feed(wide, 1, qint32(r));
        feed(wide, 2, r * 1.5);
        feed(wide, 3, QStringLiteral("extra"));
        wide.endRow();
    }
    const ColumnStore more = wide.take();
    QCOMPARE(more.columnCount(), 3);
    QCOMPARE(more.value(3, 2), QVariant(4.5));
    QCOMPARE(more.row(3).size(), 3);
}

KIV_TEST_MAIN(TestColumnStoreBuilder)
#include "tst_columnstorebuilder.moc"
