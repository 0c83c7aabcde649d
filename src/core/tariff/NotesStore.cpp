#include "core/tariff/NotesStore.h"

#include "core/tariff/NoteEvents.h"

#include "core/runtime/ManualCommit.h"
#include "core/runtime/Transaction.h"
#include "core/server/ServerConnection.h"

#include <QDir>
#include <QVector>

namespace tariff {

namespace {

QString loginName()
{
    for (const char *variable : {"USER", "LOGNAME"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    return QDir::home().dirName();
}

// ISO 8601 local time with its offset from UTC ("2026-08-18T14:03:05+08:00"), so that the
// times of colleagues in other time zones on a shared database still compare.
QString timestamp(const QDateTime &now)
{
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace

NotesStore::NotesStore(runtime::Transaction *sqlca) : m_sqlca(sqlca), m_userName(loginName()) {}

int NotesStore::characterCount(const QString &text)
{
    // A surrogate pair is one character; a lone surrogate counts as one too.
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

std::optional<NotesStore::Note> NotesStore::note(const QString &list, const QString &code)
{
    m_lastError.clear();
    if (!m_sqlca || !m_sqlca->isConnected()) {
        m_lastError = QStringLiteral("not connected");
        return std::nullopt;
    }
    using runtime::ColumnType;
    QVector<QVector<QVariant>> rows;
    const QString sql = QStringLiteral("SELECT note, keywords, changed_at, changed_by, version "
                                       "FROM user_note WHERE list = ? AND code = ?");
    if (m_sqlca->select(m_sqlca->adaptSql(sql),
                        {ColumnType::String, ColumnType::String, ColumnType::String,
                         ColumnType::String, ColumnType::Long},
                        &rows, {list, code}) != 0) {
        m_lastError = m_sqlca->sqlErrText();
        return std::nullopt;
    }
    if (rows.isEmpty())
        return std::nullopt;
    const QVector<QVariant> &row = rows.first();
    Note n;
    n.list = list;
    n.code = code;
    n.text = row.value(0).toString();
    n.keywords = row.value(1).toString();
    n.changedAt = QDateTime::fromString(row.value(2).toString(), Qt::ISODate);
    n.changedBy = row.value(3).toString();
    n.version = row.value(4).toInt();
    return n;
}

NotesStore::SaveResult NotesStore::save(const QString &list, const QString &code,
                                        const QString &text, const QString &keywords,
                                        std::optional<int> baseVersion)
{
    m_lastError.clear();
    SaveResult result;
    if (list.isEmpty() || code.isEmpty()) {
        result.status = SaveStatus::NoKey;
        result.message = QStringLiteral("没有指定编码，备注未保存。");
        return result;
    }
    const int noteLength = characterCount(text);
    if (noteLength > kMaxNoteLength) {
        result.status = SaveStatus::NoteTooLong;
        result.message = QStringLiteral("备注最多 %1 个字，现有 %2 个字。").arg(kMaxNoteLength).arg(noteLength);
        return result;
    }
    const int keywordsLength = characterCount(keywords);
    if (keywordsLength > kMaxKeywordsLength) {
        result.status = SaveStatus::KeywordsTooLong;
        result.message = QStringLiteral("关键词最多 %1 个字，现有 %2 个字。")
                             .arg(kMaxKeywordsLength)
                             .arg(keywordsLength);
        return result;
    }
    if (!m_sqlca || !m_sqlca->isConnected()) {
        result.message = m_lastError = QStringLiteral("not connected");
        return result;
    }
    runtime::ManualCommit manual(m_sqlca);
    result = write(list, code, text, keywords, baseVersion);
    if (result.ok() && m_sqlca->commit() != 0)
        result = {SaveStatus::DatabaseError, 0, m_sqlca->sqlErrText(), {}};
    if (!result.ok()) {
        const QString error = result.message;
        m_sqlca->rollback();
        m_lastError = error;
    }
    // A colleague's change that a save came upon is a change the user now sees as well.
    if (result.ok() || result.status == SaveStatus::Conflict)
        emit NoteEvents::instance()->noteChanged(list, code);
    return result;
}

NotesStore::SaveResult NotesStore::write(const QString &list, const QString &code,
                                         const QString &text, const QString &keywords,
                                         std::optional<int> baseVersion)
{
    const auto failed = [this]() { return SaveResult{SaveStatus::DatabaseError, 0, m_sqlca->sqlErrText(), {}}; };
    // Each statement names the version it expects, so that of two colleagues saving the same
    // note at once only one changes it, whatever the database's isolation level.
    const bool checked = baseVersion.has_value() && *baseVersion > 0;
    const QString versionTest = checked ? QStringLiteral(" AND version = ?") : QString();
    QVector<QVariant> key{list, code};
    if (checked)
        key.append(*baseVersion);
    const bool insertOnly = baseVersion.has_value() && !checked; // read as no note at all
    if (text.trimmed().isEmpty() && keywords.trimmed().isEmpty()) {
        if (insertOnly) // nothing to delete, unless a colleague has written a note meanwhile
            return note(list, code).has_value() ? conflict(list, code) : SaveResult{SaveStatus::Deleted, 0, {}, {}};
        if (m_sqlca->execute(m_sqlca->adaptSql(QStringLiteral("DELETE FROM user_note WHERE list = ? AND code = ?")
                                               + versionTest),
                             key) != 0)
            return failed();
        if (m_sqlca->sqlNRows() == 0 && baseVersion.has_value() && note(list, code).has_value())
            return conflict(list, code);
        return {SaveStatus::Deleted, 0, QString(), {}};
    }
    // On a team database the writer is the database role, whatever the login name: the server
    // refuses a note in anyone else's name and stamps who and when itself.
    const QString changedAt = timestamp(QDateTime::currentDateTime());
    QString changedBy = m_userName;
    if (server::ServerConnection::isServer(m_sqlca->dbmsName())) {
        QVector<QVector<QVariant>> role;
        if (m_sqlca->select(QStringLiteral("SELECT current_user"), {runtime::ColumnType::String}, &role) != 0
            || role.isEmpty())
            return failed();
        changedBy = role.first().value(0).toString();
    }
    // Read as no note at all: the first save inserts; a colleague's note that came first
    // takes the key.
    if (!insertOnly) {
        QVector<QVariant> update{text, keywords, changedAt, changedBy};
        update += key;
        if (m_sqlca->execute(m_sqlca->adaptSql(QStringLiteral(
                                 "UPDATE user_note SET note = ?, keywords = ?, changed_at = ?, changed_by = ?, "
                                 "version = version + 1 WHERE list = ? AND code = ?")
                                               + versionTest),
                             update) != 0)
            return failed();
        if (m_sqlca->sqlNRows() == 0 && checked)
            return conflict(list, code); // changed or deleted since it was read
    }
    if (insertOnly || m_sqlca->sqlNRows() == 0) {
        if (m_sqlca->execute(m_sqlca->adaptSql(QStringLiteral(
                                 "INSERT INTO user_note (list, code, note, keywords, changed_at, changed_by, "
                                 "version) VALUES (?, ?, ?, ?, ?, ?, 1)")),
                             {list, code, text, keywords, changedAt, changedBy})
            != 0) {
            const SaveResult error = failed();
            m_sqlca->rollback();
            return insertOnly && note(list, code).has_value() ? conflict(list, code) : error;
        }
    }
    QVector<QVector<QVariant>> rows;
    if (m_sqlca->select(m_sqlca->adaptSql(QStringLiteral("SELECT version FROM user_note WHERE list = ? AND code = ?")),
                        {runtime::ColumnType::Long}, &rows, {list, code}) != 0)
        return failed();
    return {SaveStatus::Saved, rows.value(0).value(0).toInt(), QString(), {}};
}

NotesStore::SaveResult NotesStore::conflict(const QString &list, const QString &code)
{
    SaveResult result{SaveStatus::Conflict, 0, QString(), note(list, code)};
    result.version = result.current ? result.current->version : 0;
    result.message = result.current
        ? QStringLiteral("%1 已于 %2 修改了此备注。")
              .arg(result.current->changedBy, result.current->changedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm")))
        : QStringLiteral("此备注已被他人删除。");
    return result;
}

QSet<QString> NotesStore::codesWithNotes(const QString &list)
{
    m_lastError.clear();
    QSet<QString> codes;
    if (!m_sqlca || !m_sqlca->isConnected()) {
        m_lastError = QStringLiteral("not connected");
        return codes;
    }
    QVector<QVector<QVariant>> rows;
    if (m_sqlca->select(m_sqlca->adaptSql(QStringLiteral("SELECT code FROM user_note WHERE list = ?")),
                        {runtime::ColumnType::String}, &rows, {list}) != 0) {
        m_lastError = m_sqlca->sqlErrText();
        return codes;
    }
    for (const QVector<QVariant> &row : rows)
        codes.insert(row.value(0).toString());
    return codes;
}

} // namespace tariff
