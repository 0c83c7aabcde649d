#pragma once

// The tests of a folder are one program: each test file registers its QtTest class under the
// file's name, and the program's main runs the class its first argument names
// (`tests_sheet tst_w_sheet [QtTest options]`). KIV_TEST_MAIN and its two variants take the place
// of QTEST_MAIN, QTEST_GUILESS_MAIN and QTEST_APPLESS_MAIN, with the same application object.

#include <QApplication>
#include <QCoreApplication>
#include <QtTest/QtTest>

namespace kivtest {

using Runner = int (*)(int argc, char *argv[]);

// Registers a test file's class; file is the file's path (__FILE__). Always true.
bool registerTest(const char *file, Runner run);
// Runs the class argv[1] names with the remaining arguments: its exit status, or 2 with the
// list of classes when the name is missing or unknown.
int runNamed(int argc, char *argv[]);

} // namespace kivtest

#define KIV_TEST_ENTRY(TestObject, ...)                                                            \
    namespace {                                                                                    \
    int kivRunTest(int argc, char *argv[])                                                         \
    {                                                                                              \
        QTest::Internal::callInitMain<TestObject>();                                               \
        __VA_ARGS__                                                                                \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }                                                                                              \
    const bool kivTestRegistered = kivtest::registerTest(__FILE__, &kivRunTest);                   \
    }

#define KIV_TEST_APP(klass)                                                                        \
    klass app(argc, argv);                                                                         \
    app.setAttribute(Qt::AA_Use96Dpi, true);

#define KIV_TEST_MAIN(TestObject) KIV_TEST_ENTRY(TestObject, KIV_TEST_APP(QApplication))
#define KIV_TEST_GUILESS_MAIN(TestObject) KIV_TEST_ENTRY(TestObject, KIV_TEST_APP(QCoreApplication))
#define KIV_TEST_APPLESS_MAIN(TestObject) KIV_TEST_ENTRY(TestObject)
