#pragma once
// The speech balloon: a rounded bubble beside the character, kept on screen,
// whose tail points at the character's head. It reveals its text word by word
// as the voice reaches each word, and lingers a moment after the line ends.

#include "agent/voice/Voice.h"

#include <QPainterPath>
#include <QTextLayout>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace perch {

class TBalloonWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TBalloonWindow(bool translucent);

  // Shows the balloon for text, with nothing revealed yet. anchor is the
  // point (screen pixels) the tail points at; avoid is the character's frame.
  void Present(const QString& text, QPoint anchor, QRect avoid);
  // Moves the balloon along with the character.
  void Follow(QPoint anchor, QRect avoid);
  void SetWords(const QVector<TSpokenWord>& words);
  void RevealWord(int wordIndex);  // shows the text up to the end of that word
  void RevealAll();
  void LingerThenHide(int ms);              // keeps the balloon up a moment, then hides
  void StopLinger() { hideTimer_.stop(); }  // up until told otherwise
  // How long a line stays whole after its voice ends: the time a reader
  // needs, 1 s and 50 ms a character, and never less than MinLingerMs.
  static int ReadingMs(const QString& text);
  static constexpr int MinLingerMs = 1800;
  // The wait of the running linger, and whether one runs.
  int LingerMs() const { return hideTimer_.interval(); }
  bool Lingering() const { return hideTimer_.isActive(); }
  // Blended by a compositor or cut out by a shape (none runs).
  void SetTranslucent(bool translucent);
  // A screen rectangle the balloon moves off sideways; empty for none.
  void SetKeepClear(QRect area);

  int RevealedLength() const { return revealed_; }
  static QFont BalloonFont();

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent*) override;

 private:
  void Place(QPoint anchor, QRect avoid);
  void SetShape();  // cuts the window to the bubble when no compositor blends it

  bool translucent_;
  bool mappedAgain_ = false;  // see MapAgainUnderCompositor
  QString text_;
  QVector<TSpokenWord> words_;
  int revealed_ = 0;
  std::unique_ptr<QTextLayout> layout_;
  QSizeF textSize_;
  QPainterPath shape_;
  QPointF textOrigin_;
  QTimer hideTimer_;
  QRect keepClear_;
  QPoint lastAnchor_;
  QRect lastAvoid_;
};

}  // namespace perch
