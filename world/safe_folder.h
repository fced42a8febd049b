// Replacing a whole folder so that a crash at any moment leaves either the
// old contents or the new ones, never a mixture.
//
// A save of folder "<parent>/F" goes through two hidden siblings on the same
// file system:
//   "<parent>/.F.saving"  being written; never trusted, removed on sight
//   "<parent>/.F.ready"   written and flushed in full: a complete save
//   "<parent>/.F.old"     the previous F while the plain-rename swap runs
//   "<parent>/.F.spare"   the contents F had before the last save, kept to
//                         be written over by the next save instead of
//                         creating and removing every file each time; never
//                         trusted as a save. It may share files with F (hard
//                         links of the files a save carried over): a file
//                         that has another name is removed from it, never
//                         written over (world/world_files.cpp)
// The swap exchanges .F.ready and F in one step (renameat2 RENAME_EXCHANGE);
// where the file system cannot, it renames F to .F.old and .F.ready to F.
// Whatever the moment of a crash, RecoverFolder finds a complete F:
//   F present               F is complete; every sibling is a leftover
//   F missing, .F.ready     the crash fell between the two renames: the
//                           ready folder is the new save
//   F missing, .F.old only  the old save
#pragma once

#include <string>

#include "world/file_system.h"

namespace ombrivale {

struct FolderSiblings {
  std::string parent;
  std::string saving;
  std::string ready;
  std::string old;
  std::string spare;
};

// REQUIRES: `folder` names a folder (a trailing "/" is ignored), not "/".
FolderSiblings SiblingsOf(const std::string& folder);

// The folder that holds `path`: "." for a bare name, "/" for a name at the
// top.
std::string ParentFolder(const std::string& path);

// Puts back a folder whose swap was cut short and removes the leftover
// siblings. Returns an error only when the folder could not be put back;
// leftovers that cannot be removed are left for the next call.
Status RecoverFolder(FileSystem& files, const std::string& folder);

// Recovers the folder, creates the parent folders that are missing and a
// ".F.saving" folder to write the new contents into: the spare folder when
// there is one (it still holds an older save's files, to be written over or
// removed by the caller; one that has another name, which may be in
// `folder`, must be removed), else a new empty one.
Status BeginFolderReplace(FileSystem& files, const std::string& folder);

// Flushes the files written into ".F.saving" (`written`, whole paths) and
// the folder itself. Files linked in from a folder flushed before need no
// flush of their own: the folder's flush keeps their names.
// REQUIRES: the files were written and closed.
Status FlushSavingFolder(FileSystem& files, const std::string& folder,
                         const std::vector<std::string>& written);

// Swaps the flushed ".F.saving" in as `folder` and keeps the previous
// contents as the spare folder. `replaced` tells whether `folder` holds the new contents when it
// returns (it can be true with an error: the last flush of the parent folder
// failed, so the swap may not survive a power cut).
Status CommitFolderReplace(FileSystem& files, const std::string& folder, bool& replaced);

// Removes ".F.saving" after a save that is not to be committed.
void AbandonFolderReplace(FileSystem& files, const std::string& folder);

// Flushes a folder's entries (the names in it) to the disk.
Status SyncFolder(FileSystem& files, const std::string& path);

}  // namespace ombrivale
