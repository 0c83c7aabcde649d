#pragma once

#include "core/server/ServerSettings.h"

#include <QDialog>
#include <QFutureWatcher>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace server {

// The dialog of 工具/数据源设置...: the bundled database file or a team database server
// (host, port, database, user, password). 测试连接 tries the server without closing the
// dialog; 确定 writes the profile's [server] section (and a typed password into the user's
// ODBC data source, never into the profile). The new data source is used from the next start.
class w_datasource : public QDialog
{
    Q_OBJECT
public:
    // What a connection test answers: empty when connected, otherwise the reason.
    using Probe = std::function<QString(const ServerSettings &, const QString &password)>;
    // What 确定 does with the password typed (the settings are already in the profile):
    // 1 when stored, -1 with *error set.
    using PasswordStore = std::function<int(const ServerSettings &, const QString &password, QString *error)>;

    w_datasource(const QString &profileFile, Probe probe, PasswordStore storePassword, QWidget *parent = nullptr);
    ~w_datasource() override;

    // The settings as the fields hold them.
    ServerSettings settings() const;

    QRadioButton *rb_file = nullptr;
    QRadioButton *rb_server = nullptr;
    QLineEdit *sle_host = nullptr;
    QLineEdit *sle_port = nullptr;
    QLineEdit *sle_database = nullptr;
    QLineEdit *sle_user = nullptr;
    QLineEdit *sle_password = nullptr;
    QPushButton *cb_test = nullptr;
    QPushButton *cb_ok = nullptr;
    QPushButton *cb_cancel = nullptr;
    QLabel *st_status = nullptr;

public slots:
    // Checks the fields, writes the profile and closes; stays open (saying why) otherwise.
    void accept() override;
    // Tries the server in a worker; the answer comes to st_status.
    void testConnection();

signals:
    // A connection test has answered (for whoever waits for it).
    void tested(const QString &reason);

private:
    void createControls();
    void updateEnabled();
    void showStatus(const QString &text);

    QString m_profileFile;
    Probe m_probe;
    PasswordStore m_storePassword;
    QFutureWatcher<QString> m_test;
    QList<QWidget *> m_serverFields;
};

} // namespace server
