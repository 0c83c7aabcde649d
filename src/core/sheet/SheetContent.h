#pragma once

#include "core/tariff/CodeList.h"
#include "core/tariff/TariffRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace sheet {

// What the declarant's sheet shows for one code, as captions and values in groups: the
// whole tariff record of a customs line, or the name, code path and size of a heading,
// subheading, chapter or foreign-trade code. Empty fields read "无", never an empty gap.
struct SheetContent {
    struct Row {
        QString caption;
        QString value;
    };
    struct Group {
        QString title;
        QList<Row> rows;
    };
    struct PathStep {
        QString code;
        QString name;
    };

    QString list; // "hs" or "jmw"
    QString code;
    QString name;
    bool isTariffLine = false;
    QStringList elements;     // the declaration elements in order (tariff lines only)
    tariff::TariffRecord record; // the whole record (tariff lines only): the calculator reads its rates
    QList<Group> groups;
    QString missingNote;      // which fields this database cannot give; empty when none

    // A customs tariff line: every field of its record in groups 进口税率, 出口, 单位, 监管条件,
    // 检验检疫, 申报要素, with the code lists' names for the letters.
    static SheetContent forTariffLine(const tariff::TariffRecord &record, const tariff::CodeList &certificates,
                                      const tariff::CodeList &categories);

    // Any other code: its name, the chapter-to-parent path above it and how many codes and
    // lines stand below it.
    static SheetContent forCode(const QString &list, const QString &code, const QString &name,
                                const QList<PathStep> &path, int codesBelow, int linesBelow);

    // A code the current edition no longer has, whose note stays: says so, with the nearest
    // code of its list that exists (empty code when none does).
    static SheetContent forRemovedCode(const QString &list, const QString &code, const PathStep &nearest);
    static QString removedMark() { return QStringLiteral("（当前版本中已无此编码）"); }

    // The whole sheet as plain text, one "caption: value" line per row, for the clipboard.
    QString toText() const;

    // The text shown for an empty field.
    static QString none() { return QStringLiteral("无"); }
};

} // namespace sheet
