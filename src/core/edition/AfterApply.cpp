#include "core/edition/AfterApply.h"

#include <QList>

namespace edition {

namespace {
QList<AfterApply::Hook> &hooks()
{
    static QList<AfterApply::Hook> registered;
    return registered;
}
} // namespace

void AfterApply::add(Hook hook)
{
    hooks().append(std::move(hook));
}

QStringList AfterApply::run(runtime::Transaction *sqlca)
{
    QStringList lines;
    for (const Hook &hook : hooks()) {
        const QString line = hook(sqlca);
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

} // namespace edition
