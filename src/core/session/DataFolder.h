#pragma once

#include <QString>
#include <QStringList>

namespace kiv {

// Where the program runs. The data source names the database relative to the working
// directory, so the program always runs in a folder holding K-I-V.db and help.TXT:
// - a run folder (the executable stands beside K-I-V.db, as in the build) is used as it is;
// - an installed program (bin/kivtree beside share/kivtree/) runs in the user's own data
//   folder. The installed files are copied there on the first start; later starts never
//   overwrite the user's database, so chapters the user chose survive a reinstall, while
//   the help texts follow the installed program.
class DataFolder
{
public:
    static QString databaseFile() { return QStringLiteral("K-I-V.db"); }
    static QString helpFile() { return QStringLiteral("help.TXT"); }
    // The files that follow the installed program: the help texts and the search dictionaries.
    static QStringList programFiles()
    {
        return {helpFile(), QStringLiteral("words.txt"), QStringLiteral("everyday_names.txt")};
    }

    // The installed data folder that belongs to an executable's folder.
    static QString installedDataFolder(const QString &executableFolder);

    // The user's data folder: $XDG_DATA_HOME/kivtree, or ~/.local/share/kivtree.
    static QString userDataFolder();

    // Decides the folder for an executable in executableFolder, prepares it and returns it;
    // an empty string (with *error set) when it cannot be prepared.
    static QString prepare(const QString &executableFolder, const QString &userFolder, QString *error);

    // prepare() for this program, then makes the folder the working directory. Returns false
    // (with *error set) when that fails; the program then runs where it was started.
    static bool enter(QString *error);
};

} // namespace kiv
