#include "tools/generators/pieceset/PieceShapes.h"

#include <QRectF>

namespace perch {

namespace {

QPainterPath RoundedBox(qreal x1, qreal y1, qreal x2, qreal y2, qreal r) {
  QPainterPath p;
  p.addRoundedRect(QRectF(x1, y1, x2 - x1, y2 - y1), r, r);
  return p;
}

QPainterPath Disc(qreal cx, qreal cy, qreal r) {
  QPainterPath p;
  p.addEllipse(QPointF(cx, cy), r, r);
  return p;
}

QPainterPath Line(qreal x1, qreal y1, qreal x2, qreal y2) {
  QPainterPath p;
  p.moveTo(x1, y1);
  p.lineTo(x2, y2);
  return p;
}

// The slab every piece stands on, and the step above it.
QPainterPath Base(qreal half, qreal stepHalf) {
  return RoundedBox(50 - half, 81, 50 + half, 91, 3)
      .united(RoundedBox(50 - stepHalf, 74, 50 + stepHalf, 83, 3));
}

PieceShape Pawn() {
  QPainterPath body;
  body.moveTo(33, 76);
  body.cubicTo(35, 68, 41, 63, 43, 55);
  body.lineTo(57, 55);
  body.cubicTo(59, 63, 65, 68, 67, 76);
  body.closeSubpath();
  PieceShape s;
  s.silhouette = Base(26, 20).united(body).united(RoundedBox(36, 50, 64, 58, 4)).united(Disc(50, 37, 13));
  s.details.addPath(Line(38, 81, 62, 81));
  return s;
}

PieceShape Knight() {
  QPainterPath head;
  head.moveTo(73, 76);
  head.cubicTo(77, 58, 76, 36, 62, 24);  // back of the neck
  head.lineTo(60, 11);                   // ear
  head.lineTo(52, 19);
  head.cubicTo(38, 21, 27, 33, 20, 49);  // forehead down to the nose
  head.cubicTo(16, 56, 19, 64, 26, 63);  // muzzle
  head.cubicTo(31, 62, 35, 58, 42, 57);  // mouth
  head.cubicTo(48, 57, 49, 63, 45, 68);  // jaw into the chest
  head.cubicTo(40, 72, 37, 74, 36, 76);
  head.closeSubpath();
  PieceShape s;
  s.silhouette = Base(30, 24).united(head);
  s.details.addPath(Disc(43, 35, 2.6));     // eye
  s.details.addPath(Line(25, 55, 28, 53));  // nostril
  QPainterPath mane;
  mane.moveTo(58, 27);
  mane.cubicTo(68, 38, 70, 56, 66, 72);
  s.details.addPath(mane);
  s.details.addPath(Line(38, 81, 62, 81));
  return s;
}

PieceShape Bishop() {
  QPainterPath mitre;
  mitre.moveTo(50, 17);
  mitre.cubicTo(65, 27, 68, 44, 60, 54);
  mitre.lineTo(40, 54);
  mitre.cubicTo(32, 44, 35, 27, 50, 17);
  QPainterPath stem;
  stem.moveTo(37, 76);
  stem.cubicTo(41, 70, 44, 64, 44, 58);
  stem.lineTo(56, 58);
  stem.cubicTo(56, 64, 59, 70, 63, 76);
  stem.closeSubpath();
  PieceShape s;
  s.silhouette =
      Base(28, 22).united(stem).united(RoundedBox(35, 52, 65, 61, 4)).united(mitre).united(Disc(50, 13, 5.5));
  s.details.addPath(Line(55, 29, 46, 41));  // the slit of the mitre
  s.details.addPath(Line(38, 81, 62, 81));
  return s;
}

PieceShape Rook() {
  QPainterPath body;
  body.moveTo(31, 76);
  body.lineTo(35, 40);
  body.lineTo(65, 40);
  body.lineTo(69, 76);
  body.closeSubpath();
  PieceShape s;
  s.silhouette = Base(30, 24)
                     .united(body)
                     .united(RoundedBox(28, 29, 72, 42, 2))
                     .united(RoundedBox(28, 17, 39, 31, 1.5))
                     .united(RoundedBox(44.5, 17, 55.5, 31, 1.5))
                     .united(RoundedBox(61, 17, 72, 31, 1.5));
  s.details.addPath(Line(34, 42, 66, 42));
  s.details.addPath(Line(32, 74, 68, 74));
  s.details.addPath(Line(38, 81, 62, 81));
  return s;
}

PieceShape Queen() {
  QPainterPath crown;
  crown.moveTo(30, 76);
  crown.lineTo(20, 30);
  crown.lineTo(36, 46);
  crown.lineTo(35, 24);
  crown.lineTo(45, 44);
  crown.lineTo(50, 20);
  crown.lineTo(55, 44);
  crown.lineTo(65, 24);
  crown.lineTo(64, 46);
  crown.lineTo(80, 30);
  crown.lineTo(70, 76);
  crown.closeSubpath();
  PieceShape s;
  s.silhouette = Base(32, 25)
                     .united(crown)
                     .united(RoundedBox(28, 64, 72, 72, 3))
                     .united(Disc(20, 27, 4.5))
                     .united(Disc(35, 21, 4.5))
                     .united(Disc(50, 16, 4.5))
                     .united(Disc(65, 21, 4.5))
                     .united(Disc(80, 27, 4.5));
  s.details.addPath(Line(30, 64, 70, 64));
  s.details.addPath(Line(30, 72, 70, 72));
  s.details.addPath(Line(38, 81, 62, 81));
  return s;
}

PieceShape King() {
  QPainterPath body;
  body.moveTo(30, 76);
  body.cubicTo(17, 62, 17, 42, 34, 40);
  body.cubicTo(42, 39, 48, 43, 50, 50);
  body.cubicTo(52, 43, 58, 39, 66, 40);
  body.cubicTo(83, 42, 83, 62, 70, 76);
  body.closeSubpath();
  PieceShape s;
  s.silhouette = Base(32, 25)
                     .united(body)
                     .united(RoundedBox(43, 30, 57, 54, 5))
                     .united(RoundedBox(45.5, 6, 54.5, 32, 1))
                     .united(RoundedBox(38.5, 13, 61.5, 21.5, 1))
                     .united(RoundedBox(28, 64, 72, 72, 3));
  s.details.addPath(Line(50, 50, 50, 64));
  s.details.addPath(Line(30, 64, 70, 64));
  s.details.addPath(Line(30, 72, 70, 72));
  s.details.addPath(Line(38, 81, 62, 81));
  return s;
}

}  // namespace

PieceShape MakePieceShape(PieceKind kind) {
  switch (kind) {
    case PieceKind::Pawn: return Pawn();
    case PieceKind::Knight: return Knight();
    case PieceKind::Bishop: return Bishop();
    case PieceKind::Rook: return Rook();
    case PieceKind::Queen: return Queen();
    case PieceKind::King: return King();
  }
  return {};
}

}  // namespace perch
