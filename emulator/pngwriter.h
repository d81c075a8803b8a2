#pragma once

#include <QByteArray>

// PNG files of 1-bit pictures on Qt Core alone, so the emulator needs no Qt Gui to keep its
// printouts viewable.
namespace PngWriter {

// A 1-bit greyscale PNG of rows packed eight dots a byte, first dot in the high bit, a set
// bit black; each row takes (width + 7) / 8 bytes. Empty for a picture without dots.
QByteArray mono(int width, int height, const QByteArray &rows);

} // namespace PngWriter
