#pragma once

#include "core/server/ServerSettings.h"

#include <QString>

namespace server {

// Why a connection to the team database failed, in a sentence for the user: the common cases
// (no server at the address, refused, no answer in time, wrong password, unknown database or
// user, no right to connect or read) in Chinese; anything else as the driver said it.
class ConnectionProblem
{
public:
    static QString describe(const QString &driverText, const ServerSettings &settings);
};

} // namespace server
