#pragma once

#include <QString>

#include <array>

namespace runtime {
class Transaction;
}

// The system's application-wide variables. They live as long as the application object.

// The one database connection; null before the application object is created.
extern runtime::Transaction *sqlca;
// Full path of the profile file.
extern QString gs_docname;
// Mouse action that pops up a tree's detail panel: "R" right click, "D" double click.
extern QString gs_hgtype;
extern QString gs_jmwtype;
// The seven help texts cut from help.TXT: entries 1 to 7 (entry 0 is unused).
extern std::array<QString, 8> gs_help;

namespace kiv {
// The web address that every link label and the menu open.
inline constexpr const char kWebAddress[] = "https://www.velquor.com/";
// The profile file's name inside the user's configuration folder.
inline constexpr const char kProfileFileName[] = "velquor_kiv.ini";
// The profile file's default path: $XDG_CONFIG_HOME/velquor_kiv.ini, or ~/.config/velquor_kiv.ini.
QString defaultProfilePath();
} // namespace kiv
