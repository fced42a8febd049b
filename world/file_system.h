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

namespace ombrivale {

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

// What went wrong in a file operation: a platform error (an errno value) or a
// malformed file (kErrorPastEnd...), and where. Like std::error_code it is
// true when something went wrong:
//   if (const FileError error = files.Sync(fd)) return error;
struct FileError {
  int number = 0;  // 0: no error
  // Where in the file: the 1-based line of a text file or the byte offset of
  // a binary one; 0 when it does not apply.
  int64_t where = 0;

  bool failed() const { return number != 0; }
  explicit operator bool() const { return failed(); }
};

// An errno value as an error (0, which no failed call should leave, as EIO).
FileError PlatformError(int errnoValue);
FileError FormatError(int number, int64_t where);

// The platform's description of an errno value, or the description of a
// malformed file with where it was met: "Type mismatch: not a number (at 2)".
std::string ErrorDescription(const FileError& error);

// The "ERROR" box of a failed file operation: "Error ", the number with a
// blank for its sign, the description and the advice to give the number to
// Brenlo, lines broken by LF CR.
void ShowFileError(World& world, const FileError& error);
// The same box with the description naming the file: "A_3.OBG: ...".
void ShowFileError(World& world, const FileError& error, std::string_view file);

enum class PathKind : unsigned char { Missing, File, Folder, Other };

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // What lies at `path` (without following a final symbolic link to a
  // folder: a link is Other). ENOENT is not an error: kind becomes Missing.
  virtual FileError Inspect(const std::string& path, PathKind& kind) = 0;
  // The number of names of the regular file at `path` (hard links count);
  // 0 for anything else or nothing.
  virtual FileError CountLinks(const std::string& path, uint64_t& links) = 0;
  virtual FileError MakeFolder(const std::string& path) = 0;
  // The names in a folder, without "." and "..".
  virtual FileError ListFolder(const std::string& path, std::vector<std::string>& names) = 0;

  // Creates or truncates a file for writing; `fd` receives its descriptor.
  virtual FileError CreateFile(const std::string& path, int& fd) = 0;
  // Opens a folder so that it can be flushed.
  virtual FileError OpenFolder(const std::string& path, int& fd) = 0;
  // Writes up to `size` bytes; `written` receives how many were taken.
  virtual FileError Write(int fd, const char* data, size_t size, size_t& written) = 0;
  // Flushes one file or folder to the disk.
  virtual FileError Sync(int fd) = 0;
  // Flushes the named files to the disk; the first error, after trying all.
  virtual FileError SyncFiles(const std::vector<std::string>& paths) = 0;
  virtual FileError Close(int fd) = 0;

  // Reads a whole regular file.
  virtual FileError ReadFile(const std::string& path, std::string& bytes) = 0;

  virtual FileError Link(const std::string& from, const std::string& to) = 0;
  virtual FileError Rename(const std::string& from, const std::string& to) = 0;
  // Swaps two paths in one step. ENOSYS, EINVAL or ENOTSUP: the system or
  // the file system cannot, and the caller falls back to plain renames.
  virtual FileError Exchange(const std::string& first, const std::string& second) = 0;
  virtual FileError RemoveFile(const std::string& path) = 0;
  // Removes an empty folder.
  virtual FileError RemoveFolder(const std::string& path) = 0;
};

class PosixFileSystem : public FileSystem {
 public:
  FileError Inspect(const std::string& path, PathKind& kind) override;
  FileError CountLinks(const std::string& path, uint64_t& links) override;
  FileError MakeFolder(const std::string& path) override;
  FileError ListFolder(const std::string& path, std::vector<std::string>& names) override;
  FileError CreateFile(const std::string& path, int& fd) override;
  FileError OpenFolder(const std::string& path, int& fd) override;
  FileError Write(int fd, const char* data, size_t size, size_t& written) override;
  FileError Sync(int fd) override;
  // The flushes go out from several threads at once: a flush waits for the
  // journal's commit, and flushes asked for together share one.
  FileError SyncFiles(const std::vector<std::string>& paths) override;
  FileError Close(int fd) override;
  FileError ReadFile(const std::string& path, std::string& bytes) override;
  FileError Link(const std::string& from, const std::string& to) override;
  FileError Rename(const std::string& from, const std::string& to) override;
  FileError Exchange(const std::string& first, const std::string& second) override;
  FileError RemoveFile(const std::string& path) override;
  FileError RemoveFolder(const std::string& path) override;
};

// Creates (or truncates) `path`, writes all of `bytes`, flushes it to the
// disk when `flush` is set and closes it; a short write, a full disk, a
// failed flush or a failed close is an error.
FileError WriteWholeFile(FileSystem& files, const std::string& path, std::string_view bytes,
                         bool flush);

// Removes a folder and everything in it. Returns the first error met; goes
// on after it.
FileError RemoveFolderTree(FileSystem& files, const std::string& path);

}  // namespace ombrivale
