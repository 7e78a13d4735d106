// How the report file's system-call failures map onto the kinds the calculation command shows.
#pragma once

#include <string>

#include "report/report.h"

namespace vmk {

// The kind of a failed system call by its errno. A missing entry (ENOENT) counts as a missing
// file here; `OpenErrorKind` tells a missing file from a missing folder.
//   ENOENT                      -> FileNotFound
//   ENOTDIR, ENAMETOOLONG       -> PathNotFound
//   EACCES, EPERM, EROFS, EISDIR, ETXTBSY, EWOULDBLOCK (the file is locked by another
//   writer)                     -> AccessDenied
//   ENOSPC, EDQUOT              -> DiskFull
//   EMFILE, ENFILE              -> TooManyOpenFiles
//   anything else               -> Other
IoErrorKind IoErrorKindOf(int err);

// The kind of a failed open of `path`: as `IoErrorKindOf`, except that ENOENT becomes
// PathNotFound when the folder that should hold the file is missing too.
IoErrorKind OpenErrorKind(int err, const std::string& path);

// The folder part of a path: everything before its last "/", "/" for a file in the root,
// "." for a bare file name.
std::string ParentFolder(const std::string& path);

}  // namespace vmk
