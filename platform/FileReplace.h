#pragma once
// Writing a small file whole or not at all, and reading one without being
// held up by what stands in its place.
//
// A write goes to a temporary file beside the target, named with a prefix
// of our own (".perch-saving.<name>.<random>"), locked with flock while it
// is written, flushed to the disk and only then renamed over the target. A
// write that fails at any step (a full disk included) removes its temporary
// file and leaves the target as it was. Because the lock dies with its
// process, a temporary file that nobody holds was left by a write that was
// cut short, and only such files are ever removed.

#include <cstddef>
#include <string>
#include <string_view>

namespace perch {

// Replaces the file's contents with `bytes`. Returns an empty string on
// success, else why it failed (the file is then unchanged). A target that
// exists but is no regular file (a FIFO, a folder, a device) is refused; a
// symbolic link is followed and the file it names replaced. A new file gets
// mode 0666 less the umask, a replaced one keeps its mode.
std::string ReplaceFileContents(const std::string& path, std::string_view bytes);

// Removes the temporary files that writes of `path` left when they were cut
// short (killed, or the machine stopped): our own prefix, and no running
// process holds them. Every other file in the folder is left alone.
void RemoveAbandonedTemporaries(const std::string& path);

// The temporary file name a write of `path` starts with (the folder and
// ".perch-saving.<name>."): what RemoveAbandonedTemporaries looks for.
std::string TemporaryPrefixOf(const std::string& path);

struct TFileRead {
  bool exists = false;     // something stands at the path
  std::string bytes;       // at most maxBytes of it
  bool truncated = false;  // the file is longer than maxBytes
  std::string error;       // why it could not be read; empty when it could
};

// Reads a regular file, at most `maxBytes` of it. It never blocks: a FIFO,
// a device or a folder at the path is reported as not a regular file rather
// than opened for reading.
TFileRead ReadRegularFile(const std::string& path, std::size_t maxBytes);

}  // namespace perch
