#pragma once
// The companion's language mode: the texts as written (the mix of English
// and Chinese lines, each in its own voice), or every text in one language
// spoken by that language's voice. Kept as "language" in the [parameter]
// section of config.ini and in perch-tray's own settings.

#include <QString>

#include <optional>

namespace perch {

enum class TLanguageMode { Written, English, Chinese };

// The voices of the character service.
inline constexpr int LanguageEnglish = 1033;
inline constexpr int LanguageChinese = 2052;

inline constexpr const char* LanguageKey = "language";

inline QString LanguageModeName(TLanguageMode mode) {
  switch (mode) {
    case TLanguageMode::English: return QStringLiteral("english");
    case TLanguageMode::Chinese: return QStringLiteral("chinese");
    case TLanguageMode::Written: break;
  }
  return QStringLiteral("written");
}

// "written", "english" or "chinese", in any case and with blanks around;
// nullopt for anything else.
inline std::optional<TLanguageMode> ParseLanguageMode(const QString& text) {
  const QString name = text.trimmed().toLower();
  for (const TLanguageMode mode : {TLanguageMode::Written, TLanguageMode::English, TLanguageMode::Chinese})
    if (name == LanguageModeName(mode)) return mode;
  return std::nullopt;
}

}  // namespace perch
