#include "ui/server/w_datasource.h"

#include "ui/auxiliary/DialogLook.h"
#include "ui/runtime/MessageBox.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace server {

w_datasource::w_datasource(const QString &profileFile, Probe probe, PasswordStore storePassword, QWidget *parent)
    : QDialog(parent)
    , m_profileFile(profileFile)
    , m_probe(std::move(probe))
    , m_storePassword(std::move(storePassword))
{
    setObjectName(QStringLiteral("w_datasource"));
    setWindowTitle(QStringLiteral("数据源设置"));
    createControls();
    kiv::applyDialogLook(this);
    setMinimumWidth(fontMetrics().averageCharWidth() * 64); // the password hint and a reason fit

    bool configured = false;
    const ServerSettings current = ServerSettings::read(m_profileFile, &configured);
    (configured ? rb_server : rb_file)->setChecked(true);
    sle_host->setText(current.host);
    sle_port->setText(current.port.isEmpty() ? QString::number(ServerSettings::kDefaultPort) : current.port);
    sle_database->setText(current.database);
    sle_user->setText(current.user);
    updateEnabled();
    connect(&m_test, &QFutureWatcher<QString>::finished, this, [this] {
        const QString reason = m_test.result();
        showStatus(reason.isEmpty() ? QStringLiteral("连接成功。") : QStringLiteral("连接失败: ") + reason);
        cb_test->setEnabled(rb_server->isChecked());
        emit tested(reason);
    });
}

w_datasource::~w_datasource()
{
    // The probe gives up by itself within seconds (the connection's login timeout).
    m_test.waitForFinished();
}

void w_datasource::createControls()
{
    auto *layout = new QVBoxLayout(this);
    rb_file = new QRadioButton(QStringLiteral("随程序附带的数据库文件(&F)"), this);
    rb_file->setObjectName(QStringLiteral("rb_file"));
    rb_server = new QRadioButton(QStringLiteral("团队数据库服务器 PostgreSQL(&S)"), this);
    rb_server->setObjectName(QStringLiteral("rb_server"));
    layout->addWidget(rb_file);
    layout->addWidget(rb_server);

    auto *box = new QGroupBox(QStringLiteral("服务器"), this);
    auto *form = new QFormLayout(box);
    const auto field = [&](const QString &caption, const char *name, QLineEdit **edit) {
        *edit = new QLineEdit(box);
        (*edit)->setObjectName(QString::fromLatin1(name));
        auto *label = new QLabel(caption, box);
        label->setBuddy(*edit); // the screen reader reads the caption with the field
        form->addRow(label, *edit);
        m_serverFields << label << *edit;
    };
    field(QStringLiteral("主机(&H):"), "sle_host", &sle_host);
    field(QStringLiteral("端口(&P):"), "sle_port", &sle_port);
    field(QStringLiteral("数据库(&B):"), "sle_database", &sle_database);
    field(QStringLiteral("用户(&U):"), "sle_user", &sle_user);
    field(QStringLiteral("密码(&W):"), "sle_password", &sle_password);
    sle_password->setEchoMode(QLineEdit::Password);
    sle_password->setPlaceholderText(QStringLiteral("留空: 使用 ~/.pgpass 中的密码"));
    layout->addWidget(box);

    cb_test = new QPushButton(QStringLiteral("测试连接(&T)"), this);
    cb_test->setObjectName(QStringLiteral("cb_test"));
    st_status = new QLabel(this);
    st_status->setObjectName(QStringLiteral("st_status"));
    st_status->setWordWrap(true);
    st_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *testRow = new QHBoxLayout;
    testRow->addWidget(cb_test);
    testRow->addWidget(st_status, 1);
    layout->addLayout(testRow);

    auto *buttons = new QDialogButtonBox(this);
    cb_ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    cb_ok->setObjectName(QStringLiteral("cb_ok"));
    cb_cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cb_cancel->setObjectName(QStringLiteral("cb_cancel"));
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &w_datasource::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &w_datasource::reject);
    connect(cb_test, &QPushButton::clicked, this, &w_datasource::testConnection);
    // The state is read from the buttons, so a screen reader's toggle counts as a click.
    connect(rb_server, &QRadioButton::toggled, this, &w_datasource::updateEnabled);
}

ServerSettings w_datasource::settings() const
{
    ServerSettings s;
    s.host = sle_host->text().trimmed();
    s.port = sle_port->text().trimmed();
    s.database = sle_database->text().trimmed();
    s.user = sle_user->text().trimmed();
    return s;
}

void w_datasource::updateEnabled()
{
    const bool server = rb_server->isChecked();
    for (QWidget *w : std::as_const(m_serverFields))
        w->setEnabled(server);
    cb_test->setEnabled(server && !m_test.isRunning());
}

void w_datasource::showStatus(const QString &text)
{
    st_status->setText(text);
    st_status->setAccessibleName(text);
}

void w_datasource::testConnection()
{
    if (m_test.isRunning() || !rb_server->isChecked())
        return;
    const ServerSettings s = settings();
    const QString invalid = s.validate();
    if (!invalid.isEmpty()) {
        showStatus(invalid);
        emit tested(invalid);
        return;
    }
    showStatus(QStringLiteral("正在连接 %1:%2 ...").arg(s.host, s.port));
    cb_test->setEnabled(false);
    m_test.setFuture(QtConcurrent::run(m_probe, s, sle_password->text()));
}

void w_datasource::accept()
{
    QString error;
    bool written = false;
    if (rb_file->isChecked()) {
        written = ServerSettings::clear(m_profileFile) == 1;
        if (!written)
            error = QStringLiteral("无法写入配置文件 %1").arg(m_profileFile);
    } else {
        const ServerSettings s = settings();
        error = s.validate();
        if (error.isEmpty())
            written = s.write(m_profileFile, &error) == 1;
        // A password only when one was typed: otherwise libpq's password file gives it.
        if (written && !sle_password->text().isEmpty() && m_storePassword)
            written = m_storePassword(s, sle_password->text(), &error) == 1;
    }
    if (!written) {
        runtime::messageBox(QStringLiteral("提 示 信 息"), error, runtime::MessageIcon::Exclamation,
                            runtime::MessageButtons::Ok, 1, this);
        return;
    }
    runtime::messageBox(QStringLiteral("系统提醒您:"), QStringLiteral("数据源设置已保存，重新启动程序后生效。"),
                        runtime::MessageIcon::Information, runtime::MessageButtons::Ok, 1, this);
    QDialog::accept();
}

} // namespace server
