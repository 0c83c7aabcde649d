#include "core/edition/ImportJob.h"

#include "core/edition/BackgroundWork.h"
#include "core/edition/EditionBackups.h"
#include "core/edition/EditionReader.h"

namespace edition {

ImportJob::Reading ImportJob::read(const QString &path, const QString &chaptersPath, std::optional<CodeList> list,
                                   const DatabaseSnapshot &snapshot, const Progress &progress,
                                   const std::function<bool()> &canceled)
{
    Reading r;
    r.ok = EditionReader::read(path, chaptersPath, list, &r.file, &r.error, progress);
    const bool stop = canceled && canceled();
    if (r.ok && !stop)
        r.comparison = EditionComparison::compare(r.file, snapshot);
    if (r.ok && stop)
        r = Reading{false, {}, {Problem::Canceled, path, 0, QStringLiteral("已取消")}, {}};
    return r;
}

ImportJob::Applied ImportJob::apply(runtime::Transaction *trans, const EditionFile &file,
                                    const EditionApplier::Options &options, bool background, const Reading *current,
                                    const DatabaseSnapshot *snapshot)
{
    Applied applied;
    DatabaseSnapshot now;
    if (current && snapshot) {
        now = *snapshot;
        applied.comparison = current->comparison;
    } else {
        QString error;
        if (!DatabaseSnapshot::read(trans, &now, &error)) {
            applied.result.message = error;
            return applied;
        }
        applied.comparison = EditionComparison::compare(file, now);
    }
    const QString databaseFile = EditionBackups::databaseFileOf(trans);
    const auto write = [&] {
        return EditionApplier::apply(trans, databaseFile, file, now, applied.comparison, options);
    };
    applied.result = background ? BackgroundWork::run(trans, write) : write();
    return applied;
}

} // namespace edition
