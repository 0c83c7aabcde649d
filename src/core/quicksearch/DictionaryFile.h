#pragma once

#include <QString>
#include <QStringList>

namespace quicksearch {

// One line of a dictionary file with its number, counted from 1.
struct DictionaryLine {
    int number = 0;
    QString text;
};

// Reads a dictionary of the search field: a UTF-8 text file, one entry a line, lines beginning
// with # are notes and blank lines are left out. A file that is missing, unreadable, empty or
// not UTF-8 gives no lines and one problem naming the file; the caller reports the problems.
class DictionaryFile
{
public:
    static QList<DictionaryLine> read(const QString &path, QStringList *problems);
    // The same for text already read (the file's name only names it in problems).
    static QList<DictionaryLine> parse(const QByteArray &bytes, const QString &fileName, QStringList *problems);
    // "<file> 第 <n> 行：<what>".
    static QString lineProblem(const QString &fileName, int line, const QString &what);
};

} // namespace quicksearch
