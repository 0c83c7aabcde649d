#include "core/tariff/ElementChoices.h"

#include <QFile>
#include <QStringList>

namespace tariff {

const ElementChoices &ElementChoices::bundled()
{
    static const ElementChoices lists = [] {
        QFile file(QStringLiteral(":/app/declaration_element_choices.csv"));
        return file.open(QIODevice::ReadOnly) ? parse(QString::fromUtf8(file.readAll())) : ElementChoices();
    }();
    return lists;
}

ElementChoices ElementChoices::parse(const QString &csv)
{
    ElementChoices c;
    const QStringList lines = csv.split(QLatin1Char('\n'));
    for (int i = 1; i < lines.size(); ++i) { // the first line is the header
        const QStringList fields = lines[i].trimmed().split(QLatin1Char(','));
        if (fields.size() != 3 || fields[0].trimmed().isEmpty() || fields[1].trimmed().isEmpty()
            || fields[2].trimmed().isEmpty())
            continue;
        c.m_choices[fields[0].trimmed()].append({fields[1].trimmed(), fields[2].trimmed()});
    }
    return c;
}

} // namespace tariff
