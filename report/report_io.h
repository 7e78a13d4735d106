// How the report file's system-call failures map onto the kinds the calculation command shows.
#pragma once

#include <string>

#include "report/report.h"

namespace vmk {

// The kind of a failed system call by its system error number (errno; on Windows the code of
// GetLastError), as `platform::KindOfError` tells it: on POSIX systems ENOENT is FileNotFound,
// ENOTDIR and ENAMETOOLONG PathNotFound, EACCES, EPERM, EROFS, EISDIR, ETXTBSY and EWOULDBLOCK
// (the file is locked by another writer) AccessDenied, ENOSPC and EDQUOT DiskFull, EMFILE and
// ENFILE TooManyOpenFiles. A missing entry counts as a missing file here; `OpenErrorKind` tells
// a missing file from a missing folder.
IoErrorKind IoErrorKindOf(int err);

// The kind of a failed open of `path`: as `IoErrorKindOf`, except that a missing file becomes
// PathNotFound when the folder that should hold the file is missing too.
IoErrorKind OpenErrorKind(int err, const std::string& path);

// The folder part of a path: everything before its last separator ("/", on Windows also "\"),
// the root for a file in the root, "." for a bare file name.
using platform::ParentFolder;

}  // namespace vmk
