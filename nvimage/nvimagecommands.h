#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// The ESC/POS side of NV images: one-bit rasters and the GS v 0 / GS ( L commands that carry
// them, plus the size fit and the conversion the download dialog applies. Bytes and images
// only, so they can be checked without a window or a printer.
namespace NvImageCommands {

constexpr int MaxHeight = 800;

enum Dithering { Diffuse = 0, Ordered = 1, Threshold = 2 };

// The printed size of a source image: at most dotsPerLine wide and maxHeight high, the
// aspect kept in truncating integer arithmetic.
QSize fit(QSize source, int dotsPerLine, int maxHeight = MaxHeight);

// The source at exactly that size (smooth, aspect ignored), or the source itself when it
// already has it.
QImage scaledTo(const QImage &source, QSize size);
// One bit deep: a 1-bit image comes back as it is (bits and colour table untouched);
// anything else is dithered by Qt in the given mode, unknown modes counting as Diffuse.
QImage toOneBit(const QImage &scaled, int dithering);

// Bytes per raster row: (width - 1) / 8 + 1.
int bytesPerRow(int width);
// The rows of a one-bit image top to bottom, each as QImage::Format_Mono stores it.
QByteArray rasterRows(const QImage &mono);

// GS v 0 with the raster, then 4 line feeds on a 576-dot printer, else 2.
QByteArray printRaster(const QImage &mono, int dotsPerLine);
// GS ( L fn 67: store the raster as NV graphics under kc1 kc2.
QByteArray define(const QImage &mono, char kc1, char kc2);
// GS ( L fn 69, 66, 65.
QByteArray printStored(char kc1, char kc2);
QByteArray deleteOne(char kc1, char kc2);
QByteArray deleteAll();

// A key code as the page keeps it: (first << 8) | second.
inline quint16 keyCode(char kc1, char kc2) { return quint16((uchar(kc1) << 8) | uchar(kc2)); }

} // namespace NvImageCommands
