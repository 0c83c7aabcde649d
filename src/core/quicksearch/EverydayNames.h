#pragma once

#include "core/quicksearch/DictionaryFile.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace quicksearch {

// The names people use for goods and the tariff's terms for them (充电宝 → 锂离子蓄电池,
// laptop → 便携式自动数据处理设备). A line holds two fields parted by a tab: the everyday name
// and the term; the term may list several terms parted by "|", and a term of several words
// (blanks between them) is found where a name holds all of them. Names are compared folded
// (lower case). One step only: a term is never looked up as a name again, so entries that map
// to each other cannot loop.
class EverydayNames
{
public:
    // A bad line (not two fields, an empty side, a name mapped to itself, a name given twice)
    // is named in problems and left out; the rest is used.
    static EverydayNames fromLines(const QList<DictionaryLine> &lines, const QString &fileName,
                                   QStringList *problems);

    // The terms of an everyday name (folded); empty when it is none.
    QStringList termsOf(const QString &name) const { return m_terms.value(name); }
    bool isEmpty() const { return m_terms.isEmpty(); }
    int size() const { return int(m_terms.size()); }
    QList<QString> names() const { return m_terms.keys(); }

private:
    QHash<QString, QStringList> m_terms;
};

} // namespace quicksearch
