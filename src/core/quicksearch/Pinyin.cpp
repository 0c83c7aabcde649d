#include "core/quicksearch/Pinyin.h"

#include "core/quicksearch/PinyinTable.h"

#include <QHash>
#include <QStringList>

#include <algorithm>

namespace quicksearch {

namespace {

struct WordReading {
    const char16_t *word;
    const char *syllables;
};

// The table reads each character alone and gives its most common reading; these words of the
// bundled names read otherwise. A single character stands for its reading in almost every
// name of the lists (长 is chang in 长丝, 长度, 长裤; 生长 is the exception).
constexpr WordReading kWordReadings[] = {
    {u"长", "chang"},          {u"生长", "sheng zhang"},  {u"灵长", "ling zhang"},
    {u"地", "di"},             {u"调", "tiao"},           {u"参", "shen"},
    {u"参数", "can shu"},      {u"着", "zhuo"},           {u"粘", "nian"},
    {u"刨", "bao"},            {u"乐器", "yue qi"},       {u"弦乐", "xian yue"},
    {u"管乐", "guan yue"},     {u"音乐", "yin yue"},      {u"打击乐", "da ji yue"},
    {u"银行", "yin hang"},     {u"还原", "huan yuan"},    {u"给料", "ji liao"},
    {u"给予", "ji yu"},        {u"薄膜", "bo mo"},        {u"薄荷", "bo he"},
    {u"弹簧", "tan huang"},    {u"弹力", "tan li"},       {u"弹性", "tan xing"},
    {u"模具", "mu ju"},        {u"重复", "chong fu"},     {u"重叠", "chong die"},
    {u"包扎", "bao za"},       {u"捆扎", "kun za"},       {u"荸荠", "bi qi"},
    {u"番茄", "fan qie"},      {u"茄子", "qie zi"},       {u"蛤蜊", "ge li"},
    {u"白术", "bai zhu"},
};

struct TableEntry {
    QString word;
    QStringList syllables;
};

// The table by first character, longest words first.
const QHash<QChar, QList<TableEntry>> &table()
{
    static const QHash<QChar, QList<TableEntry>> byFirst = [] {
        QHash<QChar, QList<TableEntry>> entries;
        for (const WordReading &reading : kWordReadings) {
            const QString word = QString::fromUtf16(reading.word);
            entries[word.front()].append(
                {word, QString::fromLatin1(reading.syllables).split(u' ', Qt::SkipEmptyParts)});
        }
        for (QList<TableEntry> &list : entries)
            std::stable_sort(list.begin(), list.end(), [](const TableEntry &a, const TableEntry &b) {
                return a.word.size() > b.word.size();
            });
        return entries;
    }();
    return byFirst;
}

// No Chinese character lies below the CJK radicals block: most of an English name is skipped
// without a look-up.
constexpr char32_t kFirstHan = 0x2E80;

bool isHan(char32_t c)
{
    return c >= kFirstHan && QChar::script(c) == QChar::Script_Han;
}

} // namespace

QString Pinyin::syllableOf(char32_t c)
{
    if (!isHan(c))
        return {};
    const std::string_view syllable = PinyinTable::syllableOf(c);
    return QString::fromLatin1(syllable.data(), qsizetype(syllable.size()));
}

QList<Pinyin::Reading> Pinyin::readingsOf(const QString &text)
{
    QList<Reading> readings;
    const QHash<QChar, QList<TableEntry>> &words = table();
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i].unicode() < kFirstHan) {
            ++i;
            continue;
        }
        const auto entries = words.constFind(text[i]);
        if (entries != words.constEnd()) {
            const auto entry = std::find_if(entries->cbegin(), entries->cend(), [&](const TableEntry &e) {
                return QStringView(text).mid(i).startsWith(e.word);
            });
            if (entry != entries->cend()) {
                for (qsizetype k = 0; k < entry->word.size(); ++k)
                    readings.append({int(i + k), 1, entry->syllables.value(k)});
                i += entry->word.size();
                continue;
            }
        }
        char32_t c = text[i].unicode();
        int length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        const QString syllable = syllableOf(c);
        if (!syllable.isEmpty())
            readings.append({int(i), length, syllable});
        i += length;
    }
    return readings;
}

QString Pinyin::tableReading(const QString &word)
{
    if (word.isEmpty())
        return {};
    for (const TableEntry &entry : table().value(word.front())) {
        if (entry.word == word)
            return entry.syllables.join(u' ');
    }
    return {};
}

} // namespace quicksearch
