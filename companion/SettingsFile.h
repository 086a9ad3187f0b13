#pragma once
// The settings file "config.ini": an INI file read anew for every value and
// rewritten whole for every write, atomically (a new file renamed over the
// old one), so that a crash never leaves it half written.

#include <QString>

#include <map>
#include <optional>

inline constexpr const char* SettingsFileName = "config.ini";
inline constexpr const char* SettingsSection = "parameter";

// Where the settings live: beside the executable in a build tree (a
// writable folder without ../share/perch), else, for an installed program,
// in $XDG_CONFIG_HOME/perch (by default ~/.config/perch).
QString SettingsLocation(const QString& executableFolder);

class TSettingsFile {
 public:
  explicit TSettingsFile(QString path) : path_(std::move(path)) {}

  const QString& Path() const { return path_; }

  // The default when the key is missing, is not a whole number, or the file
  // is missing, unreadable or malformed.
  int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
  std::optional<QString> ReadString(const QString& section, const QString& key) const;

  // Writes one value at once. False (with a line on stderr) when the file
  // cannot be written; the program runs on either way.
  bool WriteString(const QString& section, const QString& key, const QString& value);
  bool WriteInteger(const QString& section, const QString& key, int value);

 private:
  using TSection = std::map<QString, QString>;
  using TContents = std::map<QString, TSection>;
  struct TLoaded {
    TContents contents;
    bool usable = false;  // present, readable and well formed
  };

  TLoaded Load() const;

  QString path_;
};
