#include "core/edition/RestoreReport.h"

#include "core/edition/ChangeReport.h"
#include "core/edition/EditionMessages.h"
#include "core/edition/SnapshotComparison.h"

namespace edition {

namespace {

bool readState(runtime::Transaction *sqlca, DatabaseSnapshot *lines, EditionStamp *customs, EditionStamp *trade,
               QString *error)
{
    return DatabaseSnapshot::read(sqlca, lines, error) && EditionStamp::read(sqlca, CodeList::Customs, customs, error)
        && EditionStamp::read(sqlca, CodeList::ForeignTrade, trade, error);
}

} // namespace

RestoreReport::RestoreReport(runtime::Transaction *sqlca)
    : m_sqlca(sqlca)
{
    if (!readState(sqlca, &m_lines, &m_customs, &m_trade, &m_error) && m_error.isEmpty())
        m_error = QStringLiteral("not connected");
}

QString RestoreReport::message() const
{
    DatabaseSnapshot lines;
    EditionStamp customs, trade;
    QString error = m_error;
    if (error.isEmpty() && !readState(m_sqlca, &lines, &customs, &trade, &error) && error.isEmpty())
        error = QStringLiteral("not connected");
    if (!error.isEmpty())
        return QStringLiteral("已恢复上一版本，但无法列出变更：%1").arg(error);
    const EditionComparison changes = SnapshotComparison::compare(m_lines, lines);
    return EditionMessages::restored(changes.list, m_customs, customs, m_trade, trade, ChangeReport::summary(changes));
}

} // namespace edition
