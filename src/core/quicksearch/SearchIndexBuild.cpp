// Building the index: codes in code order, names by character, pinyin suffixes and English
// words, declaration elements and notes by character.
#include "core/quicksearch/SearchIndexData.h"

#include "core/quicksearch/Pinyin.h"
#include "core/quicksearch/QueryText.h"

#include <string_view>

namespace quicksearch {

using searchindex::kMaxIndexedLength;
using searchindex::Suffix;
using searchindex::Syllable;

namespace {

// The first eight letters of a suffix as one number that sorts as they do, so that sorting
// rarely needs to look at the strings.
uint64_t packedPrefix(std::string_view text)
{
    uint64_t key = 0;
    for (size_t i = 0; i < 8; ++i)
        key = (key << 8) | (i < text.size() ? uint8_t(text[i]) : 0);
    return key;
}

} // namespace

int searchindex::TextTable::add(const QString &folded, int row, QHash<QString, int> *ids)
{
    auto it = ids->constFind(folded);
    if (it == ids->constEnd()) {
        it = ids->insert(folded, int(texts.size()));
        texts.push_back(folded);
    }
    added.emplace_back(it.value(), row);
    return it.value();
}

void searchindex::TextTable::index()
{
    // Each text's rows together, in the order they came (a counting sort by text).
    rowStarts.assign(texts.size() + 1, 0);
    for (const auto &[text, row] : added)
        ++rowStarts[size_t(text) + 1];
    for (size_t id = 1; id < rowStarts.size(); ++id)
        rowStarts[id] += rowStarts[id - 1];
    rowList.resize(added.size());
    std::vector<uint32_t> next(rowStarts.cbegin(), rowStarts.cend() - 1);
    for (const auto &[text, row] : added)
        rowList[next[size_t(text)]++] = row;
    added = {};

    std::vector<char16_t> units;
    for (size_t id = 0; id < texts.size(); ++id) {
        units.assign(reinterpret_cast<const char16_t *>(texts[id].constData()),
                     reinterpret_cast<const char16_t *>(texts[id].constData()) + texts[id].size());
        std::sort(units.begin(), units.end());
        units.erase(std::unique(units.begin(), units.end()), units.end());
        for (char16_t unit : units)
            postings[unit].push_back(int(id));
    }
}

QStringView SearchIndex::Data::keep(QString text)
{
    // A text whose characters no QString owns (a view of a kept store, a literal) is seen where
    // it is; one the row owns is kept here, and its characters stay where they are.
    if (text.isEmpty() || !text.data_ptr().isMutable())
        return text;
    ownTexts.push_back(std::move(text));
    return ownTexts.back();
}

void SearchIndex::Data::indexCodes(const QList<IndexRow> &unchosen)
{
    byCode.resize(size_t(rows.size()));
    for (size_t i = 0; i < byCode.size(); ++i)
        byCode[i] = int(i);
    // Codes are compared unit by unit, as the search's lower_bound does; no locale, no case.
    // Read through a const list: a shared list would otherwise be copied whole.
    const std::vector<searchindex::KeptRow> &rowsRead = rows;
    const auto codeOf = [&rowsRead](int r) {
        return std::u16string_view(reinterpret_cast<const char16_t *>(rowsRead[r].code().data()),
                                   size_t(rowsRead[r].code().size()));
    };
    std::sort(byCode.begin(), byCode.end(), [&](int a, int b) {
        const int order = codeOf(a).compare(codeOf(b));
        if (order != 0)
            return order < 0;
        if (rowsRead[a].list() != rowsRead[b].list())
            return rowsRead[a].list() == CodeList::Customs;
        return a < b;
    });
    codeOrder.resize(byCode.size());
    for (size_t i = 0; i < byCode.size(); ++i)
        codeOrder[size_t(byCode[i])] = int(i);
    for (const IndexRow &row : unchosen)
        unchosenCodes.push_back(row.code);
    std::sort(unchosenCodes.begin(), unchosenCodes.end());
    unchosenCodes.erase(std::unique(unchosenCodes.begin(), unchosenCodes.end()), unchosenCodes.end());
}

void SearchIndex::Data::indexPinyin(int id)
{
    // Names are read in id order: this one's parts go at the end of the arenas.
    const QString &name = names.texts[size_t(id)];
    std::string &full = pinyin.full;
    std::string &initials = pinyin.initials;
    const size_t fullStart = full.size();
    const size_t initialsStart = initials.size();
    pinyin.starts[size_t(id)] = {uint32_t(fullStart), uint32_t(initialsStart), uint32_t(pinyin.syllables.size())};
    int previousEnd = -1;
    for (const Pinyin::Reading &reading : Pinyin::readingsOf(name)) {
        if (reading.start + reading.length > kMaxIndexedLength)
            break;
        if (previousEnd >= 0 && reading.start != previousEnd) {
            full.push_back(' ');
            initials.push_back(' ');
        }
        if (full.size() - fullStart + size_t(reading.syllable.size()) > size_t(kMaxIndexedLength))
            break;
        Syllable syllable;
        syllable.pinyinAt = uint16_t(full.size() - fullStart);
        syllable.initialAt = uint16_t(initials.size() - initialsStart);
        syllable.start = uint16_t(reading.start);
        fullSuffixes.push_back({uint32_t(full.size())});
        initialSuffixes.push_back({uint32_t(initials.size())});
        for (QChar letter : reading.syllable)
            full.push_back(char(letter.unicode()));
        initials.push_back(char(reading.syllable.front().unicode()));
        pinyin.syllables.push_back(syllable);
        previousEnd = reading.start + reading.length;
    }
    full.push_back('\0');
    initials.push_back('\0');
    pinyin.starts[size_t(id) + 1] = {uint32_t(full.size()), uint32_t(initials.size()), uint32_t(pinyin.syllables.size())};
}

void SearchIndex::Data::indexWords(int id, QHash<QString, int> *wordIds)
{
    const QString &name = names.texts[size_t(id)];
    const int length = std::min(int(name.size()), kMaxIndexedLength);
    int start = -1;
    for (int i = 0; i <= length; ++i) {
        const bool inside = i < length && name[i].unicode() < 0x80 && name[i].isLetterOrNumber();
        if (inside && start < 0) {
            start = i;
        } else if (!inside && start >= 0) {
            const QString word = name.mid(start, i - start);
            auto it = wordIds->constFind(word);
            if (it == wordIds->constEnd()) {
                it = wordIds->insert(word, int(vocabulary.size()));
                vocabulary.push_back(word);
                vocabularyNames.emplace_back();
            }
            std::vector<int> &ids = vocabularyNames[size_t(it.value())];
            if (ids.empty() || ids.back() != id)
                ids.push_back(id);
            start = -1;
        }
    }
}

void SearchIndex::Data::indexNames(const QList<QString> &folded)
{
    QHash<QString, int> nameIds;
    rowName.resize(rows.size());
    for (int r = 0; r < int(rows.size()); ++r)
        rowName[size_t(r)] = names.add(folded[r], r, &nameIds);
    names.index();

    QHash<QString, int> wordIds;
    pinyin.starts.resize(names.texts.size() + 1);
    for (size_t id = 0; id < names.texts.size(); ++id) {
        indexPinyin(int(id));
        indexWords(int(id), &wordIds);
    }
    const auto sortSuffixes = [](std::vector<Suffix> *suffixes, std::string_view arena) {
        struct Keyed {
            uint64_t key;
            Suffix suffix;
        };
        std::vector<Keyed> keyed;
        keyed.reserve(suffixes->size());
        for (const Suffix &suffix : *suffixes)
            keyed.push_back({packedPrefix(arena.substr(suffix.at)), suffix});
        // Each suffix ends with its name, at the NUL.
        const auto textAt = [arena](uint32_t at) {
            const std::string_view rest = arena.substr(at);
            return rest.substr(0, rest.find('\0'));
        };
        std::sort(keyed.begin(), keyed.end(), [&](const Keyed &a, const Keyed &b) {
            if (a.key != b.key)
                return a.key < b.key;
            return textAt(a.suffix.at) < textAt(b.suffix.at);
        });
        for (size_t i = 0; i < keyed.size(); ++i)
            (*suffixes)[i] = keyed[i].suffix;
    };
    sortSuffixes(&fullSuffixes, pinyin.full);
    sortSuffixes(&initialSuffixes, pinyin.initials);
    std::vector<int> order(vocabulary.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::sort(order.begin(), order.end(), [this](int a, int b) { return vocabulary[a] < vocabulary[b]; });
    std::vector<QString> sortedWords;
    std::vector<std::vector<int>> sortedNames;
    for (int i : order) {
        sortedWords.push_back(std::move(vocabulary[size_t(i)]));
        sortedNames.push_back(std::move(vocabularyNames[size_t(i)]));
    }
    vocabulary = std::move(sortedWords);
    vocabularyNames = std::move(sortedNames);
    if (lexicon)
        indexReadableCharacters();
}

SearchIndex SearchIndex::build(QList<IndexRow> rows, QList<IndexRow> unchosenRows,
                               std::shared_ptr<const Lexicon> lexicon, QList<runtime::ColumnStore> kept)
{
    auto data = std::make_shared<Data>();
    data->kept = std::move(kept);
    data->lexicon = std::move(lexicon);

    QList<QString> folded;
    folded.reserve(rows.size());
    QHash<QString, int> elementIds, noteIds;
    data->rows.reserve(size_t(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        IndexRow &row = rows[r];
        folded.append(QueryText::fold(row.name));
        if (!row.declarationElements.isEmpty())
            data->elements.add(QueryText::fold(row.declarationElements), r, &elementIds);
        if (!row.notes.isEmpty()) {
            data->notes.add(QueryText::fold(row.notes), r, &noteIds);
            data->givenNotes.insert(r, row.notes);
        }
        data->rows.emplace_back(data->keep(std::move(row.code)), data->keep(std::move(row.name)), row.list, row.removed);
    }
    rows.clear();
    data->indexCodes(unchosenRows);
    data->indexNames(folded);
    data->elements.index();
    data->notes.index();
    data->squeeze();
    return SearchIndex(std::move(data));
}

namespace {
void squeezeTable(searchindex::TextTable &table)
{
    for (QString &text : table.texts)
        if (text.isDetached()) // a text shared with its row is already as small as it gets
            text.squeeze();
    table.texts.shrink_to_fit();
    table.rowList.shrink_to_fit();
    table.rowStarts.shrink_to_fit();
    for (std::vector<int> &ids : table.postings)
        ids.shrink_to_fit();
    table.postings.squeeze();
}
} // namespace

void SearchIndex::Data::squeeze()
{
    rows.shrink_to_fit();
    ownTexts.shrink_to_fit();
    givenNotes.squeeze();
    codeOrder.shrink_to_fit();
    byCode.shrink_to_fit();
    unchosenCodes.shrink_to_fit();
    for (searchindex::TextTable *table : {&names, &elements, &notes})
        squeezeTable(*table);
    pinyin.full.shrink_to_fit();
    pinyin.initials.shrink_to_fit();
    pinyin.syllables.shrink_to_fit();
    pinyin.starts.shrink_to_fit();
    fullSuffixes.shrink_to_fit();
    initialSuffixes.shrink_to_fit();
    vocabulary.shrink_to_fit();
    for (std::vector<int> &ids : vocabularyNames)
        ids.shrink_to_fit();
    vocabularyNames.shrink_to_fit();
    rowName.shrink_to_fit();
    readableCharacters.squeeze();
}

} // namespace quicksearch
