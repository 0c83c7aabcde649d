#include "core/session/HelpTexts.h"

#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QFile>
#include <QtTest>

using kiv::cutHelpTexts;
using kiv::loadHelpTexts;

namespace {
QByteArray allMarkers()
{
    return QByteArrayLiteral("#1Alpha#2Beta#3Gamma#4Delta#5Epsilon#6Zeta#7Eta#8");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}
} // namespace

class tst_HelpTexts : public QObject
{
    Q_OBJECT
private slots:
    void textsLieBetweenTheirMarkers()
    {
        const auto texts = cutHelpTexts(allMarkers());
        QCOMPARE(texts[1], QStringLiteral("Alpha"));
        QCOMPARE(texts[2], QStringLiteral("Beta"));
        QCOMPARE(texts[7], QStringLiteral("Eta"));
        QVERIFY(texts[0].isEmpty());
    }

    void lineEndsBelongToTheText()
    {
        const auto texts = cutHelpTexts(QByteArrayLiteral("intro\r\n#1\r\nAlpha\r\n#2\nBeta\n#3#4#5#6#7#8 tail"));
        QCOMPARE(texts[1], QStringLiteral("\r\nAlpha\r\n"));
        QCOMPARE(texts[2], QStringLiteral("\nBeta\n"));
        QCOMPARE(texts[3], QString());
    }

    void chineseTextSurvives()
    {
        const auto texts = cutHelpTexts(QStringLiteral("#1商品树#2查找#3#4#5#6#7#8").toUtf8());
        QCOMPARE(texts[1], QStringLiteral("商品树"));
        QCOMPARE(texts[2], QStringLiteral("查找"));
    }

    void leadingFeffBelongsToTheText()
    {
        // The file may start with a byte order mark; right after a marker U+FEFF is text.
        const auto texts = cutHelpTexts(QByteArrayLiteral("\xEF\xBB\xBF#1\xEF\xBB\xBF" "Alpha#2Beta#3"));
        QCOMPARE(texts[1], QString(QChar(0xFEFF)) + QStringLiteral("Alpha"));
        QCOMPARE(texts[2], QStringLiteral("Beta"));
    }

    void missingMarkersGiveEmptyTexts()
    {
        // #3 is missing: text 2 has no end and text 3 no start; the others stand.
        const auto texts = cutHelpTexts(QByteArrayLiteral("#1Alpha#2Beta#4Delta#5Epsilon#6Zeta#7Eta#8"));
        QCOMPARE(texts[1], QStringLiteral("Alpha"));
        QVERIFY(texts[2].isEmpty());
        QVERIFY(texts[3].isEmpty());
        QCOMPARE(texts[4], QStringLiteral("Delta"));
        // Without #8 the last text has no end.
        QVERIFY(cutHelpTexts(QByteArrayLiteral("#1a#2b#3c#4d#5e#6f#7g"))[7].isEmpty());
    }

    void endMarkerBeforeStartGivesEmptyText()
    {
        const auto texts = cutHelpTexts(QByteArrayLiteral("#2Beta#1Alpha#3"));
        QVERIFY(texts[1].isEmpty());
        QCOMPARE(texts[2], QStringLiteral("Beta#1Alpha"));
    }

    void binaryContentDoesNotCrash()
    {
        QByteArray junk;
        for (int i = 0; i < 5000; ++i)
            junk.append(char((i * 37 + 11) % 256));
        junk.insert(100, "#1");
        junk.insert(2000, "#2");
        const auto texts = cutHelpTexts(junk);
        QVERIFY(!texts[1].isEmpty());
        QVERIFY(cutHelpTexts(QByteArray()).at(1).isEmpty());
    }

    void fileIsReadOnlyBelowTheLimit()
    {
        TestEnv env;
        const QString path = env.path(QStringLiteral("help.TXT"));

        QByteArray content = allMarkers();
        content.append(QByteArray(kiv::kHelpFileLimit - 1 - content.size(), ' '));
        writeFile(path, content); // 32766 bytes: read
        QCOMPARE(loadHelpTexts(path)[1], QStringLiteral("Alpha"));

        content.append(' ');
        writeFile(path, content); // 32767 bytes: not read
        for (const QString &text : loadHelpTexts(path))
            QVERIFY(text.isEmpty());
    }

    void missingOrEmptyFileGivesEmptyTexts()
    {
        TestEnv env;
        for (const QString &text : loadHelpTexts(env.path(QStringLiteral("help.TXT"))))
            QVERIFY(text.isEmpty());
        writeFile(env.path(QStringLiteral("help.TXT")), QByteArray());
        for (const QString &text : loadHelpTexts(env.path(QStringLiteral("help.TXT"))))
            QVERIFY(text.isEmpty());
        // A folder of that name is not a help file.
        QVERIFY(QDir().mkdir(env.path(QStringLiteral("dir.TXT"))));
        QVERIFY(loadHelpTexts(env.path(QStringLiteral("dir.TXT")))[1].isEmpty());
    }

    void bundledHelpFileHasSevenTexts()
    {
        const QString path = QStringLiteral(KIV_SOURCE_DIR "/resources/help.TXT");
        QVERIFY(QFileInfo(path).size() < kiv::kHelpFileLimit);
        const auto texts = loadHelpTexts(path);
        for (int i = 1; i <= 7; ++i)
            QVERIFY2(texts[i].trimmed().size() > 100, qPrintable(QStringLiteral("help text %1").arg(i)));
    }
};

KIV_TEST_GUILESS_MAIN(tst_HelpTexts)
#include "tst_helptexts.moc"
