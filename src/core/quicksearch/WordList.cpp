#include "core/quicksearch/WordList.h"

#include <cmath>
#include <vector>

namespace quicksearch {

WordList WordList::fromLines(const QList<DictionaryLine> &lines, const QString &fileName, QStringList *problems)
{
    WordList list;
    for (const DictionaryLine &line : lines) {
        const QStringList fields = line.text.split(u' ', Qt::SkipEmptyParts);
        bool ok = fields.size() == 1;
        int count = 1;
        if (fields.size() == 2)
            count = fields[1].toInt(&ok);
        if (!ok || count <= 0) {
            problems->append(DictionaryFile::lineProblem(fileName, line.number, QStringLiteral("应为“词语 次数”")));
            continue;
        }
        list.add(fields[0], count);
    }
    return list;
}

void WordList::add(const QString &word, int count)
{
    if (word.isEmpty() || count <= 0)
        return;
    int &known = m_counts[word];
    if (count > known) {
        m_total += count - known;
        known = count;
    }
    m_longest = std::max(m_longest, int(word.size()));
}

QStringList WordList::segment(QStringView text) const
{
    const int n = int(text.size());
    if (n == 0)
        return {};
    // best[i]: the log probability of the best cut of the first i characters; from[i] where
    // its last piece begins. A character the list does not know costs as a word seen once.
    const double total = double(std::max<qint64>(m_total, 1));
    const double unknown = std::log(1.0 / total) - 5.0;
    std::vector<double> best(size_t(n) + 1, -1e300);
    std::vector<int> from(size_t(n) + 1, 0);
    best[0] = 0;
    for (int end = 1; end <= n; ++end) {
        for (int start = std::max(0, end - m_longest); start < end; ++start) {
            if (best[size_t(start)] <= -1e299)
                continue;
            const int length = end - start;
            const int seen = length == 1 && m_counts.isEmpty() ? 0 : count(text.mid(start, length).toString());
            if (seen == 0 && length > 1)
                continue;
            const double score = best[size_t(start)] + (seen > 0 ? std::log(seen / total) : unknown);
            if (score > best[size_t(end)]) {
                best[size_t(end)] = score;
                from[size_t(end)] = start;
            }
        }
    }
    QStringList pieces;
    for (int end = n; end > 0; end = from[size_t(end)])
        pieces.prepend(text.mid(from[size_t(end)], end - from[size_t(end)]).toString());
    return pieces;
}

} // namespace quicksearch
