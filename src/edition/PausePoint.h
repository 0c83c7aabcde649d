#pragma once

#include <QString>

namespace edition {

// A place where a test stops the program to kill it there (the import's kill tests). Only
// active when the environment variable KIV_TEST_PAUSE holds "<name>:<marker file>": reaching
// that point writes the marker file and waits until the process is killed. Without the
// variable it costs one look-up.
class PausePoint
{
public:
    static void reach(const char *name);
    static QByteArray variable() { return QByteArrayLiteral("KIV_TEST_PAUSE"); }
};

} // namespace edition
