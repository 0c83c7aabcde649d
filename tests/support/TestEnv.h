#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include "ui/runtime/MessageBox.h"

// Gives a test its own world: a temporary working folder (made current), its own user
// odbc.ini (ODBCINI), odbcinst.ini folder (ODBCSYSINI) and XDG_CONFIG_HOME. Everything is
// restored when the object goes away; the real user's files are never touched.
class TestEnv
{
public:
    TestEnv();
    ~TestEnv();
    TestEnv(const TestEnv &) = delete;
    TestEnv &operator=(const TestEnv &) = delete;

    QString root() const;          // the temporary folder
    QString workDir() const;       // current directory while the test runs
    QString odbcIni() const;       // user data sources file
    QString odbcSysIniDir() const; // folder of odbcinst.ini
    QString configHome() const;    // XDG_CONFIG_HOME
    QString path(const QString &relative) const; // inside workDir

    static QString driverPath();   // the SQLite ODBC driver library
    // A connect string that opens a database file directly, without a data source.
    static QString directConnectString(const QString &databaseFile);

    // A file's whole content (empty when it cannot be read), and writing one whole.
    static QByteArray readFile(const QString &path);
    static bool writeFile(const QString &path, const QByteArray &content);

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
    QList<QPair<QByteArray, QByteArray>> m_savedEnv;
    QList<QByteArray> m_unsetEnv;
};

// Records message boxes and beeps while alive, answering each box with the next scripted
// answer (or its default button when the script is empty).
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();
    void answer(int button) { m_answers.append(button); }
    const QList<runtime::MessageRequest> &boxes() const { return m_boxes; }
    int beeps() const;
    QStringList texts() const;

private:
    QList<runtime::MessageRequest> m_boxes;
    QList<int> m_answers;
};
