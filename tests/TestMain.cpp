#include "support/TestMain.h"

#include <QByteArray>
#include <QFileInfo>
#include <QMap>

#include <cstdio>
#include <vector>

namespace kivtest {

namespace {
QMap<QByteArray, Runner> &registry()
{
    static QMap<QByteArray, Runner> tests;
    return tests;
}
} // namespace

bool registerTest(const char *file, Runner run)
{
    registry().insert(QFileInfo(QString::fromLocal8Bit(file)).completeBaseName().toLocal8Bit(), run);
    return true;
}

int runNamed(int argc, char *argv[])
{
    const Runner run = argc > 1 ? registry().value(QByteArray(argv[1])) : nullptr;
    if (!run) {
        std::fprintf(stderr, "usage: %s TEST [QtTest options]; the tests here:\n", argc > 0 ? argv[0] : "tests");
        for (auto it = registry().cbegin(); it != registry().cend(); ++it)
            std::fprintf(stderr, "  %s\n", it.key().constData());
        return 2;
    }
    // The test sees its own name as the program's, as when it was a program of its own.
    std::vector<char *> args{argv[1]};
    for (int i = 2; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    int count = argc - 1;
    return run(count, args.data());
}

} // namespace kivtest

int main(int argc, char *argv[])
{
    return kivtest::runNamed(argc, argv);
}
