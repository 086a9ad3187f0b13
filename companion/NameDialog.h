#pragma once
// The input dialog in which the user names the character and gives a name.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

namespace perch {

inline constexpr int NameMaxLength = 255;

// Leading and trailing blanks and control characters removed.
QString StripName(const QString& text);

// A modal dialog with an empty caption, the prompt, an empty edit box of at
// most 255 characters, OK and Cancel. The stripped text on OK, nullopt on
// Cancel. Messages keep being processed while it is open. Given the
// character's window rectangle, it opens beside it (PlaceBeside) in the
// available area of the character's monitor; without, where the desktop
// puts it.
std::optional<QString> AskName(const QString& prompt, std::optional<QRect> character = std::nullopt);

// The gap between the character and a window placed beside it.
inline constexpr int BesideGap = 12;

// The top-left of a window of the size frame (its frame included) that lies
// inside area and clear of avoid: to the right of avoid when there is room,
// else to its left, else below, else above, level with or nearest to avoid
// along the other axis. Where no side has room, the side with the most,
// kept inside area.
QPoint PlaceBeside(QSize frame, QRect avoid, QRect area);

}  // namespace perch
