#pragma once

#include <QByteArray>
#include <QString>

namespace kiv {

// The profile file's content when the program makes it: five lines, each ended by CR LF.
inline constexpr char kDefaultProfileText[] =
    "[data]\r\nHGDETAIL=N\r\nWJDETAIL=N\r\nHGtype=R\r\njmwtype=R\r\n";

// Section and keys of the profile file.
inline constexpr char kProfileSection[] = "data";

// Creates the profile file with the default text in one write; an existing file is never
// touched. A folder that cannot be made or written leaves no file (the readers then get
// their defaults). Returns 1 when the file was made, -1 otherwise.
int createDefaultProfile(const QString &path);

} // namespace kiv
