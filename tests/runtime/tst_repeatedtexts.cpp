#include "core/runtime/RepeatedTexts.h"

#include "support/TestMain.h"

#include <QtTest>

// Equal texts of a column share their characters after loading; nothing else about the rows
// changes.
class tst_RepeatedTexts : public QObject
{
    Q_OBJECT
private slots:
    void equalTextsShareAndValuesStay_data()
    {
        QTest::addColumn<QStringList>("column");
        QTest::addColumn<int>("maxDistinct");
        QTest::addColumn<bool>("shared");
        QTest::newRow("units") << QStringList{"千克", "台", "千克", "千克", "台"} << 100 << true;
        QTest::newRow("nulls and numbers between") << QStringList{"13%", "", "13%", "#", "13%"} << 100 << true;
        QTest::newRow("more texts than the limit") << QStringList{"a", "b", "c", "a", "a"} << 2 << false;
    }
    void equalTextsShareAndValuesStay()
    {
        QFETCH(QStringList, column);
        QFETCH(int, maxDistinct);
        QFETCH(bool, shared);
        QVector<QVector<QVariant>> rows;
        for (const QString &text : column) {
            // Read from a database, each row holds its own copy of the characters.
            const QVariant value = text.isEmpty() ? QVariant() : text == QLatin1String("#") ? QVariant(7.0)
                                                                                              : QVariant(QString(text.data(), text.size()));
            rows.append({QVariant(int(rows.size())), value});
        }
        const QVector<QVector<QVariant>> before = rows;
        runtime::shareRepeatedTexts(rows, {1}, maxDistinct);
        QCOMPARE(rows, before);
        // The last row repeats an earlier row's text: the same characters when shared.
        const QString first = rows.at(column.indexOf(column.last())).at(1).toString();
        const QString last = rows.last().at(1).toString();
        QCOMPARE(first.constData() == last.constData(), shared);
        QCOMPARE(rows.at(1).at(1).isNull(), column.at(1).isEmpty());
    }
};

KIV_TEST_MAIN(tst_RepeatedTexts)
#include "tst_repeatedtexts.moc"
