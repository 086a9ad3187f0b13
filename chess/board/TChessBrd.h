#pragma once
// TChessBrd: the visible chessboard. It carries the game (it is a
// TChessGame), draws the board, its border, coordinates and pieces, lets
// the user drag pieces, animates the other moves, and drives the computer
// player on an engine thread of its own.
//
// Everything is drawn at once into the board's own canvas, an image of the
// control's size; paintEvent only copies the canvas to the screen, so what
// a routine draws can be read back at once (Canvas()).

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "chess/board/BoardEvents.h"
#include "chess/board/CoordSet.h"
#include "chess/board/PieceImages.h"
#include "chess/board/ThreadPriority.h"
#include "chess/model/ChessGame.h"

class QPainter;

namespace perch {

class TDragImage;
class TEngineThread;
class TMainThreadCalls;

// A font with its colour, as the coordinates are drawn.
struct TBoardFont {
  QFont font;
  QColor color = Qt::white;
};

class TChessBrd : public QWidget, public TChessGame, public TChessGameHooks {
  Q_OBJECT
  Q_PROPERTY(bool AnimateMoves READ AnimateMoves WRITE setAnimateMoves)
  Q_PROPERTY(int AnimationDelay READ AnimationDelay WRITE setAnimationDelay)
  Q_PROPERTY(bool BoardLines READ BoardLines WRITE setBoardLines)
  Q_PROPERTY(QImage BorderBitmap READ BorderBitmap WRITE setBorderBitmap)
  Q_PROPERTY(QColor BorderColor READ BorderColor WRITE setBorderColor)
  Q_PROPERTY(bool ComputerPlaysBlack READ ComputerPlaysBlack WRITE setComputerPlaysBlack)
  Q_PROPERTY(bool ComputerPlaysWhite READ ComputerPlaysWhite WRITE setComputerPlaysWhite)
  Q_PROPERTY(bool Thinking READ Thinking WRITE setThinking)
  Q_PROPERTY(int CurrentMove READ CurrentMove WRITE setCurrentMove)
  Q_PROPERTY(QImage CustomPieceSet READ CustomPieceSet WRITE setCustomPieceSet)
  Q_PROPERTY(bool CustomEngine READ CustomEngine WRITE setCustomEngine)
  Q_PROPERTY(bool Resizable READ Resizable WRITE setResizable)
  Q_PROPERTY(int ResizeMinSize READ ResizeMinSize WRITE setResizeMinSize)
  Q_PROPERTY(int ResizeMaxSize READ ResizeMaxSize WRITE setResizeMaxSize)
  Q_PROPERTY(int SearchDepth READ SearchDepth WRITE setSearchDepth)
  Q_PROPERTY(int SizeOfBorder READ SizeOfBorder WRITE setSizeOfBorder)
  Q_PROPERTY(int SizeOfSquare READ SizeOfSquare WRITE setSizeOfSquare)
  Q_PROPERTY(QColor SquareColorDark READ SquareColorDark WRITE setSquareColorDark)
  Q_PROPERTY(QColor SquareColorLight READ SquareColorLight WRITE setSquareColorLight)
  Q_PROPERTY(QImage SquareDark READ SquareDark WRITE setSquareDark)
  Q_PROPERTY(QImage SquareLight READ SquareLight WRITE setSquareLight)
  Q_PROPERTY(bool WhiteOnTop READ WhiteOnTop WRITE setWhiteOnTop)
  Q_PROPERTY(bool WhiteToMove READ WhiteToMove WRITE setWhiteToMove)
  Q_PROPERTY(QString Version READ Version WRITE setVersion)

 public:
  // A board in design mode (placed in a form designer) draws as at run time
  // but has no engine thread and fires no OnPaint.
  explicit TChessBrd(QWidget* parent = nullptr, bool designMode = false);
  ~TChessBrd() override;

  // --- published properties, in their published order ---------------------
  bool AnimateMoves() const override { return animateMoves_; }
  void setAnimateMoves(bool v) { animateMoves_ = v; }
  int AnimationDelay() const { return animationDelay_; }
  void setAnimationDelay(int ms) { animationDelay_ = ms; }
  bool BoardLines() const { return boardLines_; }
  void setBoardLines(bool v);
  const QImage& BorderBitmap() const { return borderBitmap_; }
  void setBorderBitmap(const QImage& v);
  QColor BorderColor() const { return borderColor_; }
  void setBorderColor(const QColor& v);
  // CastlingAllowed: the model's.
  bool ComputerPlaysBlack() const { return computerPlaysBlack_.load(); }
  void setComputerPlaysBlack(bool v);
  bool ComputerPlaysWhite() const { return computerPlaysWhite_.load(); }
  void setComputerPlaysWhite(bool v);
  bool Thinking() const;
  void setThinking(bool) {}  // read only: the engine's thinking mark
  const TBoardFont& CoordFont() const { return coordFont_; }
  void setCoordFont(const TBoardFont& v);
  // CurrentMove: the model's.
  const QImage& CustomPieceSet() const { return customPieceSet_; }
  void setCustomPieceSet(const QImage& v);
  CoordSet DisplayCoords() const { return displayCoords_; }
  void setDisplayCoords(CoordSet v);
  bool CustomEngine() const { return customEngine_; }
  void setCustomEngine(bool v);
  // EnPassant: the model's.
  const QPen& LineStyle() const { return lineStyle_; }
  void setLineStyle(const QPen& v);
  // Position: the model's.
  bool Resizable() const { return resizable_; }
  void setResizable(bool v) { resizable_ = v; }
  int ResizeMinSize() const { return resizeMinSize_; }
  void setResizeMinSize(int v);
  int ResizeMaxSize() const { return resizeMaxSize_; }
  void setResizeMaxSize(int v);
  int SearchDepth() const { return searchDepth_.load(); }
  void setSearchDepth(int v);
  int SizeOfBorder() const { return sizeOfBorder_; }
  void setSizeOfBorder(int v);
  int SizeOfSquare() const { return sizeOfSquare_; }
  void setSizeOfSquare(int v);
  QColor SquareColorDark() const { return squareColorDark_; }
  void setSquareColorDark(const QColor& v);
  QColor SquareColorLight() const { return squareColorLight_; }
  void setSquareColorLight(const QColor& v);
  const QImage& SquareDark() const { return squareDark_; }
  void setSquareDark(const QImage& v);
  const QImage& SquareLight() const { return squareLight_; }
  void setSquareLight(const QImage& v);
  bool WhiteOnTop() const { return whiteOnTop_; }
  void setWhiteOnTop(bool v);
  // WhiteToMove: the model's.
  TThreadPriority ThinkingPriority() const { return static_cast<TThreadPriority>(thinkingPriority_.load()); }
  void setThinkingPriority(TThreadPriority v);
  QString Version() const { return {}; }
  void setVersion(const QString&) {}  // nothing is ever stored

  // --- published base properties ------------------------------------------
  QString Name() const { return objectName(); }
  void setName(const QString& v) { setObjectName(v); }
  int Tag() const { return tag_; }
  void setTag(int v) { tag_ = v; }
  int Left() const { return x(); }
  void setLeft(int v) { move(v, y()); }
  int Top() const { return y(); }
  void setTop(int v) { move(x(), v); }
  int Width() const { return width(); }
  void setWidth(int v) { resize(v, height()); }
  int Height() const { return height(); }
  void setHeight(int v) { resize(width(), v); }
  Qt::CursorShape Cursor() const { return cursor().shape(); }
  void setCursor(Qt::CursorShape v) { QWidget::setCursor(v); }
  QString Hint() const { return toolTip(); }
  void setHint(const QString& v) { setToolTip(v); }
  int HelpType() const { return helpType_; }
  void setHelpType(int v) { helpType_ = v; }
  QString HelpKeyword() const { return helpKeyword_; }
  void setHelpKeyword(const QString& v) { helpKeyword_ = v; }
  int HelpContext() const { return helpContext_; }
  void setHelpContext(int v) { helpContext_ = v; }
  Qt::CursorShape DragCursor() const { return dragCursor_; }
  void setDragCursor(Qt::CursorShape v) { dragCursor_ = v; }
  TDragMode DragMode() const { return dragMode_; }
  void setDragMode(TDragMode v) { dragMode_ = v; }
  bool Enabled() const { return isEnabled(); }
  void setEnabled(bool v) { QWidget::setEnabled(v); }
  bool Visible() const { return isVisible(); }
  void setVisible(bool v) override { QWidget::setVisible(v); }

  bool DesignMode() const { return designMode_; }

  // --- geometry --------------------------------------------------------------
  // Top-left pixel of the square, in the control's coordinates.
  QPoint SquareOrigin(Square square) const;
  // The square under the pixel, None outside the 8 × 8 area.
  Square SquareAtPoint(int x, int y) const;
  static bool IsLightSquare(Square square);
  int BoardLeft() const { return sizeOfBorder_; }
  int BoardTop() const { return sizeOfBorder_; }

  // --- painting ----------------------------------------------------------------
  // The full paint: size rule, border, coordinates, frames, squares, grid,
  // pieces.
  void Paint();
  void PaintAll() override { Paint(); }
  void PaintSquare(Square square) override;
  void DrawPiece(Square square) override;
  void DrawPiece(Square square, char letter);
  void PaintBoardLines() override;
  void LoadPieceImages();
  int PieceImageIndex(char letter) const;
  int PieceSize() const { return pieceImageList_.Size(); }
  const TPieceImageList& PieceImageList() const { return pieceImageList_; }
  // What the board has drawn, pixel for pixel.
  const QImage& Canvas() const { return canvas_; }
  bool FirstPaintDone() const { return firstPaintDone_; }

  // --- marked squares ------------------------------------------------------------
  // The two squares of the last move, tinted (off by default; the squares
  // are read from the game's history, so a move taken back takes its marks).
  bool ShowLastMove() const { return showLastMove_; }
  void setShowLastMove(bool v);
  // The last move made, None twice before the first.
  std::pair<Square, Square> LastMove() const;
  // Two squares shown in the hint's colour until the next move or until
  // cleared (None twice).
  void setHintSquares(Square from, Square to);
  std::pair<Square, Square> HintSquares() const { return {hintFrom_, hintTo_}; }
  // The tint a square shows, or an invalid colour when it shows none.
  QColor MarkOf(Square square) const;

  // --- input and animation -----------------------------------------------------
  // Moves by clicking, besides dragging: a click on a piece of the side to
  // move selects it, a click on a square it can go to makes the move (off by
  // default).
  bool ClickMoves() const { return clickMoves_; }
  void setClickMoves(bool v);
  Square SelectedSquare() const { return selected_; }
  void ClearSelection();
  Square DragFromSquare() const override { return dragFromSquare_; }
  Square DropSquare() const override { return dropSquare_; }
  void AnimateMove(Square from, Square to) override;
  bool Resizing() const { return resizing_; }
  // Whether a drag image is on screen (a lifted piece or an animation).
  bool DragImageShown() const;

  // --- taking back and varied play ----------------------------------------------
  // Undoes up to halfMoves moves: stops a running search (its move is never
  // made), ends a drag, repaints, and lets the computer move when it is then
  // its turn. False when there was no move to undo, or while a move is being
  // made (from inside its handlers), which changes nothing.
  bool TakeBack(int halfMoves);
  // Off by default. On, the computer picks at random among its moves that
  // score within TChessThread::VaryMargin of the best, so that games differ.
  bool VaryMoves() const { return varyMoves_; }
  void setVaryMoves(bool v);
  // The seed of that choice, for repeatable games (tests, demonstrations);
  // taken up at the computer's next move.
  void setVarySeed(std::uint64_t seed);

  // --- engine ----------------------------------------------------------------
  void StopThinking() override;
  void StartThinking() override;
  void ReleaseEngineHold() override { engineHeld_ = false; }
  void MoveMade() override;
  void AfterEnginePass();
  void EngineTimerTick();
  bool EngineHeld() const { return engineHeld_; }
  const QTimer& EngineTimer() const { return engineTimer_; }

  // --- events ------------------------------------------------------------------
  TThinkEvent OnCalculateMove;
  TMoveEvent OnCalculationFailed;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TDragDropEvent OnDragDrop;
  TDragOverEvent OnDragOver;
  TEndDragEvent OnEndDrag;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TStartDragEvent OnStartDrag;

  // Test hook: how often the engine thread has asked whether it may search.
  int EngineTurnTests() const { return engineTurnTests_; }
  // Test hook: called with each position (host coordinates) an animation
  // step shows the moving image at.
  std::function<void(QPoint)> AnimationStepHook;

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  enum class DragPhase { Idle, Pending, Active };

  // Painting layers.
  void EnsureCanvas();
  void ApplySizeRule();
  void PaintBorder();
  void PaintCoordinates(QPainter& p);
  void PaintFrames(QPainter& p);
  void PaintSquares();
  void PaintPieces();
  void FillOrTile(QPainter& p, const QImage& tile, const QColor& color, const QRect& box);
  void RepaintIfShown(const QRect& area);
  int ColumnOf(Square square) const;
  int RowOf(Square square) const;
  void PaintMark(QPainter& p, Square square);
  // Repaints the squares whose tint changes when the marks become these.
  void ChangeMarks(Square lastFrom, Square lastTo, Square hintFrom, Square hintTo, Square selected);
  void RepaintSquare(Square square);
  bool SelectOrMoveByClick(Square at);

  // The board's drag protocol.
  void BeginPendingDrag(QPoint pressPoint);
  void DragOver(QObject* source, int x, int y, TDragState state, bool& accept);
  void DragDrop(QObject* source, int x, int y);
  void DragCanceled();
  void FinishDrag(QPoint at);
  void CancelDrag(QPoint at);
  void EndDragState();
  void UpdateResizeCursor(QMouseEvent* e);
  QWidget* OverlayHost();
  QPoint HostOffset() const;
  TDragImage& DragImageWidget();

  // Animation steps.
  void AnimationStep(int x, int y);
  void AnimateLeg(int a, int b, int fixed, bool horizontal);
  void AnimateLine(int x1, int y1, int x2, int y2);

  // Engine thread.
  bool ComputersTurn() const;
  void CustomEnginePoll();
  // The engine thread runs its turn test again (it sleeps until told).
  void WakeEngine();
  void CreateEngineThread();
  void DestroyEngineThread();
  bool EnginePassMayStart();
  void HandOverMoveOnMainThread(Square from, Square to);
  void WaitUntilParked();

  const bool designMode_;

  // Owned objects.
  TPieceImageList pieceImageList_;
  QImage defaultPieceSet_;
  QImage customPieceSet_;
  QImage squareLight_, squareDark_, borderBitmap_;
  QPen lineStyle_;
  TBoardFont coordFont_;
  QTimer engineTimer_;
  QImage canvas_;

  TPieceImageIndexes pieceImages_{};
  bool animateMoves_ = true;
  int animationDelay_ = 0;
  bool boardLines_ = false;
  QColor borderColor_ = QColor(0, 0, 0);
  CoordSet displayCoords_;
  bool customEngine_ = false;
  bool varyMoves_ = false;  // the engine keeps its own copy
  bool resizable_ = false;
  int resizeMinSize_ = 100;
  int resizeMaxSize_ = 1000;
  int sizeOfBorder_ = 24;
  int sizeOfSquare_ = 40;
  QColor squareColorDark_ = QColor(128, 128, 128);
  QColor squareColorLight_ = QColor(192, 192, 192);
  bool whiteOnTop_ = false;
  int tag_ = 0, helpType_ = 0, helpContext_ = 0;
  QString helpKeyword_;
  Qt::CursorShape dragCursor_ = Qt::DragMoveCursor;
  TDragMode dragMode_ = TDragMode::dmManual;

  bool showLastMove_ = false;
  bool clickMoves_ = false;
  Square lastFrom_ = Square::None, lastTo_ = Square::None;  // as marked
  Square hintFrom_ = Square::None, hintTo_ = Square::None;
  Square selected_ = Square::None;

  bool firstPaintDone_ = false;
  bool canvasStale_ = true;
  bool painting_ = false;

  // Input state.
  Square dragFromSquare_ = Square::None;
  Square dropSquare_ = Square::None;
  DragPhase dragPhase_ = DragPhase::Idle;
  QPoint pressPoint_;
  bool overBoard_ = false;
  bool lastAccept_ = false;
  bool resizing_ = false;
  Qt::CursorShape normalCursor_ = Qt::ArrowCursor;
  QPointer<TDragImage> dragImage_;

  // Engine state. The engine thread reads these while it searches.
  std::atomic<bool> computerPlaysWhite_{false};
  std::atomic<bool> computerPlaysBlack_{false};
  std::atomic<int> searchDepth_{1};
  std::atomic<int> thinkingPriority_{static_cast<int>(TThreadPriority::tpNormal)};
  bool engineHeld_ = true;  // the new-game set-up holds the engine
  bool destroying_ = false;
  bool inPass_ = false;       // from a successful turn test to the end of the pass
  bool handingOver_ = false;  // while the engine's move is being made
  bool askingCustomEngine_ = false;
  std::unique_ptr<TMainThreadCalls> mainThreadCalls_;
  std::unique_ptr<TEngineThread> engineThread_;
  int engineTurnTests_ = 0;
};

}  // namespace perch
