#include "chess/board/PieceImages.h"

#include <QFile>
#include <string_view>

// Q_INIT_RESOURCE declares its function where it is used: at global scope.
static void InitPiecesResource() { Q_INIT_RESOURCE(pieces); }

namespace perch {

bool IsValidPieceSet(const QImage& bitmap) {
  return !bitmap.isNull() && bitmap.width() > 0 && bitmap.height() > 0 &&
         bitmap.width() * 2 == bitmap.height() * 3;
}

bool HasImage(const QImage& bitmap) { return !bitmap.isNull() && bitmap.width() > 0 && bitmap.height() > 0; }

QImage LoadDefaultPieceSetBitmap() {
  // The resource is compiled into the board library; make sure it is
  // registered even when the library is linked statically.
  InitPiecesResource();
  return QImage(QStringLiteral(":/pieces/SETVORNEX40.bmp"));
}

void TPieceImageList::Clear() { images_.clear(); }

int TPieceImageList::Add(const QImage& picture, const QImage& mask) {
  QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  const QImage m = mask.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const auto* maskLine = y < m.height() ? reinterpret_cast<const QRgb*>(m.constScanLine(y)) : nullptr;
    for (int x = 0; x < image.width(); ++x) {
      const bool transparent = !maskLine || x >= m.width() || (maskLine[x] & 0x00FFFFFFu) == 0x00FFFFFFu;
      line[x] = transparent ? 0u : (line[x] | 0xFF000000u);
    }
  }
  images_.push_back(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
  return Count() - 1;
}

const QImage& TPieceImageList::Image(int index) const {
  static const QImage none;
  if (index < 0 || index >= Count()) return none;
  return images_[static_cast<std::size_t>(index)];
}

int PieceLetterPosition(char letter) {
  if (letter == '\0') return -1;
  const auto p = std::string_view("PNBRQKpnbrqk").find(letter);
  return p == std::string_view::npos ? -1 : static_cast<int>(p);
}

}  // namespace perch
