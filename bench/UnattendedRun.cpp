#include "UnattendedRun.h"

#include "BenchDatabase.h"
#include "core/runtime/Transaction.h"
#include "core/session/globals.h"
#include "ui/runtime/MessageBox.h"

namespace bench {

void UnattendedRun::preferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

UnattendedRun::UnattendedRun()
{
    runtime::setMessageHandler([](const runtime::MessageRequest &request) { return request.defaultButton; });
}

UnattendedRun::~UnattendedRun()
{
    disconnect();
}

QString UnattendedRun::bundled()
{
    return QStringLiteral(KIV_RUN_DIR "/K-I-V.db");
}

bool UnattendedRun::connectProgram(const QString &databaseFile)
{
    disconnect();
    m_transaction = connectTo(databaseFile);
    if (!m_transaction)
        return false;
    sqlca = m_transaction.get();
    gs_docname = profile();
    return true;
}

void UnattendedRun::disconnect()
{
    if (!m_transaction)
        return;
    sqlca = nullptr;
    m_transaction->disconnect();
    m_transaction.reset();
}

} // namespace bench
