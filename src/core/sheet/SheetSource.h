#pragma once

#include "core/sheet/SheetContent.h"
#include "core/tariff/CodeList.h"
#include "core/tariff/TariffStore.h"

#include <optional>

namespace runtime {
class DataView;
class TreeModel;
class Transaction;
}

namespace sheet {

// Gathers what the sheet shows for a tree item: a customs tariff line's record, read from the
// database when it is asked for, or for any other item its name (from the list's rows), its
// path of ancestors in the tree and the codes below it. The code lists are read once.
class SheetSource
{
public:
    explicit SheetSource(runtime::Transaction *sqlca);

    // One list's tree with the rows it was built from.
    struct ListView {
        QString list;               // "hs" or "jmw"
        const runtime::TreeModel *tree = nullptr;
        const runtime::DataView *rows = nullptr;
        QString codeColumn;         // "code" or "jmw_code"
    };

    // The content for the tree item; nullopt for an item that holds no code.
    std::optional<SheetContent> contentFor(const ListView &view, long handle);

    // The content for a code its list no longer has (a note outlived it): the code and the
    // longest prefix of it that is still a code of the list, with its name as the trees show it.
    SheetContent removedCodeContent(const QString &list, const QString &code);

    // The content for a customs line read by its code alone, for a code in a chapter the trees
    // do not load: the record with "在未选择的章节中" above it; nullopt when there is no such line.
    std::optional<SheetContent> unloadedLineContent(const QString &code);

    // The declaration elements' text of a customs code, for copying; empty when none.
    QString declarationElementsOf(const QString &code);

    // The name a list's rows give a code; empty when the code has no row.
    static QString nameOf(const ListView &view, const QString &code);

private:
    const tariff::CodeList &certificates();
    const tariff::CodeList &categories();

    runtime::Transaction *m_sqlca;
    tariff::TariffStore m_store;
    std::optional<tariff::CodeList> m_certificates;
    std::optional<tariff::CodeList> m_categories;
};

} // namespace sheet
