#include "world/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ombrivale {
namespace {

// renameat2's flag from <linux/fs.h>, spelled out so the header is not needed.
constexpr unsigned kRenameExchange = 1u << 1;

int ErrnoOr(int result) {
  return result == 0 ? 0 : (errno != 0 ? errno : EIO);
}

}  // namespace

int PosixFileSystem::Inspect(const std::string& path, PathKind& kind) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      kind = PathKind::Missing;
      return 0;
    }
    return errno;
  }
  kind = S_ISREG(info.st_mode)   ? PathKind::File
         : S_ISDIR(info.st_mode) ? PathKind::Folder
                                 : PathKind::Other;
  return 0;
}

int PosixFileSystem::MakeFolder(const std::string& path) {
  return ErrnoOr(::mkdir(path.c_str(), 0755));
}

int PosixFileSystem::ListFolder(const std::string& path, std::vector<std::string>& names) {
  names.clear();
  DIR* folder = ::opendir(path.c_str());
  if (folder == nullptr) return errno;
  errno = 0;
  while (const dirent* entry = ::readdir(folder)) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) names.emplace_back(name);
  }
  const int error = errno;
  ::closedir(folder);
  return error;
}

int PosixFileSystem::CreateFile(const std::string& path, int& fd) {
  fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd >= 0 ? 0 : errno;
}

int PosixFileSystem::OpenFolder(const std::string& path, int& fd) {
  fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  return fd >= 0 ? 0 : errno;
}

int PosixFileSystem::Write(int fd, const char* data, size_t size, size_t& written) {
  written = 0;
  for (;;) {
    const ssize_t result = ::write(fd, data, size);
    if (result >= 0) {
      written = static_cast<size_t>(result);
      return 0;
    }
    if (errno != EINTR) return errno;
  }
}

int PosixFileSystem::Sync(int fd) {
  return ErrnoOr(::fsync(fd));
}

int PosixFileSystem::SyncFileSystem(int fd) {
  return ErrnoOr(::syncfs(fd));
}

int PosixFileSystem::Close(int fd) {
  // After a failed close the descriptor is gone on Linux: never retry it.
  return ErrnoOr(::close(fd));
}

int PosixFileSystem::ReadFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
  }
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t done = 0;
  for (;;) {
    if (done == bytes.size()) bytes.resize(bytes.size() + 4096);  // the file grew
    const ssize_t result = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (result < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      bytes.clear();
      return error;
    }
    if (result == 0) break;
    done += static_cast<size_t>(result);
  }
  bytes.resize(done);
  ::close(fd);
  return 0;
}

int PosixFileSystem::Link(const std::string& from, const std::string& to) {
  return ErrnoOr(::link(from.c_str(), to.c_str()));
}

int PosixFileSystem::Rename(const std::string& from, const std::string& to) {
  return ErrnoOr(::rename(from.c_str(), to.c_str()));
}

int PosixFileSystem::Exchange(const std::string& first, const std::string& second) {
#ifdef SYS_renameat2
  const long result =
      ::syscall(SYS_renameat2, AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), kRenameExchange);
  return result == 0 ? 0 : errno;
#else
  (void)first;
  (void)second;
  return ENOSYS;
#endif
}

int PosixFileSystem::RemoveFile(const std::string& path) {
  return ErrnoOr(::unlink(path.c_str()));
}

int PosixFileSystem::RemoveFolder(const std::string& path) {
  return ErrnoOr(::rmdir(path.c_str()));
}

int WriteWholeFile(FileSystem& files, const std::string& path, std::string_view bytes, bool flush) {
  int fd = -1;
  if (const int error = files.CreateFile(path, fd)) return error;
  int error = 0;
  size_t done = 0;
  while (done < bytes.size()) {
    size_t written = 0;
    error = files.Write(fd, bytes.data() + done, bytes.size() - done, written);
    if (error == 0 && written == 0) error = ENOSPC;  // no progress: the disk took nothing
    if (error != 0) break;
    done += written;
  }
  if (error == 0 && flush) error = files.Sync(fd);
  const int closeError = files.Close(fd);
  return error != 0 ? error : closeError;
}

int RemoveFolderTree(FileSystem& files, const std::string& path) {
  std::vector<std::string> names;
  int first = files.ListFolder(path, names);
  for (const std::string& name : names) {
    const std::string child = path + "/" + name;
    PathKind kind = PathKind::Missing;
    int error = files.Inspect(child, kind);
    if (error == 0 && kind == PathKind::Folder) {
      error = RemoveFolderTree(files, child);
    } else if (error == 0 && kind != PathKind::Missing) {
      error = files.RemoveFile(child);
    }
    if (first == 0) first = error;
  }
  const int error = files.RemoveFolder(path);
  return first != 0 ? first : error;
}

std::string ErrorDescription(int number) {
  char buffer[256];
  // The GNU strerror_r returns the text, which may or may not be `buffer`.
  const char* text = ::strerror_r(number, buffer, sizeof buffer);
  return text != nullptr ? std::string(text) : "Unknown error " + std::to_string(number);
}

}  // namespace ombrivale
