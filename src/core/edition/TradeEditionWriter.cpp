#include "core/edition/TradeEditionWriter.h"

#include "core/edition/HeadingUnits.h"
#include "core/edition/TradeComparison.h"

#include <QHash>

namespace edition {

void TradeEditionWriter::write(SqlWriter &w, const EditionFile &file, const DatabaseSnapshot &snapshot,
                               const EditionComparison &comparison, const QString &edition, const QString &date)
{
    QHash<QString, const TradeCode *> byCode;
    byCode.reserve(file.tradeCodes.size());
    for (const TradeCode &t : file.tradeCodes)
        byCode.insert(t.code, &t);
    const QHash<QString, QString> units = HeadingUnits::of(snapshot.lines);

    for (const Change &c : comparison.changes) {
        const bool trade = c.list == CodeList::ForeignTrade;
        const TradeCode *t = byCode.value(c.code);
        switch (c.kind) {
        case ChangeKind::Removed:
            w.run(trade ? QStringLiteral("DELETE FROM list_jmwcode WHERE jmw_code = ?")
                        : QStringLiteral("DELETE FROM list_hscode WHERE code = ?"),
                  {c.code});
            // A heading that goes takes its Chinese name with it; a renamed one keeps it.
            if (!trade && snapshot.chineseHeadingNames.contains(c.code))
                w.run(QStringLiteral("DELETE FROM heading_name_cn WHERE code = ?"), {c.code});
            break;
        case ChangeKind::Renamed:
            w.run(trade ? QStringLiteral("UPDATE list_jmwcode SET name = ? WHERE jmw_code = ?")
                        : QStringLiteral("UPDATE list_hscode SET name = ? WHERE code = ?"),
                  {c.after, c.code});
            break;
        case ChangeKind::Machinery:
            w.run(QStringLiteral("UPDATE list_jmwcode SET m_flag = ? WHERE jmw_code = ?"), {c.after, c.code});
            break;
        case ChangeKind::Added:
            if (trade)
                w.run(QStringLiteral("INSERT INTO list_jmwcode (jmw_code, m_flag, name, unit) VALUES (?, ?, ?, ?)"),
                      {c.code, TradeComparison::machineryFlag(t->section), t->name,
                       SqlWriter::orNull(units.value(c.code))});
            else
                w.run(QStringLiteral(
                          "INSERT INTO list_hscode (code, name, unit, op_user, op_date) VALUES (?, ?, ?, ?, ?)"),
                      {c.code, t->name, SqlWriter::orNull(units.value(c.code)), edition, date});
            break;
        case ChangeKind::Chapter:
            if (!trade) {
                w.run(QStringLiteral("INSERT INTO list_hscode (code, flag, op_user, op_date) VALUES (?, 'Y', ?, ?)"),
                      {c.code, edition, date});
                break;
            }
            w.run(QStringLiteral("INSERT INTO list_jmwcode (jmw_code, m_flag, name, flag) VALUES (?, ?, ?, 'Y')"),
                  {c.code, TradeComparison::machineryFlag(t->section),
                   SqlWriter::orNull(snapshot.chapterNames.value(c.code))});
            break;
        default: // a foreign-trade edition changes nothing else
            break;
        }
    }
    w.run(QStringLiteral("UPDATE list_hscode SET op_user = ?, op_date = ? WHERE length(code) IN (4, 6)"),
          {edition, date});
}

} // namespace edition
