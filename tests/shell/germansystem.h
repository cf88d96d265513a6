#pragma once

#include <QApplication>
#include <QtTest>

// Runs `Test` in a process whose user's system speaks German. Qt reads the system locale from the
// environment when the application starts, so it is set before the application exists.
template <class Test>
int runOnGermanSystem(int argc, char* argv[])
{
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    qputenv("LANG", "de_DE.UTF-8");
    QApplication app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}
