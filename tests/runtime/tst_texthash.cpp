#include "core/runtime/TextHash.h"
#include "support/TestMain.h"

#include <QSet>
#include <QStringList>
#include <QtTest>

#include <algorithm>
#include <vector>

namespace {

// Codes as a tariff has them: every prefix of every code, with and without letters in front.
QStringList codeLikeTexts()
{
    QStringList texts;
    for (int chapter = 1; chapter <= 97; ++chapter)
        for (int line = 0; line < 1000; line += 7) {
            const QString code = QStringLiteral("%1%2%3")
                                     .arg(chapter, 2, 10, QLatin1Char('0'))
                                     .arg(line, 4, 10, QLatin1Char('0'))
                                     .arg(line % 100, 4, 10, QLatin1Char('0'));
            for (qsizetype length = 1; length <= code.size(); ++length)
                texts << code.left(length) << QLatin1Char('A') + code.left(length);
        }
    texts.removeDuplicates();
    return texts;
}

} // namespace

class tst_TextHash : public QObject
{
    Q_OBJECT

private slots:
    void textsThatDifferHashApart_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("a character in the tail") << QStringLiteral("0101100010") << QStringLiteral("0101100011");
        QTest::newRow("a character in the first eight bytes") << QStringLiteral("1101100010") << QStringLiteral("0101100010");
        QTest::newRow("one more character") << QStringLiteral("0101") << QStringLiteral("01010");
        QTest::newRow("a trailing nul") << QStringLiteral("0101") << QString(QStringLiteral("0101") + QChar(0));
        QTest::newRow("empty and nul") << QString() << QString(QChar(0));
        QTest::newRow("a whole chunk of nuls") << QString(4, QChar(0)) << QString(8, QChar(0));
        QTest::newRow("ideographs") << QStringLiteral("活马") << QStringLiteral("活驴");
        QTest::newRow("high bytes of a character") << QString(QChar(0x4E2D)) << QString(QChar(0x4F2D));
    }

    void textsThatDifferHashApart()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QVERIFY(runtime::textHash(first, 7) != runtime::textHash(second, 7));
    }

    // Equal texts hash alike wherever their characters lie; another seed gives other hashes.
    void equalTextsHashAlikeUnderOneSeed()
    {
        const QString code = QStringLiteral("0101100010");
        const QString copy(code.constData(), code.size()); // characters of its own
        QCOMPARE(runtime::textHash(QStringView(code).left(6), 3), runtime::textHash(QStringView(copy).left(6), 3));
        QVERIFY(runtime::textHash(code, 3) != runtime::textHash(code, 4));
    }

    // A map's buckets come from the hash's low bits: tens of thousands of codes that share long
    // prefixes spread over them as random values would, and no two collide in all 64 bits.
    void codesSpreadOverAMapsBuckets()
    {
        const QStringList texts = codeLikeTexts();
        QVERIFY(texts.size() > 50000);
        constexpr size_t kBuckets = 1 << 16;
        std::vector<int> load(kBuckets, 0);
        QSet<size_t> hashes;
        for (const QString &text : texts) {
            const size_t hash = runtime::textHash(text, 0x5eed);
            hashes.insert(hash);
            ++load[hash % kBuckets];
        }
        QCOMPARE(hashes.size(), texts.size());
        // About one text a bucket: random values put at most about nine in any bucket.
        QVERIFY2(*std::max_element(load.begin(), load.end()) <= 12,
                 qPrintable(QString::number(*std::max_element(load.begin(), load.end()))));
    }
};

KIV_TEST_GUILESS_MAIN(tst_TextHash)
#include "tst_texthash.moc"
