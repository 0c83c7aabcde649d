#pragma once

#include <QString>
#include <QStringList>

namespace quicksearch {

// How well a Chinese name names the goods a word stands for, 0 to 999, more is better. A name
// that says it is a part, an accessory or a thing used for the goods (零件, 附件, 配件, "手机用…",
// "用于…的") scores below the goods themselves unless the input asks for parts; a word at the
// head of its phrase (the end of a Chinese noun phrase: 智能手机, 未焙炒咖啡) scores above one
// that only qualifies what follows it (咖啡因, 螺丝刀) or what is fitted with it ("装有…发动机的
// 摩托车"); the first phrase of a name weighs more
// than the later ones (其他…，不论是否…). The best place of the word in the name counts; a
// name without the word scores 0.
int goodsScore(QStringView name, QStringView word, bool partsAsked);

// Whether the input's words ask for parts or accessories themselves (手机配件).
bool asksForParts(const QStringList &words);

// The score of a name that holds the words as typed: one that names the goods (not a part)
// comes before a name found only through an everyday name's wider term (铁钉 before 铆钉,
// found as 钉); a part stays where goodsScore() puts it.
int typedWordsScore(int goods);

} // namespace quicksearch
