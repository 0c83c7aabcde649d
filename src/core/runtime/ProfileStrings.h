#pragma once

#include <QByteArray>
#include <QString>

namespace runtime {

// Profile (INI) files with the semantics of the Windows profile-string calls: section and key
// names match without regard to case, values are trimmed of surrounding blanks (and of one pair
// of enclosing quotes). Text is UTF-8. Not QSettings: that is case-sensitive and rewrites files.

// The value of `key` in `section`, or `defaultValue` when the file, the section or the key is
// missing or the file cannot be read.
QString profileString(const QString &file, const QString &section, const QString &key,
                      const QString &defaultValue);

// Writes one key, editing the file in place: every other line keeps its bytes and line ending;
// an existing key keeps its spelling and gets the new value; a missing key is added at the end of
// its section, a missing section at the end of the file; a missing file is created (CR LF line
// ends). The file is replaced in one step, so it is never left half written. Returns 1, or -1
// when the names are empty or hold line breaks, the file cannot be read or written (the file is
// then unchanged).
int setProfileString(const QString &file, const QString &section, const QString &key,
                     const QString &value);

// Removes one key (its first line in the first section of that name), keeping every other line
// as it is. Returns 1, also when there was no such key (the file is then not rewritten), or -1
// when the file cannot be read or written.
int removeProfileKey(const QString &file, const QString &section, const QString &key);

// Writes `content` as a new file in one step, only when `file` does not exist yet. Returns 1 when
// written, 0 when the file already existed (it is left alone), -1 when it cannot be written.
int createProfileFile(const QString &file, const QByteArray &content);

} // namespace runtime
