#include "core/edition/CsvTable.h"

#include "core/edition/SourceText.h"

#include <algorithm>

namespace edition {

namespace {

bool fail(ReadError *error, Problem problem, int line, const QString &message)
{
    *error = {problem, QString(), line, message};
    return false;
}

} // namespace

bool CsvTable::parse(const QString &text, const QStringList &required, ReadError *error, const Progress &progress,
                     int from, int to)
{
    m_header.clear();
    m_columns.clear();
    m_records.clear();

    enum class State { StartField, Unquoted, Quoted, QuoteInQuoted };
    State state = State::StartField;
    const QChar *p = text.constData();
    const qsizetype size = text.size();
    int line = 1;
    QStringList fields;
    QString field;
    bool recordStarted = false;
    bool headerRead = false;
    int sinceProgress = 0;

    auto endRecord = [&](int recordLine) -> bool {
        if (recordStarted)
            fields.append(field);
        field.clear();
        if (!headerRead) {
            headerRead = true;
            for (const QString &name : std::as_const(fields))
                m_header.append(name.trimmed());
            QStringList missing;
            for (const QString &name : required) {
                if (!m_header.contains(name))
                    missing.append(name);
            }
            if (!missing.isEmpty())
                return fail(error, Problem::MissingColumns, recordLine,
                            QStringLiteral("标题行缺少列：%1").arg(missing.join(QStringLiteral(", "))));
            for (int i = 0; i < m_header.size(); ++i) {
                if (m_columns.contains(m_header[i]))
                    return fail(error, Problem::DuplicateColumn, recordLine,
                                QStringLiteral("标题行中列“%1”出现两次").arg(m_header[i]));
                m_columns.insert(m_header[i], i);
            }
        } else if (std::all_of(fields.cbegin(), fields.cend(), [](const QString &f) { return f.trimmed().isEmpty(); })) {
            // A blank line, or a record of empty fields (",,,," as some programs write at the
            // end of an export): no record, and no error.
        } else {
            if (fields.size() != m_header.size())
                return fail(error, Problem::FieldCount, recordLine,
                            QStringLiteral("应有 %1 个字段，实有 %2 个").arg(m_header.size()).arg(fields.size()));
            m_records.append({recordLine, fields});
        }
        fields.clear();
        recordStarted = false;
        state = State::StartField;
        if (progress && ++sinceProgress >= 2000) {
            sinceProgress = 0;
            if (!progress(from + int(qint64(p - text.constData()) * (to - from) / std::max<qsizetype>(size, 1))))
                return fail(error, Problem::Canceled, 0, QStringLiteral("已取消"));
        }
        return true;
    };

    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = p[i];
        const bool lineEnd = c == u'\n' || c == u'\r';
        if (lineEnd && state != State::Quoted) {
            // A blank line ends a record without fields, as csv.reader gives it.
            if (!endRecord(line))
                return false;
            if (c == u'\r' && i + 1 < size && p[i + 1] == u'\n')
                ++i;
            ++line;
            continue;
        }
        if (lineEnd) { // inside quotes: part of the field
            field.append(c);
            if (c == u'\r' && i + 1 < size && p[i + 1] == u'\n')
                field.append(p[++i]);
            ++line;
            continue;
        }
        switch (state) {
        case State::StartField:
            recordStarted = true;
            if (c == u'"')
                state = State::Quoted;
            else if (c == u',')
                fields.append(std::exchange(field, QString()));
            else {
                field.append(c);
                state = State::Unquoted;
            }
            break;
        case State::Unquoted:
            if (c == u',') {
                fields.append(std::exchange(field, QString()));
                state = State::StartField;
            } else {
                // The rest of the field at once: most of a tariff file is unquoted text.
                qsizetype end = i + 1;
                while (end < size && p[end] != u',' && p[end] != u'\n' && p[end] != u'\r')
                    ++end;
                field.append(QStringView(p + i, end - i));
                i = end - 1;
            }
            break;
        case State::Quoted:
            if (c == u'"')
                state = State::QuoteInQuoted;
            else
                field.append(c);
            break;
        case State::QuoteInQuoted:
            if (c == u'"') {
                field.append(c);
                state = State::Quoted;
            } else if (c == u',') {
                fields.append(std::exchange(field, QString()));
                state = State::StartField;
            } else
                return fail(error, Problem::BadCsv, line, QStringLiteral("CSV 格式错误：引号后应为逗号"));
            break;
        }
    }
    if (state == State::Quoted)
        return fail(error, Problem::BadCsv, line, QStringLiteral("CSV 格式错误：引号没有结束"));
    if (recordStarted && !endRecord(line))
        return false;
    if (!headerRead)
        return fail(error, Problem::Empty, 0, QStringLiteral("空文件（没有标题行）"));
    return true;
}

bool CsvTable::readFile(const QString &path, const QStringList &required, ReadError *error, const Progress &progress,
                        int from, int to)
{
    QString text;
    const int middle = from + (to - from) / 3;
    if (!SourceText::read(path, &text, error, progress, from, middle))
        return false;
    if (!parse(text, required, error, progress, middle, to)) {
        error->file = path;
        return false;
    }
    return true;
}

} // namespace edition
