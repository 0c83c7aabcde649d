#pragma once

#include <QString>

namespace runtime {
class Transaction;
}

namespace server {

// Who may change the editions of a team database: the owner of its tables imports and
// restores; the team's roles may not. Asked before anything of an import is read.
class ServerRoles
{
public:
    struct Answer {
        bool allowed = false;
        QString owner;   // the role that owns the lists
        QString message; // why not, in words for the user; empty when allowed
    };
    // On the bundled file everyone may.
    static Answer mayChangeEditions(runtime::Transaction *sqlca);
};

} // namespace server
