#pragma once
// Reads written files back with independent readers: Python's csv module, openpyxl for
// workbooks and poppler's pdftotext, as a colleague's program would open them.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

namespace readback {

// The first Python that has openpyxl (Debian's python3-openpyxl lives in the system's
// interpreter, which another python3 earlier on PATH may hide).
inline QString python()
{
    static const QString found = [] {
        for (const QString &candidate : {QStringLiteral("python3"), QStringLiteral("/usr/bin/python3")}) {
            QProcess p;
            p.start(candidate, {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
            if (p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
                return candidate;
        }
        return QStringLiteral("python3");
    }();
    return found;
}

inline QByteArray run(const QString &program, const QStringList &args, QString *error)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        *error = program + QStringLiteral(": ") + QString::fromUtf8(p.readAllStandardError());
        return QByteArray();
    }
    return p.readAllStandardOutput();
}

// The records of a CSV file (its byte-order mark taken off by the utf-8-sig codec).
inline QList<QStringList> csv(const QString &path, QString *error)
{
    const QByteArray out = run(QStringLiteral("python3"), {QStringLiteral("-c"),
        QStringLiteral("import csv, json, sys\n"
                       "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                       "    print(json.dumps(list(csv.reader(f))))"), path}, error);
    QList<QStringList> rows;
    for (const QJsonValue &row : QJsonDocument::fromJson(out).array()) {
        QStringList cells;
        for (const QJsonValue &c : row.toArray())
            cells.append(c.toString());
        rows.append(cells);
    }
    return rows;
}

// A workbook as openpyxl reads it: per sheet its title, frozen cell, column widths and
// every cell's value and data type ('s' string, 'n' number, 'f' formula).
struct Sheet {
    QString title;
    QString freeze;
    QList<double> widths;
    QList<QStringList> values;
    QList<QStringList> types;
};

inline QList<Sheet> xlsx(const QString &path, QString *error)
{
    const QByteArray out = run(python(), {QStringLiteral("-c"),
        QStringLiteral("import json, sys, openpyxl\n"
                       "from openpyxl.utils import get_column_letter\n"
                       "wb = openpyxl.load_workbook(sys.argv[1])\n"
                       "out = []\n"
                       "for ws in wb.worksheets:\n"
                       "    rows = [[('' if c.value is None else str(c.value), c.data_type) for c in r] for r in ws.iter_rows()]\n"
                       "    widths = [ws.column_dimensions[get_column_letter(i + 1)].width for i in range(ws.max_column)]\n"
                       "    out.append({'title': ws.title, 'freeze': ws.freeze_panes or '', 'widths': widths,\n"
                       "                'values': [[v for v, t in r] for r in rows], 'types': [[t for v, t in r] for r in rows]})\n"
                       "print(json.dumps(out))"), path}, error);
    QList<Sheet> sheets;
    const auto strings = [](const QJsonArray &a) {
        QStringList s;
        for (const QJsonValue &v : a)
            s.append(v.toString());
        return s;
    };
    for (const QJsonValue &v : QJsonDocument::fromJson(out).array()) {
        const QJsonObject o = v.toObject();
        Sheet s;
        s.title = o.value(QStringLiteral("title")).toString();
        s.freeze = o.value(QStringLiteral("freeze")).toString();
        for (const QJsonValue &w : o.value(QStringLiteral("widths")).toArray())
            s.widths.append(w.toDouble());
        for (const QJsonValue &r : o.value(QStringLiteral("values")).toArray())
            s.values.append(strings(r.toArray()));
        for (const QJsonValue &r : o.value(QStringLiteral("types")).toArray())
            s.types.append(strings(r.toArray()));
        sheets.append(s);
    }
    return sheets;
}

// The text of a PDF, pages separated by form feeds.
inline QString pdfText(const QString &path, QString *error)
{
    return QString::fromUtf8(run(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                                                                QStringLiteral("-")}, error));
}

} // namespace readback
