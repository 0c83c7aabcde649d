// Reading and writing single keys of profile (INI) files.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtTest>

#include <unistd.h>

#include "TestEnv.h"
#include "core/runtime/ProfileStrings.h"
#include "support/TestMain.h"

using runtime::createProfileFile;
using runtime::profileString;
using runtime::setProfileString;

namespace {

const QByteArray kDefaultText = "[data]\r\nHGDETAIL=N\r\nWJDETAIL=N\r\nHGtype=R\r\njmwtype=R\r\n";

bool writeFile(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TstProfileStrings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readsKeys_data();
    void readsKeys();
    void missingFileSectionOrKeyGiveDefault();
    void replacesValueInPlace_data();
    void replacesValueInPlace();
    void appendsMissingKeyToItsSection_data();
    void appendsMissingKeyToItsSection();
    void appendsMissingSection_data();
    void appendsMissingSection();
    void createsMissingFileWithCrLf();
    void utf8RoundTrip();
    void leadingFeffBelongsToTheName();
    void rejectsUnwritableNames();
    void failedWriteLeavesFileAlone();
    void survivesBinaryGarbage();
    void handlesHugeFile();
    void createProfileFileWritesOnce();
    void removesOnlyTheKey_data();
    void removesOnlyTheKey();

private:
    TestEnv *m_env = nullptr;
    QString m_ini;
};

void TstProfileStrings::init()
{
    m_env = new TestEnv;
    m_ini = m_env->path(QStringLiteral("velquor_kiv.ini"));
}

void TstProfileStrings::cleanup()
{
    delete m_env;
    m_env = nullptr;
}

void TstProfileStrings::readsKeys_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("default text, other spelling") << kDefaultText << "data" << "hgtype" << "R";
    QTest::newRow("section case") << kDefaultText << "DATA" << "HGDETAIL" << "N";
    QTest::newRow("blanks around") << QByteArray("  [ data ]  \n  key \t=  some value \t \n")
                                   << "data" << "KEY" << "some value";
    QTest::newRow("quotes") << QByteArray("[s]\nk=\" padded \"\n") << "s" << "k" << " padded ";
    QTest::newRow("equals in value") << QByteArray("[s]\nurl=http://a/?b=c\n") << "s" << "url"
                                     << "http://a/?b=c";
    QTest::newRow("empty value") << QByteArray("[s]\nk=\nj=1\n") << "s" << "k" << "";
    QTest::newRow("first of duplicates") << QByteArray("[s]\nk=1\nK=2\n[S]\nk=3\n") << "s" << "k"
                                         << "1";
    QTest::newRow("key of the right section") << QByteArray("[a]\nk=1\n[b]\nk=2\n") << "B" << "k"
                                              << "2";
    QTest::newRow("no final line end") << QByteArray("[s]\r\nk=last") << "s" << "k" << "last";
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[s]\nk=v\n") << "s" << "k" << "v";
    QTest::newRow("old Mac line ends inside") << QByteArray("[s]\nk=v\r\r\n") << "s" << "k" << "v";
}

void TstProfileStrings::readsKeys()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QVERIFY(writeFile(m_ini, content));
    QCOMPARE(profileString(m_ini, section, key, QStringLiteral("<default>")), expected);
}

void TstProfileStrings::missingFileSectionOrKeyGiveDefault()
{
    QCOMPARE(profileString(m_ini, "data", "HGDETAIL", "N"), QString("N"));
    QVERIFY(!QFileInfo::exists(m_ini)); // reading never creates the file
    QVERIFY(writeFile(m_ini, "[other]\nHGDETAIL=Y\n[data]\nWJDETAIL=Y\nnot a key line\n"));
    QCOMPARE(profileString(m_ini, "data", "HGDETAIL", "dflt"), QString("dflt"));
    QCOMPARE(profileString(m_ini, "nosuch", "WJDETAIL", "dflt"), QString("dflt"));
    QCOMPARE(profileString(m_ini, "data", "not a key line", "dflt"), QString("dflt"));
    QCOMPARE(profileString(m_ini, "data", "", "dflt"), QString("dflt"));
    QCOMPARE(profileString(m_env->root(), "data", "k", "dflt"), QString("dflt")); // a folder
}

void TstProfileStrings::replacesValueInPlace_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("CR LF, key spelling kept") << kDefaultText << "DATA" << "hgtype" << "D"
        << QByteArray("[data]\r\nHGDETAIL=N\r\nWJDETAIL=N\r\nHGtype=D\r\njmwtype=R\r\n");
    QTest::newRow("LF, other lines untouched")
        << QByteArray("; comment\n[a]\n  k = 1  \nj=2\n\n[b]\nk=3\n") << "A" << "K" << "new"
        << QByteArray("; comment\n[a]\nk=new\nj=2\n\n[b]\nk=3\n");
    QTest::newRow("mixed line ends kept") << QByteArray("[s]\r\nk=1\nj=2\r\n") << "s" << "k"
                                          << "22" << QByteArray("[s]\r\nk=22\nj=2\r\n");
    QTest::newRow("last line without end") << QByteArray("[s]\r\nk=1") << "s" << "k" << "2"
                                           << QByteArray("[s]\r\nk=2");
    QTest::newRow("value kept as given") << QByteArray("[s]\nk=1\n") << "s" << "k" << " x "
                                         << QByteArray("[s]\nk= x \n");
}

void TstProfileStrings::replacesValueInPlace()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    QVERIFY(writeFile(m_ini, before));
    QCOMPARE(setProfileString(m_ini, section, key, value), 1);
    QCOMPARE(readFile(m_ini), after);
    QCOMPARE(profileString(m_ini, section, key, "<default>"), value.trimmed());
}

void TstProfileStrings::appendsMissingKeyToItsSection_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("before blank line and next section")
        << QByteArray("[a]\nx=1\n\n[data]\ny=2\n") << QByteArray("[a]\nx=1\n\n[data]\ny=2\nz=3\n");
    QTest::newRow("middle section, CR LF")
        << QByteArray("[data]\r\ny=2\r\n\r\n[b]\r\nq=1\r\n")
        << QByteArray("[data]\r\ny=2\r\nz=3\r\n\r\n[b]\r\nq=1\r\n");
    QTest::newRow("empty section") << QByteArray("[data]\n[b]\n") << QByteArray("[data]\nz=3\n[b]\n");
    QTest::newRow("section at end without line end")
        << QByteArray("[data]\r\ny=2") << QByteArray("[data]\r\ny=2\r\nz=3\r\n");
}

void TstProfileStrings::appendsMissingKeyToItsSection()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QVERIFY(writeFile(m_ini, before));
    QCOMPARE(setProfileString(m_ini, "DATA", "z", "3"), 1);
    QCOMPARE(readFile(m_ini), after);
}

void TstProfileStrings::appendsMissingSection_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("LF") << QByteArray("[a]\nx=1\n") << QByteArray("[a]\nx=1\n[data]\nHGDETAIL=Y\n");
    QTest::newRow("CR LF, no final end") << QByteArray("[a]\r\nx=1")
                                         << QByteArray("[a]\r\nx=1\r\n[data]\r\nHGDETAIL=Y\r\n");
    QTest::newRow("empty file") << QByteArray() << QByteArray("[data]\r\nHGDETAIL=Y\r\n");
}

void TstProfileStrings::appendsMissingSection()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QVERIFY(writeFile(m_ini, before));
    QCOMPARE(setProfileString(m_ini, "data", "HGDETAIL", "Y"), 1);
    QCOMPARE(readFile(m_ini), after);
}

void TstProfileStrings::createsMissingFileWithCrLf()
{
    QCOMPARE(setProfileString(m_ini, "data", "HGDETAIL", "Y"), 1);
    QCOMPARE(readFile(m_ini), QByteArray("[data]\r\nHGDETAIL=Y\r\n"));
    QCOMPARE(setProfileString(m_ini, "data", "jmwtype", "D"), 1);
    QCOMPARE(readFile(m_ini), QByteArray("[data]\r\nHGDETAIL=Y\r\njmwtype=D\r\n"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(m_env->workDir()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("velquor_kiv.ini")});
}

void TstProfileStrings::utf8RoundTrip()
{
    QCOMPARE(setProfileString(m_ini, "数据", "网址", "http://例子.cn/路径"), 1);
    QCOMPARE(readFile(m_ini), QString("[数据]\r\n网址=http://例子.cn/路径\r\n").toUtf8());
    QCOMPARE(profileString(m_ini, "数据", "网址", ""), QString("http://例子.cn/路径"));
    // Case folding covers more than ASCII.
    QCOMPARE(setProfileString(m_ini, "Größe", "Ä", "1"), 1);
    QCOMPARE(profileString(m_ini, "GRÖßE", "ä", "none"), QString("1"));
}

void TstProfileStrings::leadingFeffBelongsToTheName()
{
    // U+FEFF at the start of a name or value is a character there, not a byte order mark: what
    // is written is found again, and a second write edits the key instead of adding a section.
    const QString zwnbsp(QChar(0xFEFF));
    QCOMPARE(setProfileString(m_ini, zwnbsp + "sec", zwnbsp + "key", zwnbsp + "v"), 1);
    QCOMPARE(profileString(m_ini, zwnbsp + "sec", zwnbsp + "key", "none"), zwnbsp + "v");
    QCOMPARE(profileString(m_ini, "sec", "key", "none"), QString("none"));
    QCOMPARE(setProfileString(m_ini, zwnbsp + "sec", zwnbsp + "key", "2"), 1);
    QCOMPARE(readFile(m_ini), (QString("[") + zwnbsp + "sec]\r\n" + zwnbsp + "key=2\r\n").toUtf8());
    // The byte order mark of the file itself is still no part of the first line.
    QVERIFY(writeFile(m_ini, "\xEF\xBB\xBF[data]\nHGtype=D\n"));
    QCOMPARE(profileString(m_ini, "data", "HGtype", "none"), QString("D"));
}

void TstProfileStrings::rejectsUnwritableNames()
{
    QVERIFY(writeFile(m_ini, kDefaultText));
    QCOMPARE(setProfileString(m_ini, "", "k", "v"), -1);
    QCOMPARE(setProfileString(m_ini, "data", "  ", "v"), -1);
    QCOMPARE(setProfileString(m_ini, "data", "k", "two\r\nlines"), -1);
    QCOMPARE(setProfileString(m_ini, "da\nta", "k", "v"), -1);
    QCOMPARE(setProfileString(m_ini, "data", "a=b", "v"), -1);
    QCOMPARE(setProfileString(m_ini, "da]ta", "k", "v"), -1);
    QCOMPARE(readFile(m_ini), kDefaultText);
}

void TstProfileStrings::failedWriteLeavesFileAlone()
{
    // A folder that does not exist is not created.
    const QString nowhere = m_env->path(QStringLiteral("no/such/folder/kiv.ini"));
    QCOMPARE(setProfileString(nowhere, "data", "k", "v"), -1);
    QVERIFY(!QFileInfo::exists(m_env->path(QStringLiteral("no"))));
    // A folder in the file's place is neither read nor replaced.
    QCOMPARE(setProfileString(m_env->workDir(), "data", "k", "v"), -1);
    QVERIFY(QFileInfo(m_env->workDir()).isDir());
    // A name at the length limit leaves no room for a temporary file beside it: the write
    // fails even for the super-user, and the file keeps its old text.
    const QString longName = m_env->path(QString(250, QLatin1Char('p')));
    QVERIFY(writeFile(longName, kDefaultText));
    QCOMPARE(setProfileString(longName, "data", "HGDETAIL", "Y"), -1);
    QCOMPARE(readFile(longName), kDefaultText);
    QCOMPARE(QDir(m_env->workDir()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    QVERIFY(QFile::remove(longName));

    if (geteuid() == 0)
        QSKIP("file permissions do not bind the super-user");
    QVERIFY(writeFile(m_ini, kDefaultText));
    const QString dir = m_env->workDir();
    QVERIFY(QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const int result = setProfileString(m_ini, "data", "HGDETAIL", "Y");
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                   | QFileDevice::ExeOwner);
    QCOMPARE(result, -1);
    QCOMPARE(readFile(m_ini), kDefaultText);
    // An unreadable file is not replaced by a new one.
    QVERIFY(QFile::setPermissions(m_ini, QFileDevice::WriteOwner));
    QCOMPARE(setProfileString(m_ini, "data", "HGDETAIL", "Y"), -1);
    QCOMPARE(profileString(m_ini, "data", "HGDETAIL", "dflt"), QString("dflt"));
    QVERIFY(QFile::setPermissions(m_ini, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(readFile(m_ini), kDefaultText);
}

void TstProfileStrings::survivesBinaryGarbage()
{
    QRandomGenerator rng(20240601);
    QByteArray garbage(1 << 20, Qt::Uninitialized);
    for (char &c : garbage)
        c = char(rng.bounded(256));
    // Without '[' the garbage holds no section; '=' and line ends may still make "keys".
    garbage.replace('[', '(');
    garbage.append("x"); // does not end with a line end
    QVERIFY(writeFile(m_ini, garbage));
    QCOMPARE(profileString(m_ini, "data", "HGDETAIL", "N"), QString("N"));
    QCOMPARE(setProfileString(m_ini, "data", "HGDETAIL", "Y"), 1);
    // The new section uses the file's first line ending.
    const qsizetype nl = garbage.indexOf('\n');
    QVERIFY(nl > 0);
    const QByteArray eol = garbage.at(nl - 1) == '\r' ? "\r\n" : "\n";
    QCOMPARE(readFile(m_ini), garbage + eol + "[data]" + eol + "HGDETAIL=Y" + eol);
    QCOMPARE(profileString(m_ini, "DATA", "hgdetail", "N"), QString("Y"));

    // Garbage inside a section: the section's keys still read and write.
    QByteArray mixed = "[data]\r\n" + garbage.left(4096).replace('=', '-') + "\r\nHGtype=R\r\n";
    QVERIFY(writeFile(m_ini, mixed));
    QCOMPARE(profileString(m_ini, "data", "hgtype", ""), QString("R"));
    QCOMPARE(setProfileString(m_ini, "data", "hgtype", "D"), 1);
    QCOMPARE(readFile(m_ini), QByteArray(mixed).replace("HGtype=R", "HGtype=D"));
}

void TstProfileStrings::handlesHugeFile()
{
    QByteArray big;
    for (int i = 0; i < 40000; ++i)
        big += "[section" + QByteArray::number(i) + "]\r\nkey=value" + QByteArray::number(i) + "\r\n";
    QVERIFY(big.size() > (1 << 20));
    QVERIFY(writeFile(m_ini, big));
    QCOMPARE(profileString(m_ini, "SECTION20000", "KEY", ""), QString("value20000"));
    QCOMPARE(profileString(m_ini, "section39999", "key", ""), QString("value39999"));
    QCOMPARE(setProfileString(m_ini, "section39999", "other", "x"), 1);
    QCOMPARE(setProfileString(m_ini, "section0", "key", "first"), 1);
    QByteArray expected = big;
    expected.replace("[section0]\r\nkey=value0\r\n", "[section0]\r\nkey=first\r\n");
    expected += "other=x\r\n";
    QCOMPARE(readFile(m_ini), expected);
}

void TstProfileStrings::createProfileFileWritesOnce()
{
    QCOMPARE(createProfileFile(m_ini, kDefaultText), 1);
    QCOMPARE(readFile(m_ini), kDefaultText);
    QCOMPARE(profileString(m_ini, "data", "hgtype", "N"), QString("R"));
    QVERIFY(QFileInfo(m_ini).permissions().testFlag(QFileDevice::ReadOwner));
    QVERIFY(QFileInfo(m_ini).permissions().testFlag(QFileDevice::WriteOwner));

    // An existing file is left as it is, even one without the keys.
    QVERIFY(writeFile(m_ini, "[data]\n"));
    QCOMPARE(createProfileFile(m_ini, kDefaultText), 0);
    QCOMPARE(readFile(m_ini), QByteArray("[data]\n"));

    QCOMPARE(createProfileFile(m_env->path(QStringLiteral("no/such/kiv.ini")), kDefaultText), -1);
    QCOMPARE(QDir(m_env->workDir()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("velquor_kiv.ini")});
}

void TstProfileStrings::removesOnlyTheKey_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("middle line, CR LF") << QByteArray("[s]\r\nk=1\r\nPassword=x\r\nj=2\r\n[t]\r\nPassword=y\r\n")
                                        << "password" << QByteArray("[s]\r\nk=1\r\nj=2\r\n[t]\r\nPassword=y\r\n");
    QTest::newRow("last line without end") << QByteArray("[s]\nk=1\nPassword=x") << "Password"
                                           << QByteArray("[s]\nk=1\n");
    QTest::newRow("key missing: file untouched") << QByteArray("[s]\nk=1\n[t]\nPassword=y\n") << "Password"
                                                 << QByteArray("[s]\nk=1\n[t]\nPassword=y\n");
}

void TstProfileStrings::removesOnlyTheKey()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QByteArray, after);
    QVERIFY(writeFile(m_ini, before));
    QCOMPARE(runtime::removeProfileKey(m_ini, QStringLiteral("S"), key), 1);
    QCOMPARE(readFile(m_ini), after);
    QCOMPARE(profileString(m_ini, QStringLiteral("s"), key, "<none>"), QStringLiteral("<none>"));
}

KIV_TEST_GUILESS_MAIN(TstProfileStrings)
#include "tst_profilestrings.moc"
