#include "world/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <mutex>
#include <thread>

#include "core/world.h"

namespace ombrivale {
namespace {

// renameat2's flag from <linux/fs.h>, spelled out so the header is not needed.
constexpr unsigned kRenameExchange = 1u << 1;

// The error of a call that returned `result` (0 on success, errno set else).
Status ErrorOf(long result) {
  return result == 0 ? Status() : PlatformError(errno);
}

void AppendNumber(std::string& out, int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

const char* FormatDescription(int number) {
  switch (number) {
    case kErrorPastEnd:
      return "Input past end of file";
    case kErrorNotNumber:
      return "Type mismatch: not a number";
    case kErrorOutOfRange:
      return "Overflow: the number does not fit its field";
    case kErrorBadSlot:
      return "Subscript out of range: no such animal slot";
    case kErrorByteOverflow:
      return "Overflow: a map value does not fit in one byte";
    case kErrorNotInManifest:
      return "Not one of the files of this save: its manifest does not list it";
    case kErrorSizeDiffers:
      return "Not the file this save wrote: its size differs from the manifest's";
    case kErrorChecksumDiffers:
      return "Not the file this save wrote: its checksum differs from the manifest's";
    case kErrorBadManifest:
      return "Damaged manifest: a line no save writes";
  }
  return "Unknown file error";
}

}  // namespace

Status PlatformError(int errnoValue) {
  const int number = errnoValue != 0 ? errnoValue : EIO;
  char buffer[256];
  // The GNU strerror_r returns the text, which may or may not be `buffer`.
  const char* text = ::strerror_r(number, buffer, sizeof buffer);
  std::string message;
  if (text != nullptr) {
    message = text;
  } else {
    message = "Unknown error ";
    AppendNumber(message, number);
  }
  return number == ENOENT ? Status::NotFound(message, number) : Status::IOError(message, number);
}

Status FormatError(int number, int64_t where) {
  return Status::Corruption(FormatDescription(number), number, where);
}

std::string ErrorDescription(const Status& error) {
  std::string text(error.message());
  if (error.number() >= kErrorPastEnd && error.where() > 0) {
    text += " (at ";
    AppendNumber(text, error.where());
    text += ")";
  }
  return text;
}

std::string FileErrorText(const Status& error, std::string_view file) {
  std::string text = "Error  ";  // the second blank stands for the number's sign
  AppendNumber(text, error.number());
  text += "\n\r";
  if (!file.empty()) {
    text += file;
    text += ": ";
  }
  text += ErrorDescription(error);
  text += "\n\r";
  text += "It'd be a good idea to give this number to Brenlo.";
  return text;
}

void ShowFileError(World& world, const Status& error, std::string_view file) {
  SeamOf(world).ShowMessageBox(FileErrorText(error, file), "ERROR", Buttons::Ok);
}

void ShowNotices(Seam& seam, const std::vector<Event>& events) {
  for (const Event& event : events) {
    for (const Notice& notice : NoticesOf(event))
      seam.ShowMessageBox(notice.text, notice.title, Buttons::Ok);
  }
}

void PostFileNotice(World& world, Status status, std::string title, std::string text) {
  if (!world.events.Listening()) return;
  world.events.Post(FileNotice{std::move(status), std::move(title), std::move(text)});
}

void RefuseFile(World& world, Status status, std::string title, std::string_view instead) {
  std::string text(status.file());
  text += " could not be read (";
  text += ErrorDescription(status);
  text += "): ";
  text += instead;
  PostFileNotice(world, std::move(status), std::move(title), std::move(text));
}

std::vector<Notice> NoticesOf(const Event& event) {
  std::vector<Notice> notices;
  if (const auto* save = std::get_if<SaveEnded>(&event)) {
    for (const Status& error : save->errors)
      notices.push_back({"ERROR", FileErrorText(error)});
  } else if (const auto* notice = std::get_if<FileNotice>(&event)) {
    notices.push_back({notice->title, notice->text});
  }
  return notices;
}

Status PosixFileSystem::Inspect(const std::string& path, PathKind& kind) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      kind = PathKind::Missing;
      return {};
    }
    return PlatformError(errno);
  }
  kind = S_ISREG(info.st_mode)   ? PathKind::File
         : S_ISDIR(info.st_mode) ? PathKind::Folder
                                 : PathKind::Other;
  return {};
}

Status PosixFileSystem::CountLinks(const std::string& path, uint64_t& links) {
  links = 0;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) {
    return errno == ENOENT || errno == ENOTDIR ? Status() : PlatformError(errno);
  }
  if (S_ISREG(info.st_mode)) links = static_cast<uint64_t>(info.st_nlink);
  return {};
}

Status PosixFileSystem::MakeFolder(const std::string& path) {
  return ErrorOf(::mkdir(path.c_str(), 0755));
}

Status PosixFileSystem::ListFolder(const std::string& path, std::vector<std::string>& names) {
  names.clear();
  DIR* folder = ::opendir(path.c_str());
  if (folder == nullptr) return PlatformError(errno);
  errno = 0;
  while (const dirent* entry = ::readdir(folder)) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) names.emplace_back(name);
  }
  const int error = errno;
  ::closedir(folder);
  return error == 0 ? Status() : PlatformError(error);
}

Status PosixFileSystem::CreateFile(const std::string& path, int& fd) {
  fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd >= 0 ? Status() : PlatformError(errno);
}

Status PosixFileSystem::OpenFolder(const std::string& path, int& fd) {
  fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  return fd >= 0 ? Status() : PlatformError(errno);
}

Status PosixFileSystem::Write(int fd, const char* data, size_t size, size_t& written) {
  written = 0;
  for (;;) {
    const ssize_t result = ::write(fd, data, size);
    if (result >= 0) {
      written = static_cast<size_t>(result);
      return {};
    }
    if (errno != EINTR) return PlatformError(errno);
  }
}

Status PosixFileSystem::Sync(int fd) {
  return ErrorOf(::fsync(fd));
}

Status PosixFileSystem::SyncFiles(const std::vector<std::string>& paths) {
  constexpr size_t kFlushers = 16;
  std::atomic<size_t> next{0};
  std::mutex mutex;
  Status first;
  const auto flush = [&] {
    for (size_t i; (i = next++) < paths.size();) {
      Status error;
      const int fd = ::open(paths[i].c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) {
        error = PlatformError(errno);
      } else {
        if (::fsync(fd) != 0) error = PlatformError(errno);
        ::close(fd);
      }
      if (!error.ok()) {
        const std::lock_guard<std::mutex> lock(mutex);
        if (first.ok()) first = error;
      }
    }
  };
  std::vector<std::thread> flushers;
  for (size_t k = 0; k < std::min(kFlushers, paths.size()); ++k)
    flushers.emplace_back(flush);
  for (std::thread& flusher : flushers)
    flusher.join();
  return first;
}

Status PosixFileSystem::Close(int fd) {
  // After a failed close the descriptor is gone on Linux: never retry it.
  return ErrorOf(::close(fd));
}

Status PosixFileSystem::ReadFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return PlatformError(errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const Status error = PlatformError(errno);
    ::close(fd);
    return error;
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return PlatformError(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
  }
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t done = 0;
  for (;;) {
    if (done == bytes.size()) bytes.resize(bytes.size() + 4096);  // the file grew
    const ssize_t result = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (result < 0) {
      if (errno == EINTR) continue;
      const Status error = PlatformError(errno);
      ::close(fd);
      bytes.clear();
      return error;
    }
    if (result == 0) break;
    done += static_cast<size_t>(result);
  }
  bytes.resize(done);
  ::close(fd);
  return {};
}

Status PosixFileSystem::Link(const std::string& from, const std::string& to) {
  return ErrorOf(::link(from.c_str(), to.c_str()));
}

Status PosixFileSystem::Rename(const std::string& from, const std::string& to) {
  return ErrorOf(::rename(from.c_str(), to.c_str()));
}

Status PosixFileSystem::Exchange(const std::string& first, const std::string& second) {
#ifdef SYS_renameat2
  return ErrorOf(
      ::syscall(SYS_renameat2, AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), kRenameExchange));
#else
  (void)first;
  (void)second;
  return PlatformError(ENOSYS);
#endif
}

Status PosixFileSystem::RemoveFile(const std::string& path) {
  return ErrorOf(::unlink(path.c_str()));
}

Status PosixFileSystem::RemoveFolder(const std::string& path) {
  return ErrorOf(::rmdir(path.c_str()));
}

Status WriteWholeFile(FileSystem& files, const std::string& path, std::string_view bytes,
                      bool flush) {
  int fd = -1;
  if (const Status error = files.CreateFile(path, fd); !error.ok()) return error;
  Status error;
  size_t done = 0;
  while (done < bytes.size()) {
    size_t written = 0;
    error = files.Write(fd, bytes.data() + done, bytes.size() - done, written);
    if (error.ok() && written == 0) error = PlatformError(ENOSPC);  // the disk took nothing
    if (!error.ok()) break;
    done += written;
  }
  if (error.ok() && flush) error = files.Sync(fd);
  const Status closeError = files.Close(fd);
  return !error.ok() ? error : closeError;
}

Status RemoveFolderTree(FileSystem& files, const std::string& path) {
  std::vector<std::string> names;
  Status first = files.ListFolder(path, names);
  for (const std::string& name : names) {
    const std::string child = path + "/" + name;
    PathKind kind = PathKind::Missing;
    Status error = files.Inspect(child, kind);
    if (error.ok() && kind == PathKind::Folder) {
      error = RemoveFolderTree(files, child);
    } else if (error.ok() && kind != PathKind::Missing) {
      error = files.RemoveFile(child);
    }
    if (first.ok()) first = error;
  }
  const Status error = files.RemoveFolder(path);
  return !first.ok() ? first : error;
}

}  // namespace ombrivale
