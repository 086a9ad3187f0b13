#pragma once
// The settings file "config.ini": an INI file read anew for every value and
// rewritten for every write, atomically (a new file renamed over the old
// one, only once it is wholly written), so that neither a crash nor a full
// disk leaves it half written. What cannot be read (a file that is no
// regular file, or not readable, or too long) is told once on stderr.

#include <QString>

#include <functional>
#include <optional>

namespace perch {

inline constexpr const char* SettingsFileName = "config.ini";
inline constexpr const char* SettingsSection = "parameter";

// Where the settings live: beside the executable in a build tree (a
// writable folder without ../share/perch), else, for an installed program,
// in $XDG_CONFIG_HOME/perch (by default ~/.config/perch).
QString SettingsLocation(const QString& executableFolder);

// Read as a Windows private-profile file is: section and key names match
// without regard to case, lines that are neither "[section]" nor
// "key=value" are passed over, the first of two equal sections or keys
// counts. A write changes or adds its one line and keeps every other line
// of the file as it was, comments included.
class TSettingsFile {
 public:
  explicit TSettingsFile(QString path) : path_(std::move(path)) {}

  const QString& Path() const { return path_; }

  // A number read from the value's leading digits (with an optional sign);
  // none gives 0. The default when the key is missing or the file is
  // missing or unreadable.
  int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
  std::optional<QString> ReadString(const QString& section, const QString& key) const;

  // Writes one value at once. False when the file cannot be written: the
  // first failure goes to OnWriteFailed (and every one to stderr), and the
  // program runs on either way. A file that could not be read as text
  // (neither UTF-8, UTF-16 with its mark nor GB18030), or only in part, is
  // first moved aside to "<path>.bad", so nothing is lost.
  bool WriteString(const QString& section, const QString& key, const QString& value);
  bool WriteInteger(const QString& section, const QString& key, int value);

  // The value as it stands in the file (only trimmed), and a write of one
  // so: for values in a format of their own, which the escapes above would
  // change.
  std::optional<QString> ReadValue(const QString& section, const QString& key) const;
  bool WriteValue(const QString& section, const QString& key, const QString& text);

  // Removes the temporary files that writes cut short left beside the file
  // (only files of our own naming that no running program holds).
  void RemoveStaleTemporaries() const;

  // Told once, with a sentence for the user, when a write first fails.
  std::function<void(const QString& message)> OnWriteFailed;

 private:
  bool Fail(const QString& reason);

  QString path_;
  bool failureReported_ = false;
  mutable QString readProblemReported_;  // told once on stderr, until it changes
};

}  // namespace perch
