// The file operations the world files and the settings file use, behind one
// small interface, and the one error type every file operation reports.
//
// SaveWorld, LoadWorld and SaveSettings reach the disk only through a
// FileSystem, so a test can make any single operation fail (a full disk at
// the 7th write, a rename refused) and check that the previous file
// survives. PosixFileSystem is the real one. None throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/events.h"
#include "core/status.h"

namespace ombrivale {

class Seam;
struct World;

// Error numbers of malformed files, beside the platform's errno values (all
// below 1000).
inline constexpr int kErrorPastEnd = 1001;       // the file ends before its last value
inline constexpr int kErrorNotNumber = 1002;     // text where a number belongs
inline constexpr int kErrorOutOfRange = 1003;    // a number its field's type cannot hold
inline constexpr int kErrorBadSlot = 1004;       // a slot number outside 1..750
inline constexpr int kErrorByteOverflow = 1005;  // a map value one byte cannot hold (save)
// A file that is not the one the save's manifest lists (world/manifest.h).
inline constexpr int kErrorNotInManifest = 1011;    // the manifest does not list it
inline constexpr int kErrorSizeDiffers = 1012;      // of another size than listed
inline constexpr int kErrorChecksumDiffers = 1013;  // of another checksum than listed
inline constexpr int kErrorBadManifest = 1014;      // a manifest line no save writes

// Every file operation returns a Status (core/status.h): OK, or a platform
// error (its number an errno value, code NotFound for ENOENT, else IOError)
// or a malformed file (its number kErrorPastEnd..., code Corruption) and
// where in the file:
//   if (Status status = files.Sync(fd); !status.ok()) return status;
// An errno value as an error (0, which no failed call should leave, as EIO).
Status PlatformError(int errnoValue);
Status FormatError(int number, int64_t where);

// The platform's description of an errno value, or the description of a
// malformed file with where it was met: "Type mismatch: not a number (at 2)".
std::string ErrorDescription(const Status& error);

// The text of the "ERROR" box of a failed file operation: "Error ", the
// number with a blank for its sign, the description (after the file's name
// when one is given: "A_3.OBG: ...") and the advice to give the number to
// Brenlo, lines broken by LF CR.
std::string FileErrorText(const Status& error, std::string_view file = {});
// Shows that box through the world's seam, for a load step that goes on to
// ask whether to cancel.
void ShowFileError(World& world, const Status& error, std::string_view file = {});

// What the user is told of an event the library posted: the "ERROR" box of
// each fault of a failed save, a file notice's box, nothing for the others.
// The program shows them as message boxes; the tools write them out.
struct Notice {
  std::string title;
  std::string text;
};
std::vector<Notice> NoticesOf(const Event& event);
// Shows those of each event as message boxes through `seam`, oldest first.
void ShowNotices(Seam& seam, const std::vector<Event>& events);

// Posts a FileNotice event (nothing when nobody listens).
void PostFileNotice(World& world, Status status, std::string title, std::string text);
// The notice of a file being loaded that the world goes on without, its
// text "<file> could not be read (<fault>): <instead>"; `status.file()`
// names the file.
void RefuseFile(World& world, Status status, std::string title, std::string_view instead);

enum class PathKind : unsigned char { Missing, File, Folder, Other };

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // What lies at `path` (without following a final symbolic link to a
  // folder: a link is Other). ENOENT is not an error: kind becomes Missing.
  virtual Status Inspect(const std::string& path, PathKind& kind) = 0;
  // The number of names of the regular file at `path` (hard links count);
  // 0 for anything else or nothing.
  virtual Status CountLinks(const std::string& path, uint64_t& links) = 0;
  virtual Status MakeFolder(const std::string& path) = 0;
  // The names in a folder, without "." and "..".
  virtual Status ListFolder(const std::string& path, std::vector<std::string>& names) = 0;

  // Creates or truncates a file for writing; `fd` receives its descriptor.
  virtual Status CreateFile(const std::string& path, int& fd) = 0;
  // Opens a folder so that it can be flushed.
  virtual Status OpenFolder(const std::string& path, int& fd) = 0;
  // Writes up to `size` bytes; `written` receives how many were taken.
  virtual Status Write(int fd, const char* data, size_t size, size_t& written) = 0;
  // Flushes one file or folder to the disk.
  virtual Status Sync(int fd) = 0;
  // Flushes the named files to the disk; the first error, after trying all.
  virtual Status SyncFiles(const std::vector<std::string>& paths) = 0;
  virtual Status Close(int fd) = 0;

  // Reads a whole regular file.
  virtual Status ReadFile(const std::string& path, std::string& bytes) = 0;

  virtual Status Link(const std::string& from, const std::string& to) = 0;
  virtual Status Rename(const std::string& from, const std::string& to) = 0;
  // Swaps two paths in one step. ENOSYS, EINVAL or ENOTSUP: the system or
  // the file system cannot, and the caller falls back to plain renames.
  virtual Status Exchange(const std::string& first, const std::string& second) = 0;
  virtual Status RemoveFile(const std::string& path) = 0;
  // Removes an empty folder.
  virtual Status RemoveFolder(const std::string& path) = 0;
};

class PosixFileSystem : public FileSystem {
 public:
  Status Inspect(const std::string& path, PathKind& kind) override;
  Status CountLinks(const std::string& path, uint64_t& links) override;
  Status MakeFolder(const std::string& path) override;
  Status ListFolder(const std::string& path, std::vector<std::string>& names) override;
  Status CreateFile(const std::string& path, int& fd) override;
  Status OpenFolder(const std::string& path, int& fd) override;
  Status Write(int fd, const char* data, size_t size, size_t& written) override;
  Status Sync(int fd) override;
  // The flushes go out from several threads at once: a flush waits for the
  // journal's commit, and flushes asked for together share one.
  Status SyncFiles(const std::vector<std::string>& paths) override;
  Status Close(int fd) override;
  Status ReadFile(const std::string& path, std::string& bytes) override;
  Status Link(const std::string& from, const std::string& to) override;
  Status Rename(const std::string& from, const std::string& to) override;
  Status Exchange(const std::string& first, const std::string& second) override;
  Status RemoveFile(const std::string& path) override;
  Status RemoveFolder(const std::string& path) override;
};

// Creates (or truncates) `path`, writes all of `bytes`, flushes it to the
// disk when `flush` is set and closes it; a short write, a full disk, a
// failed flush or a failed close is an error.
Status WriteWholeFile(FileSystem& files, const std::string& path, std::string_view bytes,
                      bool flush);

// Removes a folder and everything in it. Returns the first error met; goes
// on after it.
Status RemoveFolderTree(FileSystem& files, const std::string& path);

}  // namespace ombrivale
