#pragma once

#include "core/edition/DatabaseSnapshot.h"
#include "core/edition/EditionStamp.h"

#include <QString>

namespace runtime {
class Transaction;
}

namespace edition {

// Tells what 恢复上一版本 changed: made before the restore, it keeps the lists and their
// editions as they were; message() reads them again and says the editions before → after and
// the changes counted as an import's preview counts them.
class RestoreReport
{
public:
    explicit RestoreReport(runtime::Transaction *sqlca);
    QString message() const;

private:
    runtime::Transaction *m_sqlca;
    DatabaseSnapshot m_lines;
    EditionStamp m_customs;
    EditionStamp m_trade;
    QString m_error; // why the lists could not be read before
};

} // namespace edition
