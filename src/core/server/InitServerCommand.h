#pragma once

#include <QString>
#include <QStringList>

class QTextStream;
namespace runtime {
class Transaction;
}

namespace server {

// kivtree --init-server [--force]: sets the team database of the profile's [server] section up
// with the bundled data (ServerSetup). kivtree --init-server --upgrade adds to a team database
// set up earlier the tables the team writes that it lacks, changing nothing else. Runs before any widget exists and needs no display.
// Exit status as --import: 0 done, 2 usage or refused (the database already holds the
// tables), 1 a database error.
class InitServerCommand
{
public:
    enum Status { Done = 0, DatabaseError = 1, BadInput = 2 };

    static bool requested(int argc, char **argv);
    static QString usage();

    // `settingsProblem`: why the [server] section cannot be used, empty when it can.
    // `connectString` opens the server, `bundledDatabase` is the SQLite file to copy.
    static int run(const QStringList &arguments, const QString &settingsProblem, const QString &connectString,
                   const QString &bundledDatabase, QTextStream &out, QTextStream &err);

private:
    static int upgrade(runtime::Transaction *server, QTextStream &out, QTextStream &err);
};

} // namespace server
