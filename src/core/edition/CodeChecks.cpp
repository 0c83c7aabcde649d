#include "core/edition/CodeChecks.h"

#include <QStringList>

namespace edition {

bool CodeChecks::isDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool CodeChecks::code(const QString &path, int line, const QString &code, const QList<int> &lengths,
                      const QString &what, ReadError *error)
{
    if (!isDigits(code))
        return fail(error, Problem::BadCode, path, line, QStringLiteral("%1“%2”有误：只能是数字").arg(what, code));
    if (!lengths.contains(int(code.size()))) {
        QStringList allowed;
        for (int n : lengths)
            allowed.append(QString::number(n));
        return fail(error, Problem::BadCode, path, line,
                    QStringLiteral("%1“%2”有误：%3 位，应为 %4 位")
                        .arg(what, code)
                        .arg(code.size())
                        .arg(allowed.join(QStringLiteral("、"))));
    }
    return true;
}

bool CodeChecks::unique(const QString &path, int line, const QString &code, QHash<QString, int> *seen,
                        ReadError *error)
{
    const auto it = seen->constFind(code);
    if (it != seen->cend())
        return fail(error, Problem::DuplicateCode, path, line,
                    QStringLiteral("编码“%1”重复（第 %2 行已有）").arg(code).arg(it.value()));
    seen->insert(code, line);
    return true;
}

} // namespace edition
