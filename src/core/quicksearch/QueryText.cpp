#include "core/quicksearch/QueryText.h"

namespace quicksearch {

namespace {

bool isCodeGroup(QStringView token)
{
    bool digit = false;
    for (QChar c : token) {
        if (c >= u'0' && c <= u'9')
            digit = true;
        else if (c != u'.' && c != u'-')
            return false;
    }
    return digit;
}

// Letters, digits and combining marks belong to a word; everything else is punctuation.
bool isWordCharacter(char32_t c)
{
    return QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

char32_t codePointAt(QStringView text, qsizetype i, qsizetype *units)
{
    if (QChar::isHighSurrogate(text[i].unicode()) && i + 1 < text.size()
        && QChar::isLowSurrogate(text[i + 1].unicode())) {
        *units = 2;
        return QChar::surrogateToUcs4(text[i], text[i + 1]);
    }
    *units = 1;
    return text[i].unicode();
}

QStringView trimPunctuation(QStringView word)
{
    qsizetype begin = 0;
    while (begin < word.size()) {
        qsizetype units = 1;
        if (isWordCharacter(codePointAt(word, begin, &units)))
            break;
        begin += units;
    }
    qsizetype end = word.size();
    while (end > begin) {
        qsizetype start = end - 1;
        if (start > begin && QChar::isLowSurrogate(word[start].unicode())
            && QChar::isHighSurrogate(word[start - 1].unicode()))
            --start;
        qsizetype units = 1;
        if (isWordCharacter(codePointAt(word, start, &units)))
            break;
        end = start;
    }
    return word.mid(begin, end - begin);
}

void addWord(QStringView word, QStringList *words)
{
    word = trimPunctuation(word);
    if (word.isEmpty())
        return;
    if (!QueryText::isAscii(word)) {
        words->append(word.toString());
        return;
    }
    // English names are indexed by their runs of letters and digits; split the same way.
    qsizetype start = -1;
    for (qsizetype i = 0; i <= word.size(); ++i) {
        const bool inside = i < word.size() && word[i].isLetterOrNumber();
        if (inside && start < 0)
            start = i;
        else if (!inside && start >= 0) {
            words->append(word.mid(start, i - start).toString());
            start = -1;
        }
    }
}

} // namespace

QChar QueryText::foldChar(QChar c)
{
    if (c.unicode() < 0x80)
        return c.unicode() >= u'A' && c.unicode() <= u'Z' ? QChar(c.unicode() + 32) : c;
    if (c.isSurrogate())
        return c;
    // Full-width ASCII, common in Chinese names ("（", "，"), without asking the tables.
    if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E)
        c = QChar(c.unicode() - 0xFEE0);
    else if (c.unicode() == 0x3000)
        return QChar(u' ');
    if (c.decompositionTag() != QChar::NoDecomposition) {
        const QString folded = QString(c).normalized(QString::NormalizationForm_KC);
        if (folded.size() == 1)
            c = folded.front();
    }
    return c.toLower();
}

QString QueryText::fold(const QString &text)
{
    // Most names fold to themselves: they are then shared with the row, not copied.
    qsizetype first = 0;
    while (first < text.size() && foldChar(text[first]) == text[first])
        ++first;
    if (first == text.size())
        return text;
    QString folded(text.size(), Qt::Uninitialized);
    QChar *out = folded.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = i < first ? text[i] : foldChar(text[i]);
    return folded;
}

bool QueryText::isAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

QueryText QueryText::parse(const QString &input)
{
    // Cut before normalising, so a pasted book is not normalised whole; never inside a pair.
    qsizetype length = qMin<qsizetype>(input.size(), kMaxLength);
    if (length > 0 && length < input.size() && input[length - 1].isHighSurrogate())
        --length;
    QString text = input.left(length).normalized(QString::NormalizationForm_KC);
    if (text.size() > kMaxLength)
        text.truncate(text[kMaxLength - 1].isHighSurrogate() ? kMaxLength - 1 : kMaxLength);
    text = fold(text);

    QueryText query;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool blank = i == text.size() || text[i].isSpace();
        if (!blank && start < 0)
            start = i;
        else if (blank && start >= 0) {
            const QStringView token = QStringView(text).mid(start, i - start);
            if (isCodeGroup(token)) {
                for (QChar c : token) {
                    if (c.isDigit())
                        query.m_code.append(c);
                }
            } else {
                addWord(token, &query.m_words);
            }
            start = -1;
        }
    }
    return query;
}

} // namespace quicksearch
