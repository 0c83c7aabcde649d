#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace edition {

// A place where a test stops the program to kill it there (the import's kill tests). Only
// active when the environment variable KIV_TEST_PAUSE holds "<name>:<marker file>": reaching
// that point writes the marker file and waits until the process is killed. Without the
// variable it costs one look-up. A test in the same process may instead run a handler there.
class PausePoint
{
public:
    using Handler = std::function<void(const QByteArray &name)>;

    static void reach(const char *name);
    // In-process tests: called at every point reached (a second actor works there), before the
    // environment is looked at. An empty handler removes it.
    static void setHandler(Handler handler);
    static QByteArray variable() { return QByteArrayLiteral("KIV_TEST_PAUSE"); }
};

} // namespace edition
