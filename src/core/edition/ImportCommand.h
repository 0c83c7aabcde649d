#pragma once

#include "core/edition/EditionLine.h"

#include <QString>
#include <QStringList>

class QTextStream;

namespace edition {

// kivtree --import FILE [--chapters FILE] [--list customs|trade] [--edition NAME] [--dry-run]
// Reads and checks the file (the list it holds told by its header when --list is not given),
// prints the database it works on and the change summary, and applies the edition unless
// --dry-run. Runs before any widget exists and needs no display.
class ImportCommand
{
public:
    enum Status { Done = 0, DatabaseError = 1, BadInput = 2 };

    // True when the program's arguments ask for an import.
    static bool requested(int argc, char **argv);

    // `arguments` as QCoreApplication gives them (the program first). `connectString` opens
    // the database the program would open; relative file names are taken from `startFolder`.
    static int run(const QStringList &arguments, const QString &connectString, QTextStream &out, QTextStream &err,
                   const QString &startFolder = QString());

    // The edition a file name suggests: cn_hscode_2027.csv -> CN2027, hs_2027.csv of the
    // foreign-trade list -> HS2027 (the current year when the name has none).
    static QString editionFromFileName(const QString &path, CodeList list = CodeList::Customs);

    static QString usage();
};

} // namespace edition
