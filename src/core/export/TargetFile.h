#pragma once

#include <QString>

namespace kivexport {

// The steps every writer shares to replace a file safely: a temporary name in the same
// folder (so the last step is a rename on one file system), the rename, and the message that
// tells the user why a file could not be written.
namespace TargetFile {

// Why a file cannot be made at `path`, checked before anything is written: a name longer than
// the file system takes, a missing folder, an existing folder of that name, and a trial file
// beside it that the system refuses (no write access, read-only or full file system).
// Empty when nothing speaks against it.
QString precheck(const QString &path);

// A fresh, unused name beside `path` (".<name>.<random>.part"), created empty so that no one
// else takes it; empty when the folder does not let us create it (*error then says why).
QString reserveTemporary(const QString &path, QString *error);

// Renames `temporary` over `path` in one step; the old file stays until that moment.
// False (with *error) when the rename fails; the temporary file is then removed.
bool replace(const QString &temporary, const QString &path, QString *error);

// The user's message for a failed write to `path` with the reason.
QString failure(const QString &path, const QString &reason);
// The same for a write that stopped half way, with the system's text.
QString writeFailure(const QString &path, const QString &systemText);

// The system's text of an errno value.
QString systemText(int error);

} // namespace TargetFile

} // namespace kivexport
