#include "core/quicksearch/EverydayNames.h"

#include "core/quicksearch/QueryText.h"

namespace quicksearch {

namespace {
QString normalised(const QString &text)
{
    return QueryText::fold(text.normalized(QString::NormalizationForm_KC)).simplified();
}
} // namespace

EverydayNames EverydayNames::fromLines(const QList<DictionaryLine> &lines, const QString &fileName,
                                       QStringList *problems)
{
    EverydayNames names;
    QHash<QString, int> firstLine;
    for (const DictionaryLine &line : lines) {
        const auto problem = [&](const QString &what) {
            problems->append(DictionaryFile::lineProblem(fileName, line.number, what));
        };
        const QStringList fields = line.text.split(u'\t');
        if (fields.size() != 2) {
            problem(QStringLiteral("应为两栏（俗名、税则用语），以制表符分隔"));
            continue;
        }
        const QString name = normalised(fields[0]);
        QStringList terms;
        for (const QString &term : fields[1].split(u'|')) {
            const QString folded = normalised(term);
            if (!folded.isEmpty() && !terms.contains(folded))
                terms.append(folded);
        }
        if (name.isEmpty() || terms.isEmpty()) {
            problem(QStringLiteral("俗名或税则用语为空"));
            continue;
        }
        if (terms.contains(name)) {
            problem(QStringLiteral("“%1”对应它自己").arg(name));
            continue;
        }
        if (const auto known = firstLine.constFind(name); known != firstLine.constEnd()) {
            problem(QStringLiteral("“%1”与第 %2 行重复").arg(name).arg(known.value()));
            continue;
        }
        firstLine.insert(name, line.number);
        names.m_terms.insert(name, terms);
    }
    return names;
}

} // namespace quicksearch
