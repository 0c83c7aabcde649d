#include "core/settings/Setting.h"

#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QtTest>

// The table of the profile's keys beyond the seed's: what each reads, writes and announces.
class tst_Settings : public QObject
{
    Q_OBJECT
private slots:
    void tableNamesEachKeyOnce()
    {
        QSet<QString> seen;
        for (const settings::Setting &s : settings::allSettings()) {
            const QString name = QString::fromLatin1(s.section) + u'/' + QString::fromLatin1(s.key);
            QVERIFY2(!seen.contains(name), qPrintable(name));
            seen.insert(name);
            // The seed's own section is not the table's.
            QVERIFY(QString::fromLatin1(s.section) != QLatin1String("data"));
        }
    }

    void readsWritesAndAnnounces_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("fileKey");
        QTest::newRow("export columns") << 0 << QString() << QStringLiteral("code,name") << QStringLiteral("columns");
        QTest::newRow("recent codes") << 3 << QString() << QStringLiteral("hs:0101210010") << QStringLiteral("recent");
        QTest::newRow("a rate of a family") << 4 << QStringLiteral("USD") << QStringLiteral("7.1") << QStringLiteral("rate_USD");
        QTest::newRow("Chinese text") << 2 << QString() << QStringLiteral("/家/导出") << QStringLiteral("folder");
    }
    void readsWritesAndAnnounces()
    {
        QFETCH(int, which);
        QFETCH(QString, suffix);
        QFETCH(QString, value);
        QFETCH(QString, fileKey);
        TestEnv env;
        const QString file = env.path(QStringLiteral("velquor_kiv.ini"));
        const settings::Setting setting = settings::allSettings().at(which);
        QCOMPARE(settings::Settings::value(file, setting, suffix), QString::fromUtf8(setting.defaultValue));

        QSignalSpy changed(settings::Settings::instance(), &settings::Settings::changed);
        QCOMPARE(settings::Settings::setValue(file, setting, value, suffix), 1);
        QCOMPARE(settings::Settings::value(file, setting, suffix), value);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().at(0).toString(), QString::fromLatin1(setting.section));
        QCOMPARE(changed.first().at(1).toString(), fileKey);
        // The key stands in the file under its section, readable by hand.
        QVERIFY(TestEnv::readFile(file).contains(fileKey.toUtf8() + '='));
    }

    void unwritableFileIsNoChange()
    {
        TestEnv env;
        // A folder where the file should be: nothing can be written there.
        const QString file = env.path(QStringLiteral("folder.ini"));
        QVERIFY(QDir().mkpath(file));
        QSignalSpy changed(settings::Settings::instance(), &settings::Settings::changed);
        QCOMPARE(settings::Settings::setValue(file, settings::kExportFormat, QStringLiteral("csv")), -1);
        QCOMPARE(changed.size(), 0);
        QCOMPARE(settings::Settings::value(file, settings::kExportFormat), QString());
    }
};

KIV_TEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
