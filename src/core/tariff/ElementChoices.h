#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace tariff {

// The fixed answers some declaration elements take (品牌类型: 0 无品牌 … 4 境外品牌（其他）),
// read from db/declaration_element_choices.csv, which the program carries as a resource.
class ElementChoices
{
public:
    struct Choice {
        QString value; // what the declaration takes: "0"
        QString text;  // what it means: "无品牌"
    };

    // The bundled lists.
    static const ElementChoices &bundled();
    // Reads "element,value,text" lines after a header; a line that is not three fields or has
    // an empty field is skipped.
    static ElementChoices parse(const QString &csv);

    // The choices of an element by its name; empty when it takes free text.
    QList<Choice> choices(const QString &element) const { return m_choices.value(element); }

private:
    QHash<QString, QList<Choice>> m_choices;
};

} // namespace tariff
