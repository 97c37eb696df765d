// A test seam for the file layer: lets tests make chosen input/output operations fail
// (a full disk during a write, a failing rename) to prove that no record is ever lost.
#pragma once

#include <functional>
#include <string>

enum class TIoOp { Open, Read, Write, Sync, Close, Rename, Remove, Lock };

// Returns true when the operation on `path` must fail. A failing Write writes half of its
// bytes first, as a full disk would; a failing Lock finds the file held by another program. Lock
// is asked between opening a file and locking it, where another program may replace the file.
using TIoFaultHook = std::function<bool(TIoOp op, const std::string& path)>;

void SetIoFaultHook(TIoFaultHook hook);
bool IoFaultInjected(TIoOp op, const std::string& path);

// Renames a file over another one; false on failure (or an injected fault).
bool RenameFileOver(const std::string& from, const std::string& to);
// Deletes a file; false when it could not be deleted.
bool DeleteFileAt(const std::string& path);
// Commits a folder's entries (after a rename) to disk.
bool SyncFolder(const std::string& folder);
