// perch-pieceset: renders the built-in piece set.
//
//   perch-pieceset [--cell N] [--preview SHEET.png] OUTPUT.bmp
//
// The output is a bitmap of 6 × 4 cells of N pixels (default 40): row 0 the
// White pieces PNBRQK, row 1 their masks, row 2 the Black pieces, row 3 their
// masks. Masks are black silhouettes on white. The picture is written with 8
// bits per pixel and a colour table. --preview also writes a sheet that shows
// every piece through its mask on grey, silver and wood-coloured squares, the
// way a board draws them.

#include <QColor>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/generators/pieceset/PieceShapes.h"

using namespace perch;

namespace {

struct Palette {
  QColor fillLight, fillDark, outline, detail;
};

// White: ivory with a dark outline. Black: charcoal with a light edge, so
// that both stand out on grey, silver and wood squares.
const Palette WhitePalette{QColor(255, 253, 244), QColor(212, 202, 182), QColor(28, 24, 20),
                           QColor(70, 60, 50)};
const Palette BlackPalette{QColor(78, 76, 84), QColor(22, 21, 26), QColor(232, 230, 224),
                           QColor(190, 186, 180)};
// The picture cells' background; the mask hides it, but the anti-aliased
// outer edge blends towards it, so a mid tone suits light and dark squares.
const QColor Background(150, 146, 140);

constexpr PieceKind Order[6] = {PieceKind::Pawn, PieceKind::Knight, PieceKind::Bishop,
                                PieceKind::Rook, PieceKind::Queen,  PieceKind::King};

qreal OutlineWidth(int cell) { return std::max(1.0, cell * 0.04); }

void DrawPicture(QPainter& p, const PieceShape& shape, const Palette& pal, int cell) {
  const qreal unit = cell / 100.0;
  p.save();
  p.scale(unit, unit);
  QLinearGradient shade(25, 0, 80, 0);
  shade.setColorAt(0, pal.fillLight);
  shade.setColorAt(1, pal.fillDark);
  p.setBrush(shade);
  p.setPen(QPen(pal.outline, OutlineWidth(cell) / unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(shape.silhouette);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(pal.detail, std::max(0.9, cell * 0.03) / unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(shape.details);
  p.restore();
}

void DrawMask(QPainter& p, const PieceShape& shape, int cell) {
  const qreal unit = cell / 100.0;
  p.save();
  p.scale(unit, unit);
  p.setBrush(Qt::black);
  p.setPen(QPen(Qt::black, OutlineWidth(cell) / unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(shape.silhouette);
  p.restore();
}

QImage RenderSet(int cell) {
  QImage img(6 * cell, 4 * cell, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  for (int side = 0; side < 2; ++side) {
    const Palette& pal = side == 0 ? WhitePalette : BlackPalette;
    for (int col = 0; col < 6; ++col) {
      const PieceShape shape = MakePieceShape(Order[col]);
      const QRect pictureCell(col * cell, 2 * side * cell, cell, cell);
      p.fillRect(pictureCell, Background);
      p.save();
      p.translate(pictureCell.topLeft());
      DrawPicture(p, shape, pal, cell);
      p.restore();
      p.save();
      p.translate(col * cell, (2 * side + 1) * cell);
      DrawMask(p, shape, cell);
      p.restore();
    }
  }
  p.end();
  // Masks are two-level: a pixel more than half covered belongs to the piece.
  for (int row : {1, 3}) {
    for (int y = row * cell; y < (row + 1) * cell; ++y) {
      auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
      for (int x = 0; x < img.width(); ++x)
        line[x] = qGray(line[x]) < 128 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    }
  }
  return img;
}

// The 256 most used colours, black and white always among them.
QList<QRgb> ColourTable(const QImage& img) {
  QHash<QRgb, int> counts;
  for (int y = 0; y < img.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x) ++counts[line[x] | 0xFF000000u];
  }
  std::vector<std::pair<int, QRgb>> byUse;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    if (it.key() != qRgb(0, 0, 0) && it.key() != qRgb(255, 255, 255))
      byUse.emplace_back(it.value(), it.key());
  }
  std::sort(byUse.begin(), byUse.end(),
            [](auto& a, auto& b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
  QList<QRgb> table{qRgb(0, 0, 0), qRgb(255, 255, 255)};
  for (const auto& [count, colour] : byUse) {
    if (table.size() == 256) break;
    table.append(colour);
  }
  while (table.size() < 256) table.append(qRgb(0, 0, 0));
  return table;
}

// Each piece through its mask on each square colour, one row per colour.
QImage PreviewSheet(const QImage& set, int cell) {
  const QColor squares[] = {QColor(128, 128, 128), QColor(192, 192, 192), QColor(181, 136, 99),
                            QColor(222, 184, 135)};
  QImage sheet(12 * cell, 4 * cell, QImage::Format_RGB32);
  for (int row = 0; row < 4; ++row) {
    for (int piece = 0; piece < 12; ++piece) {
      const int sx = (piece % 6) * cell, sy = (piece / 6) * 2 * cell;
      for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x) {
          const bool opaque = qGray(set.pixel(sx + x, sy + cell + y)) != 255;
          sheet.setPixel(piece * cell + x, row * cell + y,
                         opaque ? set.pixel(sx + x, sy + y) : squares[row].rgb());
        }
    }
  }
  return sheet;
}

int Usage() {
  std::fprintf(stderr, "usage: perch-pieceset [--cell N] [--preview SHEET.png] OUTPUT.bmp\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int cell = 40;
  const char* output = nullptr;
  const char* preview = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--cell") == 0 && i + 1 < argc) {
      cell = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
      preview = argv[++i];
    } else if (argv[i][0] != '-' && !output) {
      output = argv[i];
    } else {
      return Usage();
    }
  }
  if (!output || cell < 8 || cell > 1000) return Usage();
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  const QImage rgb = RenderSet(cell);
  const QImage indexed =
      rgb.convertToFormat(QImage::Format_Indexed8, ColourTable(rgb), Qt::ThresholdDither | Qt::AvoidDither);
  if (!indexed.save(QString::fromLocal8Bit(output), "BMP")) {
    std::fprintf(stderr, "perch-pieceset: cannot write %s\n", output);
    return 1;
  }
  if (preview && !PreviewSheet(indexed, cell).save(QString::fromLocal8Bit(preview), "PNG")) {
    std::fprintf(stderr, "perch-pieceset: cannot write %s\n", preview);
    return 1;
  }
  return 0;
}
