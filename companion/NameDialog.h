#pragma once
// The input dialog in which the user names the character and gives a name.

#include <QString>

#include <optional>

namespace perch {

inline constexpr int NameMaxLength = 255;

// Leading and trailing blanks and control characters removed.
QString StripName(const QString& text);

// A modal dialog with an empty caption, the prompt, an empty edit box of at
// most 255 characters, OK and Cancel. The stripped text on OK, nullopt on
// Cancel. Messages keep being processed while it is open.
std::optional<QString> AskName(const QString& prompt);

}  // namespace perch
