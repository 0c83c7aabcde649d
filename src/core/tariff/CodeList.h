#pragma once

#include <QHash>
#include <QString>

namespace runtime {
class Transaction;
}

namespace tariff {

// One code of a field as the program shows it: the code as the source writes it, its name
// from the code list, and whether the list knows it (an unknown code has no name).
struct CodeEntry {
    QString code;
    QString name;
    bool known = false;

    bool operator==(const CodeEntry &other) const
    {
        return code == other.code && name == other.name && known == other.known;
    }
};

// A code list (code -> name), read once from its table. Codes are case-sensitive: 'A' and
// 'a' are different supervision certificates.
class CodeList
{
public:
    enum class Kind {
        SupervisionCertificates, // supervision_certificate
        InspectionCategories,    // inspection_category
    };

    CodeList() = default;
    explicit CodeList(const QHash<QString, QString> &names) : m_names(names) {}

    // Reads the whole list. A database without the table (or another failure) gives an
    // empty list whose error() holds the driver's text.
    static CodeList load(runtime::Transaction *sqlca, Kind kind);

    // The name of a code; empty when the list does not know it.
    QString nameOf(const QString &code) const { return m_names.value(code); }
    bool contains(const QString &code) const { return m_names.contains(code); }
    CodeEntry entry(const QString &code) const;

    int size() const { return int(m_names.size()); }
    bool isEmpty() const { return m_names.isEmpty(); }
    // Why load() found no list; empty when it was read.
    QString error() const { return m_error; }

private:
    QHash<QString, QString> m_names;
    QString m_error;
};

} // namespace tariff
