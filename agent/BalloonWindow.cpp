#include "agent/BalloonWindow.h"

#include "agent/Compositor.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTextLine>

#include <algorithm>
#include <cmath>
#include <limits>

namespace perch {

namespace {
constexpr double TextWidth = 250;  // wrap width of the text
constexpr int MaxLines = 8;        // a longer text scrolls as it is spoken
constexpr double Padding = 11;
constexpr double Tail = 16;  // height of the tail
constexpr double Radius = 12;
constexpr double Outline = 1.6;
}  // namespace

TBalloonWindow::TBalloonWindow(bool translucent)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint |
                           Qt::WindowTransparentForInput),  // clicks go through to what lies below
      translucent_(translucent) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  // Always with an alpha channel: a compositor coming or going only switches
  // between blending and a shape (SetTranslucent).
  setAttribute(Qt::WA_TranslucentBackground);
  AskForNoShadow(*this);
  hideTimer_.setSingleShot(true);
  connect(&hideTimer_, &QTimer::timeout, this, &QWidget::hide);
}

QFont TBalloonWindow::BalloonFont() {
  QFont font;
  // Latin text in Liberation Sans; Chinese falls to the CJK face.
  font.setFamilies({"Liberation Sans", "WenQuanYi Micro Hei", "Noto Sans CJK SC"});
  font.setPixelSize(15);
  return font;
}

void TBalloonWindow::Present(const QString& text, QPoint anchor, QRect avoid) {
  hideTimer_.stop();
  text_ = text;
  // Named after what it says, for window lists and accessibility tools.
  setWindowTitle(text.left(80).simplified());
  words_.clear();
  revealed_ = 0;
  layout_ = std::make_unique<QTextLayout>(text_, BalloonFont());
  QTextOption option;
  // Breaks at blanks, and anywhere a word is too long; Chinese text breaks
  // between characters by the line-breaking rules.
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout_->setTextOption(option);
  layout_->beginLayout();
  double y = 0, widest = 0;
  for (QTextLine line = layout_->createLine(); line.isValid(); line = layout_->createLine()) {
    line.setLineWidth(TextWidth);
    line.setPosition(QPointF(0, y));
    y += line.height();
    widest = std::max(widest, line.naturalTextWidth());
  }
  layout_->endLayout();
  double shownHeight = y;
  if (layout_->lineCount() > MaxLines) {
    const QTextLine last = layout_->lineAt(MaxLines - 1);
    shownHeight = last.y() + last.height();
  }
  textSize_ = QSizeF(std::max(widest, 24.0), std::max(shownHeight, 1.0));
  Place(anchor, avoid);
  show();
  if (QGuiApplication::platformName() != "offscreen") raise();
  update();
}

void TBalloonWindow::Follow(QPoint anchor, QRect avoid) {
  if (isVisible() && layout_) Place(anchor, avoid);
}

void TBalloonWindow::SetTranslucent(bool translucent) {
  if (translucent == translucent_) return;
  translucent_ = translucent;
  if (translucent_) {
    clearMask();
    if (devicePixelRatioF() != 1) ClearWindowShape(*this);
  }
  if (isVisible() && layout_) Place(lastAnchor_, lastAvoid_);  // the shape, when one is needed
  update();
}

void TBalloonWindow::SetKeepClear(QRect area) {
  keepClear_ = area;
  if (isVisible() && layout_) Place(lastAnchor_, lastAvoid_);
}

void TBalloonWindow::Place(QPoint anchor, QRect avoid) {
  lastAnchor_ = anchor;
  lastAvoid_ = avoid;
  const QSizeF body(textSize_.width() + 2 * Padding, textSize_.height() + 2 * Padding);
  const QSize windowSize(static_cast<int>(std::ceil(body.width() + 2 * Outline)),
                         static_cast<int>(std::ceil(body.height() + Tail + 2 * Outline)));
  QScreen* screen = QGuiApplication::screenAt(anchor);
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);

  // Above the head when there is room, else below the character.
  const bool above =
      anchor.y() - windowSize.height() >= area.top() || avoid.bottom() + windowSize.height() > area.bottom();
  int x = anchor.x() - windowSize.width() / 2;
  x = std::clamp(x, area.left(), std::max(area.left(), area.right() - windowSize.width()));
  // Below, the tail reaches up to just under the feet.
  int y = above ? anchor.y() - windowSize.height() : avoid.bottom() - 8;
  y = std::clamp(y, area.top(), std::max(area.top(), area.bottom() - windowSize.height()));
  if (keepClear_.isValid() && QRect(QPoint(x, y), windowSize).intersects(keepClear_)) {
    // Beside what must stay clear, on the side of the anchor.
    x = anchor.x() >= keepClear_.center().x() ? keepClear_.right() + 1
                                              : keepClear_.left() - windowSize.width();
    x = std::clamp(x, area.left(), std::max(area.left(), area.right() - windowSize.width()));
  }
  setGeometry(x, y, windowSize.width(), windowSize.height());

  const double top = above ? Outline : Outline + Tail;
  const QRectF bodyRect(Outline, top, body.width(), body.height());
  // The tail leaves the body near the anchor and points towards it.
  const double tipX = std::clamp(double(anchor.x() - x), Radius + 6, bodyRect.right() - Radius - 6);
  const double baseX = std::clamp(tipX + (tipX < bodyRect.center().x() ? 10.0 : -10.0),
                                  bodyRect.left() + Radius, bodyRect.right() - Radius);
  QPainterPath tail;
  if (above) {
    tail.moveTo(baseX - 9, bodyRect.bottom() - 1);
    tail.quadTo(baseX - 2, bodyRect.bottom() + Tail * 0.5, tipX, bodyRect.bottom() + Tail - 1);
    tail.quadTo(baseX + 2, bodyRect.bottom() + Tail * 0.4, baseX + 9, bodyRect.bottom() - 1);
  } else {
    tail.moveTo(baseX - 9, bodyRect.top() + 1);
    tail.quadTo(baseX - 2, bodyRect.top() - Tail * 0.5, tipX, bodyRect.top() - Tail + 1);
    tail.quadTo(baseX + 2, bodyRect.top() - Tail * 0.4, baseX + 9, bodyRect.top() + 1);
  }
  tail.closeSubpath();
  QPainterPath bubble;
  bubble.addRoundedRect(bodyRect, Radius, Radius);
  shape_ = bubble.united(tail).simplified();
  textOrigin_ = bodyRect.topLeft() + QPointF(Padding, Padding);

  if (!translucent_) SetShape();
}

void TBalloonWindow::SetShape() {
  const double ratio = devicePixelRatioF();
  // Above a pixel ratio of 1 the mask is drawn in native pixels and sent to
  // X as it is: Qt would blow a logical one up into blocks, which show the
  // fill beyond the outline at the corners. It reaches half a native pixel
  // past the drawn outline, as the logical one does at ratio 1.
  if (ratio != 1) {
    QBitmap mask(QSize(int(std::ceil(width() * ratio)), int(std::ceil(height() * ratio))));
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.scale(ratio, ratio);
    painter.setPen(QPen(Qt::color1, Outline + 1 / ratio));
    painter.setBrush(Qt::color1);
    painter.drawPath(shape_);
    painter.end();
    if (SetWindowShape(*this, QRegion(mask))) return;
  }
  QBitmap mask(size());
  mask.fill(Qt::color0);
  QPainter painter(&mask);
  painter.setPen(QPen(Qt::color1, Outline * 2));
  painter.setBrush(Qt::color1);
  painter.drawPath(shape_);
  painter.end();
  setMask(mask);
}

void TBalloonWindow::SetWords(const QVector<TSpokenWord>& words) { words_ = words; }

void TBalloonWindow::RevealWord(int wordIndex) {
  if (wordIndex < 0 || wordIndex >= words_.size()) return;
  const TSpokenWord& word = words_[wordIndex];
  const int end = std::clamp(word.textPosition + word.textLength, 0, int(text_.size()));
  if (end > revealed_) {
    revealed_ = end;
    update();
  }
}

void TBalloonWindow::RevealAll() {
  if (revealed_ != text_.size()) {
    revealed_ = int(text_.size());
    update();
  }
}

void TBalloonWindow::LingerThenHide(int ms) { hideTimer_.start(ms); }

int TBalloonWindow::ReadingMs(const QString& text) {
  // Characters as a reader counts them: a Chinese character or an emoji is
  // one, whatever its length in UTF-16.
  const qint64 characters = text.toUcs4().size();
  const qint64 reading = 1000 + 50 * characters;
  return int(std::clamp<qint64>(reading, MinLingerMs, std::numeric_limits<int>::max()));
}

void TBalloonWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (!translucent_) {
    // Opaque inside the shape: no compositor reads the alpha.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), QColor("#fffbea"));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  QLinearGradient fill(0, 0, 0, height());
  fill.setColorAt(0, QColor("#fffef6"));
  fill.setColorAt(1, QColor("#fff3c9"));
  painter.setBrush(fill);
  painter.setPen(QPen(QColor("#6b4a2b"), Outline));
  painter.drawPath(shape_);
  if (!layout_) return;
  painter.setPen(QColor("#2b2118"));
  // A long text shows its last lines so far: the one being spoken is the
  // bottom line once the balloon is full.
  int speaking = 0;
  while (speaking + 1 < layout_->lineCount() && layout_->lineAt(speaking + 1).textStart() < revealed_)
    ++speaking;
  const int first = std::max(0, speaking - MaxLines + 1);
  const QPointF origin = textOrigin_ - QPointF(0, layout_->lineAt(first).y());
  // Each line shows its revealed part only; the layout is that of the whole
  // text, so the balloon keeps its size while the words appear.
  for (int i = first; i < std::min(layout_->lineCount(), first + MaxLines); ++i) {
    const QTextLine line = layout_->lineAt(i);
    const int start = line.textStart();
    if (revealed_ <= start) break;
    const int shown = std::min(revealed_, start + line.textLength());
    // A whole line may spill a little past its last glyph's advance; a line
    // still being revealed stops on the whole pixel where the next
    // character begins, so that not a sliver of it shows.
    const double right = shown < start + line.textLength() ? std::floor(origin.x() + line.cursorToX(shown))
                                                           : origin.x() + line.cursorToX(shown) + 3;
    painter.save();
    painter.setClipRect(QRectF(QPointF(origin.x() - 2, origin.y() + line.y()),
                               QPointF(right, origin.y() + line.y() + line.height())));
    line.draw(&painter, origin);
    painter.restore();
  }
}

void TBalloonWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (mappedAgain_) return;
  mappedAgain_ = true;
  MapAgainUnderCompositor(*this);
}

}  // namespace perch
