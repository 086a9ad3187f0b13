#pragma once
// The outlines of the six chess pieces, drawn in a 100 × 100 unit cell with
// the base resting near the bottom. Each piece is a filled silhouette plus a
// few interior detail strokes (collars, eye, mitre slit).

#include <QPainterPath>

namespace perch {

enum class PieceKind { Pawn, Knight, Bishop, Rook, Queen, King };

struct PieceShape {
  QPainterPath silhouette;  // filled and outlined; also the mask
  QPainterPath details;     // stroked only, inside the silhouette
};

PieceShape MakePieceShape(PieceKind kind);

}  // namespace perch
