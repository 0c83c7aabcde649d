#include "core/quicksearch/GoodsRanking.h"

namespace quicksearch {

namespace {

const char16_t *const kPartWords[] = {u"零件", u"部件", u"附件", u"配件"};
// What a name that is not a part of the goods scores at least, and what the words as typed add.
constexpr int kNotPart = 400;
constexpr int kTypedWords = 150;
// Where a phrase ends: a name's commas and semicolons.
const QStringView kPhraseEnds = u"，,；;。：:";
// After the goods' own word: the end of a phrase, a bracket, or a conjunction of goods.
const QStringView kAfterHead = u"，,；;。：:（()）、及和或与等";
// 用 after these is not "used for": an adjective of the goods (食用, 家用, 药用), a substitute
// (代用品), or "made with" after a conjunction (醋及用醋酸制得的…).
const QStringView kUseAdjectives = u"食家药民军医兽农商种饮工作代及和或并";

bool holdsPartWord(QStringView text)
{
    for (const char16_t *part : kPartWords) {
        if (text.contains(QStringView(part)))
            return true;
    }
    return false;
}

int scoreAt(QStringView name, qsizetype start, qsizetype end, bool part)
{
    qsizetype phraseStart = start;
    while (phraseStart > 0 && !kPhraseEnds.contains(name[phraseStart - 1]))
        --phraseStart;
    qsizetype phraseEnd = end;
    while (phraseEnd < name.size() && !kPhraseEnds.contains(name[phraseEnd]))
        ++phraseEnd;
    // "…用…" after the word: the name is a thing used for it; "用于…的" around it, the same.
    for (qsizetype i = end; i < phraseEnd && !part; ++i) {
        if (name[i] == u'用' && !(i > end && kUseAdjectives.contains(name[i - 1])))
            part = true;
    }
    const QStringView before = name.mid(phraseStart, start - phraseStart);
    const QStringView after = name.mid(end, phraseEnd - end);
    if (!part && before.contains(u"用于") && after.contains(u'的'))
        part = true;
    // "装有…发动机的摩托车": the name is of the thing fitted with the word, unless the word ends it.
    if (!part && end < phraseEnd && (before.contains(u"装有") || before.contains(u"带有") || before.contains(u"配有")))
        part = true;
    // Inside brackets the word only explains the name: "…汽车（柴油发动机,…）".
    int depth = 0;
    for (qsizetype i = 0; i < start; ++i) {
        if (name[i] == u'（' || name[i] == u'(')
            ++depth;
        else if ((name[i] == u'）' || name[i] == u')') && depth > 0)
            --depth;
    }
    const bool head = depth == 0 && (end == name.size() || kAfterHead.contains(name[end]));
    const bool firstPhrase = depth == 0 && phraseStart == 0;
    const int nearEnd = 99 - int(std::min<qsizetype>(99, phraseEnd - end));
    return (part ? 0 : kNotPart) + (head ? 200 : 0) + (firstPhrase ? 100 : 0) + nearEnd;
}

} // namespace

int goodsScore(QStringView name, QStringView word, bool partsAsked)
{
    if (word.isEmpty())
        return 0;
    const bool part = !partsAsked && holdsPartWord(name);
    int best = 0;
    for (qsizetype at = name.indexOf(word); at >= 0; at = name.indexOf(word, at + 1))
        best = std::max(best, scoreAt(name, at, at + word.size(), part));
    return best;
}

int typedWordsScore(int goods)
{
    return goods >= kNotPart ? goods + kTypedWords : goods;
}

bool asksForParts(const QStringList &words)
{
    for (const QString &word : words) {
        if (holdsPartWord(word))
            return true;
    }
    return false;
}

} // namespace quicksearch
