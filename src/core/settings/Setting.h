#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace settings {

// A key of the profile file beyond the seed's own [data] keys: its section, its name (a name
// that ends in '_' is a family of keys, completed by a suffix: rate_USD) and what it reads as
// while the file has none.
struct Setting {
    const char *section;
    const char *key;
    const char *defaultValue;
};

// Every such key the program keeps, in one table.
inline constexpr Setting kExportColumns{"export", "columns", ""}; // the export's column keys, comma-separated
inline constexpr Setting kExportFormat{"export", "format", ""};   // xlsx, csv or pdf
inline constexpr Setting kExportFolder{"export", "folder", ""};   // where the last file went
inline constexpr Setting kRecentCodes{"quicksearch", "recent", ""}; // hs:code,jmw:code, newest first
inline constexpr Setting kExchangeRate{"duty", "rate_", ""};        // rate_<currency>: 1 unit in CNY
inline constexpr Setting kServerDriver{"server", "driver", ""};     // the team database's ODBC driver
inline constexpr Setting kServerHost{"server", "host", ""};
inline constexpr Setting kServerPort{"server", "port", ""};
inline constexpr Setting kServerDatabase{"server", "database", ""};
inline constexpr Setting kServerUser{"server", "user", ""};

QList<Setting> allSettings();

// Reads and writes the table's keys in a profile file, and says when one changed.
class Settings : public QObject
{
    Q_OBJECT
public:
    static Settings *instance();

    // The value, or the setting's default while the file has none.
    static QString value(const QString &profileFile, const Setting &setting, const QString &suffix = QString());
    // 1 when written (the change is announced), -1 when the file cannot be written.
    static int setValue(const QString &profileFile, const Setting &setting, const QString &value,
                        const QString &suffix = QString());

signals:
    // section and key as in the file (a family's key with its suffix).
    void changed(const QString &section, const QString &key);

private:
    Settings() = default;
};

} // namespace settings
