#include "companion/NameDialog.h"

#include "companion/ScreenArea.h"

#include <QEventLoop>
#include <QInputDialog>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <iterator>

namespace perch {

namespace {

// What a window manager's frame adds, allowed for before it is known.
constexpr int FrameAllowance = 8;   // each border
constexpr int TitleAllowance = 40;  // the title bar

bool IsStripped(QChar c) { return c.isSpace() || c.category() == QChar::Other_Control; }

}  // namespace

QString StripName(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && IsStripped(text[first])) ++first;
  while (last > first && IsStripped(text[last - 1])) --last;
  return text.mid(first, last - first);
}

QPoint PlaceBeside(QSize frame, QRect avoid, QRect area) {
  const int w = frame.width();
  const int h = frame.height();
  // Along the other axis: level with avoid, kept inside area (the far edge
  // first, so that a window taller than the area keeps its top on it).
  const auto along = [](int start, int extent, int areaStart, int areaExtent) {
    return std::max(areaStart, std::min(start, areaStart + areaExtent - extent));
  };
  const int y = along(avoid.y(), h, area.y(), area.height());
  const int x = along(avoid.x(), w, area.x(), area.width());
  const int right = area.x() + area.width() - (avoid.x() + avoid.width() + BesideGap);
  const int left = avoid.x() - BesideGap - area.x();
  const int below = area.y() + area.height() - (avoid.y() + avoid.height() + BesideGap);
  const int above = avoid.y() - BesideGap - area.y();
  const QPoint onRight(avoid.x() + avoid.width() + BesideGap, y);
  const QPoint onLeft(avoid.x() - BesideGap - w, y);
  const QPoint onBelow(x, avoid.y() + avoid.height() + BesideGap);
  const QPoint onAbove(x, avoid.y() - BesideGap - h);
  if (right >= w) return onRight;
  if (left >= w) return onLeft;
  if (below >= h) return onBelow;
  if (above >= h) return onAbove;
  // No side has room: the roomiest (in the share of the window it takes),
  // kept inside area.
  const double shares[] = {double(right) / w, double(left) / w, double(below) / h, double(above) / h};
  const QPoint places[] = {onRight, onLeft, onBelow, onAbove};
  const auto best = std::max_element(std::begin(shares), std::end(shares)) - std::begin(shares);
  return {along(places[best].x(), w, area.x(), area.width()),
          along(places[best].y(), h, area.y(), area.height())};
}

std::optional<QString> AskName(const QString& prompt, std::optional<QRect> character) {
  QInputDialog dialog;
  dialog.setWindowTitle(QString());
  dialog.setWindowRole(QStringLiteral("perch-name"));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setLabelText(prompt);
  dialog.setTextValue(QString());
  if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setMaxLength(NameMaxLength);
  // Ask for the keyboard focus, which a desktop without a window manager
  // does not give by itself.
  // Beside the character, never under it, on its monitor. The frame the
  // window manager adds is known once the dialog is mapped: until then a
  // title bar and borders are allowed for, and the place is taken again.
  const auto placeBeside = [&dialog, character](QSize frame) {
    if (!character) return;
    dialog.move(PlaceBeside(frame, *character, AreaAround(*character)));
  };
  dialog.adjustSize();
  placeBeside(dialog.size() + QSize(2 * FrameAllowance, FrameAllowance + TitleAllowance));
  QTimer::singleShot(0, &dialog, [&dialog, placeBeside] {
    if (dialog.frameGeometry().size() != dialog.size()) placeBeside(dialog.frameGeometry().size());
    dialog.raise();
    dialog.activateWindow();
  });
  // Not modal: a modal dialog would shut out the character's clicks (and a
  // board opened meanwhile), while requests kept being answered. Clicks are
  // answered like requests, in this loop, nested.
  dialog.setWindowModality(Qt::NonModal);
  QEventLoop loop;
  QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
  dialog.show();
  loop.exec();  // also ended by the quit request, which leaves the dialog unanswered
  if (dialog.result() != QDialog::Accepted) return std::nullopt;
  return StripName(dialog.textValue());
}

}  // namespace perch
