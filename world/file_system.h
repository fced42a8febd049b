// The file operations the world files use, behind one small interface.
//
// SaveWorld and LoadWorld reach the disk only through a FileSystem, so a test
// can make any single operation fail (a full disk at the 7th write, a rename
// refused) and check that the previous save survives. PosixFileSystem is the
// real one. Every operation returns 0 on success or an errno value; none
// throws.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ombrivale {

enum class PathKind : unsigned char { Missing, File, Folder, Other };

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // What lies at `path` (without following a final symbolic link to a
  // folder: a link is Other). ENOENT is not an error: kind becomes Missing.
  virtual int Inspect(const std::string& path, PathKind& kind) = 0;
  virtual int MakeFolder(const std::string& path) = 0;
  // The names in a folder, without "." and "..".
  virtual int ListFolder(const std::string& path, std::vector<std::string>& names) = 0;

  // Creates or truncates a file for writing; `fd` receives its descriptor.
  virtual int CreateFile(const std::string& path, int& fd) = 0;
  // Opens a folder so that it can be flushed.
  virtual int OpenFolder(const std::string& path, int& fd) = 0;
  // Writes up to `size` bytes; `written` receives how many were taken.
  virtual int Write(int fd, const char* data, size_t size, size_t& written) = 0;
  // Flushes one file or folder to the disk.
  virtual int Sync(int fd) = 0;
  // Flushes every file of the file system holding `fd` to the disk and
  // reports any write-back error met since `fd` was opened. One call for a
  // whole save is much cheaper than a flush per file.
  virtual int SyncFileSystem(int fd) = 0;
  virtual int Close(int fd) = 0;

  // Reads a whole regular file.
  virtual int ReadFile(const std::string& path, std::string& bytes) = 0;

  virtual int Link(const std::string& from, const std::string& to) = 0;
  virtual int Rename(const std::string& from, const std::string& to) = 0;
  // Swaps two paths in one step. ENOSYS, EINVAL or ENOTSUP: the system or
  // the file system cannot, and the caller falls back to plain renames.
  virtual int Exchange(const std::string& first, const std::string& second) = 0;
  virtual int RemoveFile(const std::string& path) = 0;
  // Removes an empty folder.
  virtual int RemoveFolder(const std::string& path) = 0;
};

class PosixFileSystem final : public FileSystem {
 public:
  int Inspect(const std::string& path, PathKind& kind) override;
  int MakeFolder(const std::string& path) override;
  int ListFolder(const std::string& path, std::vector<std::string>& names) override;
  int CreateFile(const std::string& path, int& fd) override;
  int OpenFolder(const std::string& path, int& fd) override;
  int Write(int fd, const char* data, size_t size, size_t& written) override;
  int Sync(int fd) override;
  int SyncFileSystem(int fd) override;
  int Close(int fd) override;
  int ReadFile(const std::string& path, std::string& bytes) override;
  int Link(const std::string& from, const std::string& to) override;
  int Rename(const std::string& from, const std::string& to) override;
  int Exchange(const std::string& first, const std::string& second) override;
  int RemoveFile(const std::string& path) override;
  int RemoveFolder(const std::string& path) override;
};

// Creates (or truncates) `path`, writes all of `bytes`, flushes it to the
// disk when `flush` is set and closes it; a short write, a full disk, a
// failed flush or a failed close is an error.
int WriteWholeFile(FileSystem& files, const std::string& path, std::string_view bytes, bool flush);

// Removes a folder and the files in it (one level: sub-folders are removed
// only when empty). Returns the first error met; goes on after it.
int RemoveFolderTree(FileSystem& files, const std::string& path);

// The platform's description of an errno value.
std::string ErrorDescription(int number);

}  // namespace ombrivale
