#include "RunningProgram.h"

#include "TestDatabase.h"
#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/session/globals.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/tree/u_tv.h"

#include <QtTest>

RunningProgram::RunningProgram() = default;

RunningProgram::~RunningProgram()
{
    if (sqlca)
        stop();
}

bool RunningProgram::makeDatabase(const QString &rows)
{
    return TestDatabase::create(file) && TestDatabase::exec(file, rows);
}

bool RunningProgram::connectDatabase()
{
    gs_docname = env.configHome() + QStringLiteral("/velquor_kiv.ini");
    transaction = std::make_unique<runtime::Transaction>();
    transaction->dbParm = QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(file));
    transaction->autoCommit = false;
    sqlca = transaction.get();
    return transaction->connect() == 0;
}

bool RunningProgram::start()
{
    if (!connectDatabase())
        return false;
    window = std::make_unique<w_kiv>();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        return false;
    window->ue_postopen();
    window->tv_1->setFocus();
    return true;
}

void RunningProgram::stop()
{
    window.reset();
    transaction->disconnect();
    sqlca = nullptr;
}

long RunningProgram::handleOf(const QString &code) const
{
    const long row = window->dw_1->find(QStringLiteral("code='%1'").arg(code), 1, window->dw_1->rowCount());
    return row > 0 ? window->dw_1->item(row, QStringLiteral("handle")).toLongLong() : -1;
}
