#include "app/kiv.h"

#include "app/Features.h"
#include "ui/menu/m_main.h"

#include "core/data/CommodityTables.h"
#include "core/edition/AfterApply.h"
#include "core/edition/ImportCommand.h"
#include "core/library/ItemReview.h"
#include "core/runtime/Transaction.h"
#include "core/server/InitServerCommand.h"
#include "core/server/ServerConnection.h"
#include "core/server/ServerSettings.h"
#include "core/session/DataFolder.h"
#include "core/session/HelpTexts.h"
#include "core/session/ProfileDefaults.h"
#include "core/session/QtTranslation.h"
#include "core/session/f_registerodbc.h"
#include "core/session/globals.h"
#include "core/tariff/TariffSchemaUpgrade.h"
#include "ui/auxiliary/uo_toolbarfont.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/runtime/MessageBox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QTextStream>

namespace kiv {

namespace {
kiv *g_instance = nullptr;

void stopMessage(const QString &title, const QString &text)
{
    runtime::beep();
    runtime::messageBox(title, text, runtime::MessageIcon::StopSign);
}

// kivtree --import ...: on the database the program would open, without a window, so it
// runs where there is no display (a script, a server).
int runImport(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // The files are named from where the command was given; the data folder becomes current.
    const QString startFolder = QDir::currentPath();
    QString folderError;
    if (!DataFolder::enter(&folderError))
        err << QStringLiteral("kivtree: %1\n").arg(folderError);
    if (f_registerodbc() == -1) {
        bool serverMeant = false;
        const server::ServerSettings settings = server::ServerSettings::read(defaultProfilePath(), &serverMeant);
        if (serverMeant)
            err << QStringLiteral("kivtree: %1\n").arg(settings.validate());
        else
            err << QStringLiteral("kivtree: 找不到数据库 %1\n")
                       .arg(QDir::current().absoluteFilePath(DataFolder::databaseFile()));
        return edition::ImportCommand::DatabaseError;
    }
    return edition::ImportCommand::run(QCoreApplication::arguments(), QStringLiteral("DSN=K-I-V"), out, err,
                                       startFolder);
}

// The database that comes with the program: beside it in a run folder, else the installed one.
QString bundledDatabase()
{
    const QDir exe(QCoreApplication::applicationDirPath());
    if (exe.exists(DataFolder::databaseFile()))
        return exe.absoluteFilePath(DataFolder::databaseFile());
    return QDir(DataFolder::installedDataFolder(exe.absolutePath())).absoluteFilePath(DataFolder::databaseFile());
}

// kivtree --init-server [--force]: the team database of the profile's [server] section gets
// the bundled data; no window, as --import.
int runInitServer(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString folderError;
    if (!DataFolder::enter(&folderError))
        err << QStringLiteral("kivtree: %1\n").arg(folderError);
    bool serverMeant = false;
    const server::ServerSettings settings = server::ServerSettings::read(defaultProfilePath(), &serverMeant);
    QString problem = serverMeant ? settings.validate()
                                  : QStringLiteral("配置文件 %1 中没有 [server] 节").arg(defaultProfilePath());
    if (problem.isEmpty() && f_registerodbc() == -1)
        problem = QStringLiteral("注册数据库失败!");
    return server::InitServerCommand::run(QCoreApplication::arguments(), problem, QStringLiteral("DSN=K-I-V"), bundledDatabase(),
                                          out, err);
}

// Why the start-up failed, for the user: the message, and on a team database the reason.
QString withReason(const QString &message, const QString &reason)
{
    return reason.isEmpty() ? message : message + QStringLiteral("\n\n") + reason;
}
} // namespace

kiv::kiv(QObject *parent)
    : QObject(parent)
{
    g_instance = this;
    composeMainWindow();
}

kiv::~kiv()
{
    destroy();
    if (g_instance == this)
        g_instance = nullptr;
}

kiv *kiv::instance()
{
    return g_instance;
}

void kiv::create()
{
    m_appName = QStringLiteral("kiv");
    if (!sqlca)
        sqlca = new runtime::Transaction;
    gs_docname = defaultProfilePath();
    gs_hgtype.clear();
    gs_jmwtype.clear();
    gs_help = {};
}

int kiv::open(const QString &commandline)
{
    Q_UNUSED(commandline);

    // 1. The data source must exist before anything connects. A [server] section that cannot
    // be used stops here too: the bundled file is never taken in its place without a word.
    bool serverMeant = false;
    const server::ServerSettings serverSettings = server::ServerSettings::read(gs_docname, &serverMeant);
    if (f_registerodbc() == -1) {
        stopMessage(QStringLiteral("错 误 信 息"),
                    withReason(QStringLiteral("注册数据库失败!"), serverMeant ? serverSettings.validate() : QString()));
        return -1;
    }

    // 2. The help texts, once.
    gs_help = loadHelpTexts(QStringLiteral("./help.TXT"));

    // 3. The profile file with its defaults, when it is missing.
    ensureProfileFile();

    // 4. The one connection, automatic commit off.
    sqlca->dbms = QStringLiteral("ODBC");
    sqlca->autoCommit = false;
    sqlca->dbParm = QStringLiteral("Connectstring='DSN=K-I-V'");
    sqlca->connect();
    // A file that is not a database, or a damaged one, ends here. A sound database without
    // the commodity tables opens the window, whose loading then reports the missing data.
    // Tables another session holds are no damage: the loading then says it cannot read them.
    if (sqlca->sqlCode() == 0) {
        const DatabaseState state = commodityDatabaseState(sqlca);
        if (state == DatabaseState::Damaged)
            sqlca->disconnect();
        else if (state == DatabaseState::Busy)
            sqlca->rollback();
    }
    if (sqlca->sqlCode() != 0 || !sqlca->isConnected()) {
        // A server gives a reason worth reading (wrong password, unknown database, no rights).
        stopMessage(QStringLiteral("系统提醒您:"),
                    withReason(QStringLiteral("数据库连接失败!"), serverMeant ? sqlca->sqlErrText() : QString()));
        return -1;
    }
    sqlca->commit();
    // A team database is set up whole by --init-server; only the bundled file is upgraded.
    if (!server::ServerConnection::isServer(sqlca->dbmsName()))
        upgradeTariffTables();

    // 5. Frame-wide defaults of the toolbar and the status line.
    m_toolbarText = true;
    m_microHelpDefault = QStringLiteral("我们服务于您的信息化建设!");
    m_main::setDefaultMicroHelp(m_microHelpDefault);

    // 6. The main window; its own events load the data.
    m_mainWindow = new w_kiv;
    m_mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_mainWindow->open();

    // 7. The frame toolbar's font.
    uo_toolbarfont toolbarFont;
    toolbarFont.of_settoolbarfont(m_mainWindow, QStringLiteral("宋体"), -12, QStringLiteral("1234567"));

    // 8.
    m_toolbarText = true;
    return 1;
}

void kiv::upgradeTariffTables()
{
    // A database copied into the user's data folder by an older version lacks the tables of
    // the declarant's sheet; they come from the installed database beside the program. When
    // that cannot be done the program runs on, and the sheet says what it lacks.
    const QString installed = QDir(DataFolder::installedDataFolder(QCoreApplication::applicationDirPath()))
                                  .filePath(DataFolder::databaseFile());
    const QString source = QFileInfo(installed).canonicalFilePath()
            == QFileInfo(DataFolder::databaseFile()).canonicalFilePath()
        ? QString()
        : installed;
    const auto result = tariff::TariffSchemaUpgrade::upgrade(sqlca, source);
    if (!result.complete())
        qWarning("Kivtree: the database lacks %s: %s", qPrintable(result.missingTables.join(QStringLiteral(", "))),
                 qPrintable(result.message));
}

void kiv::ensureProfileFile()
{
    if (!QFileInfo::exists(gs_docname))
        createDefaultProfile(gs_docname);
}

void kiv::close()
{
    if (sqlca && sqlca->isConnected())
        sqlca->disconnect();
}

void kiv::destroy()
{
    delete m_mainWindow;
    delete sqlca;
    sqlca = nullptr;
}

int run(int argc, char *argv[])
{
    // Features that follow a new edition, composed here so the edition knows nothing of them.
    edition::AfterApply::add(&library::ItemReview::afterEdition);
    if (server::InitServerCommand::requested(argc, argv))
        return runInitServer(argc, argv);
    if (edition::ImportCommand::requested(argc, argv))
        return runImport(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kivtree"));
    QApplication::setApplicationVersion(QStringLiteral("2.2"));
    QApplication::setDesktopFileName(QStringLiteral("kivtree"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/app/icons/kivtree-48.png"));
    icon.addFile(QStringLiteral(":/app/icons/kivtree-128.png"));
    QApplication::setWindowIcon(icon);
    QString translationProblem;
    if (!QtTranslation::install(&app, &translationProblem)) // the program runs on, in Qt's English
        qWarning("Kivtree: %s", qPrintable(translationProblem));
    QString folderError;
    if (!DataFolder::enter(&folderError)) // the start-up then reports the missing database
        qWarning("Kivtree: %s", qPrintable(folderError));

    kiv application;
    application.create();
    if (application.open() != 1) {
        application.destroy();
        return 1;
    }
    const int status = app.exec();
    application.close();
    application.destroy();
    return status;
}

} // namespace kiv
