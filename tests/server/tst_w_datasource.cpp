// The dialog of 数据源设置...: the choice between the bundled file and a server, the
// connection test, and what 确定 writes.

#include "ui/server/w_datasource.h"

#include "TestEnv.h"
#include "support/TestMain.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

using server::ServerSettings;
using server::w_datasource;

namespace {
struct Calls {
    QList<QPair<ServerSettings, QString>> probed;
    QList<QString> stored; // passwords given to the store
};

std::unique_ptr<w_datasource> dialog(const QString &profile, Calls *calls, const QString &reason = QString())
{
    auto probe = [calls, reason](const ServerSettings &s, const QString &password) {
        calls->probed.append({s, password}); // runs in the worker; the test reads it after tested()
        return reason;
    };
    auto store = [calls](const ServerSettings &, const QString &password, QString *) {
        calls->stored.append(password);
        return 1;
    };
    auto d = std::make_unique<w_datasource>(profile, probe, store);
    d->show();
    return d;
}

// Where a user clicks a radio button: its circle (a click beside its text does nothing).
void click(QRadioButton *radio)
{
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
}

void fill(w_datasource *d, const QString &host, const QString &port, const QString &database, const QString &user,
          const QString &password)
{
    for (auto [edit, text] : {std::pair{d->sle_host, host}, {d->sle_port, port}, {d->sle_database, database},
                              {d->sle_user, user}, {d->sle_password, password}}) {
        edit->clear();
        QTest::keyClicks(edit, text);
    }
}
} // namespace

class tst_w_datasource : public QObject
{
    Q_OBJECT
private slots:
    // The server's fields follow the radio buttons, also when a screen reader toggles them.
    void serverFieldsFollowTheChoice()
    {
        TestEnv env;
        Calls calls;
        auto d = dialog(env.path(QStringLiteral("kiv.ini")), &calls);
        QVERIFY(d->rb_file->isChecked());
        QVERIFY(!d->sle_host->isEnabled() && !d->cb_test->isEnabled());
        QAccessibleInterface *radio = QAccessible::queryAccessibleInterface(d->rb_server);
        QVERIFY(radio && radio->actionInterface());
        radio->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(d->rb_server->isChecked());
        QVERIFY(d->sle_host->isEnabled() && d->cb_test->isEnabled());
        // Each field is read with its caption.
        QAccessibleInterface *host = QAccessible::queryAccessibleInterface(d->sle_host);
        QCOMPARE(host->text(QAccessible::Name), QStringLiteral("主机(H):"));
    }

    void theTestSaysWhatTheServerAnswered_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("reason"); // what the probe answers
        QTest::addColumn<bool>("probed");
        QTest::addColumn<QString>("shown"); // a part of the status text
        QTest::newRow("connected") << "5433" << QString() << true << QStringLiteral("连接成功");
        QTest::newRow("refused") << "5433" << QStringLiteral("password authentication failed") << true
                                 << QStringLiteral("password authentication failed");
        QTest::newRow("port not a number") << "54x" << QString() << false << QStringLiteral("54x");
    }
    void theTestSaysWhatTheServerAnswered()
    {
        QFETCH(QString, port);
        QFETCH(QString, reason);
        QFETCH(bool, probed);
        QFETCH(QString, shown);
        TestEnv env;
        Calls calls;
        auto d = dialog(env.path(QStringLiteral("kiv.ini")), &calls, reason);
        click(d->rb_server);
        fill(d.get(), QStringLiteral("db.lan"), port, QStringLiteral("kiv"), QStringLiteral("zhang"),
             QStringLiteral("s3cret"));
        QSignalSpy tested(d.get(), &w_datasource::tested);
        QTest::keyClick(d->cb_test, Qt::Key_Space);
        QTRY_COMPARE(tested.size(), 1);
        QVERIFY2(d->st_status->text().contains(shown), qPrintable(d->st_status->text()));
        QCOMPARE(calls.probed.size(), probed ? 1 : 0);
        if (probed) {
            QCOMPARE(calls.probed.first().first.host, QStringLiteral("db.lan"));
            QCOMPARE(calls.probed.first().second, QStringLiteral("s3cret"));
            QVERIFY(d->cb_test->isEnabled()); // ready for another try
        }
    }

    // 确定 writes the section (never the password into the profile) or clears it.
    void okWritesTheChoice_data()
    {
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("password");
        QTest::newRow("server, password typed") << true << QStringLiteral("s3cret");
        QTest::newRow("server, password file") << true << QString();
        QTest::newRow("back to the file") << false << QString();
    }
    void okWritesTheChoice()
    {
        QFETCH(bool, server);
        QFETCH(QString, password);
        TestEnv env;
        MessageRecorder recorder;
        const QString profile = env.path(QStringLiteral("kiv.ini"));
        QVERIFY(TestEnv::writeFile(profile, "[data]\r\nHGDETAIL=N\r\n[server]\r\ndriver=postgresql\r\nhost=old.lan\r\n"
                                            "port=5432\r\ndatabase=kiv\r\nuser=li\r\n"));
        Calls calls;
        auto d = dialog(profile, &calls);
        QVERIFY(d->rb_server->isChecked()); // the profile's server is shown
        QCOMPARE(d->sle_host->text(), QStringLiteral("old.lan"));
        click(server ? d->rb_server : d->rb_file);
        if (server)
            fill(d.get(), QStringLiteral("db.lan"), QStringLiteral("6543"), QStringLiteral("kiv"),
                 QStringLiteral("zhang"), password);
        QTest::mouseClick(d->cb_ok, Qt::LeftButton);
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(recorder.boxes().size(), 1); // takes effect at the next start
        QCOMPARE(ServerSettings::configured(profile), server);
        const QByteArray text = TestEnv::readFile(profile);
        QVERIFY(text.contains("HGDETAIL=N"));
        QVERIFY(!text.contains("s3cret"));
        if (server) {
            const ServerSettings s = ServerSettings::read(profile);
            QCOMPARE(s.host, QStringLiteral("db.lan"));
            QCOMPARE(s.portNumber(), 6543);
            QCOMPARE(s.user, QStringLiteral("zhang"));
        }
        QCOMPARE(calls.stored, password.isEmpty() ? QList<QString>{} : QList<QString>{password});
    }

    // A server section that cannot be used is not written and the dialog stays open.
    void okRefusesAnIncompleteServer()
    {
        TestEnv env;
        MessageRecorder recorder;
        const QString profile = env.path(QStringLiteral("kiv.ini"));
        Calls calls;
        auto d = dialog(profile, &calls);
        click(d->rb_server);
        fill(d.get(), QStringLiteral("db lan"), QStringLiteral("5432"), QStringLiteral("kiv"), QStringLiteral("zhang"),
             QStringLiteral("s3cret"));
        QTest::mouseClick(d->cb_ok, Qt::LeftButton);
        QCOMPARE(recorder.boxes().size(), 1);
        QVERIFY(d->isVisible());
        QVERIFY(!ServerSettings::configured(profile));
        QVERIFY(calls.stored.isEmpty());
    }
};

KIV_TEST_MAIN(tst_w_datasource)
#include "tst_w_datasource.moc"
