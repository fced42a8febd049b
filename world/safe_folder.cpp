#include "world/safe_folder.h"

#include <cerrno>

namespace ombrivale {
namespace {

bool ExchangeUnsupported(Status error) {
  const int n = error.number();
  return n == ENOSYS || n == EINVAL || n == ENOTSUP || n == EPERM;
}

// Removes whatever lies at `path`; a missing path is fine.
Status RemovePath(FileSystem& files, const std::string& path) {
  PathKind kind = PathKind::Missing;
  if (const Status error = files.Inspect(path, kind); !error.ok()) return error;
  if (kind == PathKind::Missing) return {};
  if (kind == PathKind::Folder) return RemoveFolderTree(files, path);
  return files.RemoveFile(path);
}

Status KindOf(FileSystem& files, const std::string& path, PathKind& kind) {
  kind = PathKind::Missing;
  return files.Inspect(path, kind);
}

// Creates `path` and the folders above it that are missing.
Status MakeFolders(FileSystem& files, const std::string& path) {
  PathKind kind = PathKind::Missing;
  if (const Status error = KindOf(files, path, kind); !error.ok()) return error;
  if (kind == PathKind::Folder) return {};
  if (kind != PathKind::Missing) return PlatformError(ENOTDIR);
  const size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0) {
    if (const Status error = MakeFolders(files, path.substr(0, slash)); !error.ok()) return error;
  }
  const Status error = files.MakeFolder(path);
  return error.number() == EEXIST ? Status() : error;
}

}  // namespace

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return path.substr(0, slash == 0 ? 1 : slash);
}

FolderSiblings SiblingsOf(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  FolderSiblings s;
  s.parent = ParentFolder(path);
  const size_t slash = path.find_last_of('/');
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  // Built by appending: GCC 12 warns falsely (-Wrestrict) on the operator+ form.
  std::string prefix = s.parent;
  if (prefix != "/") prefix += '/';
  prefix += '.';
  prefix += base;
  s.saving = prefix;
  s.saving += ".saving";
  s.ready = prefix;
  s.ready += ".ready";
  s.old = prefix;
  s.old += ".old";
  s.spare = prefix;
  s.spare += ".spare";
  return s;
}

Status SyncFolder(FileSystem& files, const std::string& path) {
  int fd = -1;
  if (const Status error = files.OpenFolder(path, fd); !error.ok()) return error;
  const Status error = files.Sync(fd);
  const Status closeError = files.Close(fd);
  return !error.ok() ? error : closeError;
}

Status RecoverFolder(FileSystem& files, const std::string& folder) {
  const FolderSiblings s = SiblingsOf(folder);
  PathKind kind;
  if (const Status error = KindOf(files, folder, kind); !error.ok()) return error;
  if (kind == PathKind::Missing) {
    PathKind readyKind;
    PathKind oldKind;
    if (const Status error = KindOf(files, s.ready, readyKind); !error.ok()) return error;
    if (const Status error = KindOf(files, s.old, oldKind); !error.ok()) return error;
    const std::string* source = readyKind == PathKind::Folder ? &s.ready
                                : oldKind == PathKind::Folder ? &s.old
                                                              : nullptr;
    if (source != nullptr) {
      if (const Status error = files.Rename(*source, folder); !error.ok()) return error;
      if (const Status error = SyncFolder(files, s.parent); !error.ok()) return error;
    }
  }
  // Leftovers: best effort, the next save or load tries again.
  RemovePath(files, s.saving);
  RemovePath(files, s.ready);
  RemovePath(files, s.old);
  return {};
}

Status BeginFolderReplace(FileSystem& files, const std::string& folder) {
  const FolderSiblings s = SiblingsOf(folder);
  if (const Status error = MakeFolders(files, s.parent); !error.ok()) return error;
  if (const Status error = RecoverFolder(files, folder); !error.ok()) return error;
  // A leftover that recovery could not remove would mix into this save.
  if (const Status error = RemovePath(files, s.saving); !error.ok()) return error;
  PathKind spare = PathKind::Missing;
  if (const Status error = KindOf(files, s.spare, spare); !error.ok()) return error;
  if (spare == PathKind::Folder) return files.Rename(s.spare, s.saving);
  if (const Status error = RemovePath(files, s.spare); !error.ok()) return error;
  return files.MakeFolder(s.saving);
}

Status FlushSavingFolder(FileSystem& files, const std::string& folder,
                         const std::vector<std::string>& written) {
  const FolderSiblings s = SiblingsOf(folder);
  int fd = -1;
  if (const Status error = files.OpenFolder(s.saving, fd); !error.ok()) return error;
  // Only what this save wrote, not the whole file system with every other
  // program's writes.
  Status error = files.SyncFiles(written);
  if (error.ok()) error = files.Sync(fd);
  const Status closeError = files.Close(fd);
  return !error.ok() ? error : closeError;
}

Status CommitFolderReplace(FileSystem& files, const std::string& folder, bool& replaced) {
  replaced = false;
  const FolderSiblings s = SiblingsOf(folder);
  // From here on the new contents count as complete.
  if (const Status error = RemovePath(files, s.ready); !error.ok()) return error;
  if (const Status error = files.Rename(s.saving, s.ready); !error.ok()) return error;
  if (const Status error = SyncFolder(files, s.parent); !error.ok()) return error;

  PathKind kind;
  if (const Status error = KindOf(files, folder, kind); !error.ok()) return error;
  const std::string* previous = nullptr;  // where the old contents end up
  if (kind == PathKind::Missing) {
    if (const Status error = files.Rename(s.ready, folder); !error.ok()) return error;
  } else {
    const Status exchangeError = files.Exchange(s.ready, folder);
    if (exchangeError.ok()) {
      previous = &s.ready;
    } else if (ExchangeUnsupported(exchangeError)) {
      if (const Status error = RemovePath(files, s.old); !error.ok()) return error;
      if (const Status error = files.Rename(folder, s.old); !error.ok()) return error;
      // A crash here leaves no folder: recovery takes .ready.
      if (const Status error = files.Rename(s.ready, folder); !error.ok()) {
        files.Rename(s.old, folder);  // put the old one back; recovery would take .ready
        return error;
      }
      previous = &s.old;
    } else {
      return exchangeError;
    }
  }
  replaced = true;
  if (const Status error = SyncFolder(files, s.parent); !error.ok()) return error;
  // The old contents are no longer a save: they become the spare folder for
  // the next save to write over. Should that fail, they are a leftover that
  // the next save or load removes.
  if (previous != nullptr) {
    if (!RemovePath(files, s.spare).ok() || !files.Rename(*previous, s.spare).ok())
      RemovePath(files, *previous);
  }
  return {};
}

void AbandonFolderReplace(FileSystem& files, const std::string& folder) {
  RemovePath(files, SiblingsOf(folder).saving);
}

}  // namespace ombrivale
