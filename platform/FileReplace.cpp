#include "platform/FileReplace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

namespace perch {

namespace {

constexpr const char* TemporaryMark = ".perch-saving.";

std::string ErrnoText(int error) { return std::strerror(error); }

std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

// A file descriptor closed when it goes out of scope.
class TDescriptor {
 public:
  explicit TDescriptor(int fd = -1) : fd_(fd) {}
  ~TDescriptor() { Close(); }
  TDescriptor(const TDescriptor&) = delete;
  TDescriptor& operator=(const TDescriptor&) = delete;
  int Get() const { return fd_; }
  int Close() {
    if (fd_ < 0) return 0;
    const int result = close(std::exchange(fd_, -1));
    return result;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes, int& error) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return false;
    }
    if (written == 0) {
      error = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::string RandomSuffix() {
  static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof(Letters) - 2);
  std::string suffix(8, 'x');
  for (char& c : suffix) c = Letters[pick(random)];
  return suffix;
}

// True when the open file is still the one the folder lists under `name`
// (a clean-up may have removed it between its creation and its lock).
bool StillListed(int fd, const std::string& path) {
  struct stat open {
  }, listed{};
  return fstat(fd, &open) == 0 && lstat(path.c_str(), &listed) == 0 && open.st_dev == listed.st_dev &&
         open.st_ino == listed.st_ino;
}

// The file a symbolic link finally names; the path itself otherwise.
std::string ResolveLink(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) != nullptr) return resolved;
  return path;  // a dangling link: rename replaces the link itself
}

}  // namespace

std::string TemporaryPrefixOf(const std::string& path) {
  const auto [folder, name] = SplitPath(path);
  return JoinPath(folder, std::string(TemporaryMark) + name + ".");
}

std::string ReplaceFileContents(const std::string& path, std::string_view bytes) {
  const std::string target = ResolveLink(path);
  struct stat old {};
  const bool exists = stat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) return target + " is not a regular file";

  // Create and lock a temporary file of our own beside the target.
  const std::string prefix = TemporaryPrefixOf(target);
  std::string temporary;
  int created = -1;
  for (int attempt = 0; attempt < 100 && created < 0; ++attempt) {
    temporary = prefix + RandomSuffix();
    created = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (created < 0) {
      if (errno == EEXIST || errno == EINTR) continue;
      return "cannot create a file in the folder: " + ErrnoText(errno);
    }
    if (flock(created, LOCK_EX) == 0 && StillListed(created, temporary)) break;
    // A clean-up took it between its creation and the lock: start again.
    close(std::exchange(created, -1));
  }
  if (created < 0) return "cannot create a temporary file beside it";
  TDescriptor fd(created);

  auto fail = [&](const std::string& what, int error) {
    unlink(temporary.c_str());
    return what + ": " + ErrnoText(error);
  };
  int error = 0;
  if (exists && fchmod(fd.Get(), old.st_mode & 07777) != 0) return fail("cannot set its mode", errno);
  if (!WriteAll(fd.Get(), bytes, error)) return fail("cannot write", error);
  // Blocks a file system reserves late (or a network one) report their
  // shortage here, before anything replaces the old file.
  if (fsync(fd.Get()) != 0) return fail("cannot write", errno);
  if (rename(temporary.c_str(), target.c_str()) != 0) return fail("cannot replace the file", errno);
  fd.Close();
  // The rename itself reaches the disk with its folder.
  const TDescriptor folder(open(SplitPath(target).first.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() >= 0) fsync(folder.Get());
  return {};
}

void RemoveAbandonedTemporaries(const std::string& path) {
  const std::string target = ResolveLink(path);
  const auto [folderPath, name] = SplitPath(target);
  const std::string mark = std::string(TemporaryMark) + name + ".";
  DIR* folder = opendir(folderPath.c_str());
  if (folder == nullptr) return;
  while (const dirent* entry = readdir(folder)) {
    const std::string entryName = entry->d_name;
    if (entryName.size() <= mark.size() || entryName.compare(0, mark.size(), mark) != 0) continue;
    const std::string candidate = JoinPath(folderPath, entryName);
    const TDescriptor fd(open(candidate.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (fd.Get() < 0 || fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    // A write in progress holds its lock; one that was cut short holds none.
    if (flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) continue;
    if (StillListed(fd.Get(), candidate)) unlink(candidate.c_str());
  }
  closedir(folder);
}

TFileRead ReadRegularFile(const std::string& path, std::size_t maxBytes) {
  TFileRead result;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) {
      result.exists = true;
      result.error = ErrnoText(errno);
    }
    return result;
  }
  result.exists = true;
  if (!S_ISREG(info.st_mode)) {
    result.error = "not a regular file";
    return result;
  }
  // O_NONBLOCK: should a FIFO take the file's place after the check above,
  // opening it still returns at once.
  const TDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.Get() < 0) {
    result.error = ErrnoText(errno);
    return result;
  }
  if (fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    result.error = "not a regular file";
    return result;
  }
  char chunk[16384];
  while (result.bytes.size() <= maxBytes) {
    const ssize_t got = read(fd.Get(), chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      result.error = ErrnoText(errno);
      result.bytes.clear();
      return result;
    }
    if (got == 0) break;
    result.bytes.append(chunk, static_cast<std::size_t>(got));
  }
  if (result.bytes.size() > maxBytes) {
    result.bytes.resize(maxBytes);
    result.truncated = true;
  }
  return result;
}

}  // namespace perch
