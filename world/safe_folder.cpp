#include "world/safe_folder.h"

#include <cerrno>

namespace ombrivale {
namespace {

bool ExchangeUnsupported(int error) {
  return error == ENOSYS || error == EINVAL || error == ENOTSUP || error == EPERM;
}

// Removes whatever lies at `path`; a missing path is fine.
int RemovePath(FileSystem& files, const std::string& path) {
  PathKind kind = PathKind::Missing;
  if (const int error = files.Inspect(path, kind)) return error;
  if (kind == PathKind::Missing) return 0;
  if (kind == PathKind::Folder) return RemoveFolderTree(files, path);
  return files.RemoveFile(path);
}

int KindOf(FileSystem& files, const std::string& path, PathKind& kind) {
  kind = PathKind::Missing;
  return files.Inspect(path, kind);
}

// Creates `path` and the folders above it that are missing.
int MakeFolders(FileSystem& files, const std::string& path) {
  PathKind kind = PathKind::Missing;
  if (const int error = KindOf(files, path, kind)) return error;
  if (kind == PathKind::Folder) return 0;
  if (kind != PathKind::Missing) return ENOTDIR;
  const size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0) {
    if (const int error = MakeFolders(files, path.substr(0, slash))) return error;
  }
  const int error = files.MakeFolder(path);
  return error == EEXIST ? 0 : error;
}

}  // namespace

FolderSiblings SiblingsOf(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  const size_t slash = path.find_last_of('/');
  FolderSiblings s;
  std::string base;
  if (slash == std::string::npos) {
    s.parent.assign(1, '.');
    base = path;
  } else {
    s.parent = path.substr(0, slash == 0 ? 1 : slash);
    base = path.substr(slash + 1);
  }
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
  return s;
}

int SyncFolder(FileSystem& files, const std::string& path) {
  int fd = -1;
  if (const int error = files.OpenFolder(path, fd)) return error;
  const int error = files.Sync(fd);
  const int closeError = files.Close(fd);
  return error != 0 ? error : closeError;
}

int RecoverFolder(FileSystem& files, const std::string& folder) {
  const FolderSiblings s = SiblingsOf(folder);
  PathKind kind;
  if (const int error = KindOf(files, folder, kind)) return error;
  if (kind == PathKind::Missing) {
    PathKind readyKind;
    PathKind oldKind;
    if (const int error = KindOf(files, s.ready, readyKind)) return error;
    if (const int error = KindOf(files, s.old, oldKind)) return error;
    const std::string* source = readyKind == PathKind::Folder ? &s.ready
                                : oldKind == PathKind::Folder ? &s.old
                                                              : nullptr;
    if (source != nullptr) {
      if (const int error = files.Rename(*source, folder)) return error;
      if (const int error = SyncFolder(files, s.parent)) return error;
    }
  }
  // Leftovers: best effort, the next save or load tries again.
  RemovePath(files, s.saving);
  RemovePath(files, s.ready);
  RemovePath(files, s.old);
  return 0;
}

int BeginFolderReplace(FileSystem& files, const std::string& folder) {
  const FolderSiblings s = SiblingsOf(folder);
  if (const int error = MakeFolders(files, s.parent)) return error;
  if (const int error = RecoverFolder(files, folder)) return error;
  // A leftover that recovery could not remove would mix into this save.
  if (const int error = RemovePath(files, s.saving)) return error;
  return files.MakeFolder(s.saving);
}

int FlushSavingFolder(FileSystem& files, const std::string& folder) {
  const FolderSiblings s = SiblingsOf(folder);
  int fd = -1;
  if (const int error = files.OpenFolder(s.saving, fd)) return error;
  // One flush of the file system writes every file of the save at once: 750
  // separate flushes cost several times more on a journalling file system.
  int error = files.SyncFileSystem(fd);
  if (error == 0) error = files.Sync(fd);
  const int closeError = files.Close(fd);
  return error != 0 ? error : closeError;
}

int CommitFolderReplace(FileSystem& files, const std::string& folder, bool& replaced) {
  replaced = false;
  const FolderSiblings s = SiblingsOf(folder);
  // From here on the new contents count as complete.
  if (const int error = RemovePath(files, s.ready)) return error;
  if (const int error = files.Rename(s.saving, s.ready)) return error;
  if (const int error = SyncFolder(files, s.parent)) return error;

  PathKind kind;
  if (const int error = KindOf(files, folder, kind)) return error;
  const std::string* previous = nullptr;  // where the old contents end up
  if (kind == PathKind::Missing) {
    if (const int error = files.Rename(s.ready, folder)) return error;
  } else {
    const int exchangeError = files.Exchange(s.ready, folder);
    if (exchangeError == 0) {
      previous = &s.ready;
    } else if (ExchangeUnsupported(exchangeError)) {
      if (const int error = RemovePath(files, s.old)) return error;
      if (const int error = files.Rename(folder, s.old)) return error;
      // A crash here leaves no folder: recovery takes .ready.
      if (const int error = files.Rename(s.ready, folder)) {
        files.Rename(s.old, folder);  // put the old one back; recovery would take .ready
        return error;
      }
      previous = &s.old;
    } else {
      return exchangeError;
    }
  }
  replaced = true;
  if (const int error = SyncFolder(files, s.parent)) return error;
  // The old contents are no longer needed; a failure here leaves a leftover
  // that the next save or load removes.
  if (previous != nullptr) RemovePath(files, *previous);
  return 0;
}

void AbandonFolderReplace(FileSystem& files, const std::string& folder) {
  RemovePath(files, SiblingsOf(folder).saving);
}

}  // namespace ombrivale
