#pragma once
// Piece sets and the masked piece images cut from them.
//
// A piece set is one bitmap of 6 × 4 square cells: row 0 the White pawn,
// knight, bishop, rook, queen and king, row 1 their masks, rows 2 and 3 the
// same for Black. In a mask, white pixels are transparent and every other
// pixel belongs to the piece.

#include <QImage>
#include <array>
#include <vector>

namespace perch {

// A piece set has cells: width and height above 0 and width × 2 = height × 3.
bool IsValidPieceSet(const QImage& bitmap);
// A tile can be drawn: width and height above 0.
bool HasImage(const QImage& bitmap);

// The built-in set, loaded from the program's resources.
QImage LoadDefaultPieceSetBitmap();

// The twelve images of the active set, each PieceSize × PieceSize, with the
// mask turned into alpha (transparent or opaque, nothing in between).
class TPieceImageList {
 public:
  void Clear();
  // Adds one picture with its mask; returns the image's index.
  int Add(const QImage& picture, const QImage& mask);
  int Count() const { return static_cast<int>(images_.size()); }
  // The image at the index; a null image for an index out of range.
  const QImage& Image(int index) const;
  int Size() const { return size_; }
  void SetSize(int size) { size_ = size; }

 private:
  std::vector<QImage> images_;
  int size_ = 40;
};

// Index of a letter's image: colour × 7 + piece, entry 6 unused.
using TPieceImageIndexes = std::array<int, 13>;

// The position p of the letter in "PNBRQKpnbrqk", or -1.
int PieceLetterPosition(char letter);

}  // namespace perch
