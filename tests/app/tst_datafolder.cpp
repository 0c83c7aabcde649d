#include "core/session/DataFolder.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using kiv::DataFolder;

namespace {
bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// An installed layout: <prefix>/bin and <prefix>/share/kivtree with read-only files.
struct Installed {
    QTemporaryDir dir;
    QString bin = dir.filePath(QStringLiteral("prefix/bin"));
    QString share = dir.filePath(QStringLiteral("prefix/share/kivtree"));
    QString user = dir.filePath(QStringLiteral("home/.local/share/kivtree"));

    bool install(const QByteArray &db, const QByteArray &help)
    {
        QDir().mkpath(bin);
        QFile::remove(share + QStringLiteral("/K-I-V.db"));
        QFile::remove(share + QStringLiteral("/help.TXT"));
        const bool ok = writeFile(share + QStringLiteral("/K-I-V.db"), db)
                        && writeFile(share + QStringLiteral("/help.TXT"), help);
        QFile::setPermissions(share + QStringLiteral("/K-I-V.db"), QFile::ReadOwner | QFile::ReadOther);
        return ok;
    }
};
} // namespace

class tst_DataFolder : public QObject
{
    Q_OBJECT
private slots:
    void runFolderIsUsedAsItIs()
    {
        QTemporaryDir run;
        QVERIFY(writeFile(run.filePath(QStringLiteral("K-I-V.db")), "db"));
        QString error;
        QCOMPARE(DataFolder::prepare(run.path(), run.filePath(QStringLiteral("unused")), &error),
                 QDir(run.path()).absolutePath());
        QVERIFY(!QDir(run.filePath(QStringLiteral("unused"))).exists());
    }

    void firstStartCopiesTheInstalledFiles()
    {
        Installed in;
        QVERIFY(in.install("bundled", "help v1"));
        QString error;
        QCOMPARE(DataFolder::prepare(in.bin, in.user, &error), QDir(in.user).absolutePath());
        QCOMPARE(readFile(in.user + QStringLiteral("/K-I-V.db")), QByteArray("bundled"));
        QCOMPARE(readFile(in.user + QStringLiteral("/help.TXT")), QByteArray("help v1"));
        QVERIFY(QFileInfo(in.user + QStringLiteral("/K-I-V.db")).isWritable());
        QVERIFY(!QFile::exists(in.user + QStringLiteral("/K-I-V.db.part")));
    }

    void reinstallKeepsTheUsersDatabaseAndRenewsTheHelp()
    {
        Installed in;
        QVERIFY(in.install("bundled", "help v1"));
        QString error;
        QVERIFY(!DataFolder::prepare(in.bin, in.user, &error).isEmpty());
        QVERIFY(writeFile(in.user + QStringLiteral("/K-I-V.db"), "the user's chapters"));

        QVERIFY(in.install("bundled again", "help v2, longer"));
        QVERIFY(!DataFolder::prepare(in.bin, in.user, &error).isEmpty());
        QCOMPARE(readFile(in.user + QStringLiteral("/K-I-V.db")), QByteArray("the user's chapters"));
        QCOMPARE(readFile(in.user + QStringLiteral("/help.TXT")), QByteArray("help v2, longer"));
    }

    void nothingInstalledIsAnError()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(DataFolder::prepare(dir.path(), dir.filePath(QStringLiteral("user")), &error).isEmpty());
        QVERIFY(error.contains(QStringLiteral("K-I-V.db")));
    }

    void userFolderThatCannotBeMadeIsAnError()
    {
        Installed in;
        QVERIFY(in.install("bundled", "help"));
        // A file where the folder's parent should be: even root cannot make the folder.
        QVERIFY(writeFile(QFileInfo(in.user).path(), "not a folder"));
        QString error;
        QVERIFY(DataFolder::prepare(in.bin, in.user, &error).isEmpty());
        QVERIFY(error.contains(in.user));
    }

    void userFolderFollowsXdgDataHome()
    {
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", "/somewhere/data");
        QCOMPARE(DataFolder::userDataFolder(), QStringLiteral("/somewhere/data/kivtree"));
        qputenv("XDG_DATA_HOME", "relative/is/ignored");
        QCOMPARE(DataFolder::userDataFolder(), QDir::homePath() + QStringLiteral("/.local/share/kivtree"));
        if (saved.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", saved);
    }
};

KIV_TEST_GUILESS_MAIN(tst_DataFolder)
#include "tst_datafolder.moc"
