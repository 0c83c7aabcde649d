#pragma once

#include "core/edition/ReadError.h"

#include <QHash>
#include <QList>
#include <QString>

namespace edition {

// The checks db/make_db.py makes on every code of its files (check_code, check_unique), with
// its messages in the user's words, for the readers of both lists.
class CodeChecks
{
public:
    static bool isDigits(const QString &text);

    // Digits only, then one of `lengths`; `what` names the code in the message (编码, 章号).
    static bool code(const QString &path, int line, const QString &code, const QList<int> &lengths,
                     const QString &what, ReadError *error);

    // Not seen before in the file; remembers its line in *seen.
    static bool unique(const QString &path, int line, const QString &code, QHash<QString, int> *seen,
                       ReadError *error);

    static bool fail(ReadError *error, Problem problem, const QString &file, int line, const QString &message)
    {
        *error = {problem, file, line, message};
        return false;
    }
};

} // namespace edition
