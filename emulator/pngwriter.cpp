#include "emulator/pngwriter.h"

#include <array>

namespace PngWriter {

namespace {

quint32 crc32(const QByteArray &bytes)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (const char b : bytes)
        crc = table[(crc ^ quint8(b)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void appendU32(QByteArray &out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char(value >> shift & 0xFF));
}

void appendChunk(QByteArray &out, const char *type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    appendU32(out, quint32(data.size()));
    out.append(body);
    appendU32(out, crc32(body));
}

} // namespace

QByteArray mono(int width, int height, const QByteArray &rows)
{
    const int bpr = (width + 7) / 8;
    if (width <= 0 || height <= 0 || qint64(bpr + 1) * height > 0x7FFFFFF)
        return {};
    // Missing rows print white.
    const QByteArray dots = rows.leftJustified(bpr * height, '\0', true);
    QByteArray header;
    appendU32(header, quint32(width));
    appendU32(header, quint32(height));
    header.append("\x01\x00\x00\x00\x00", 5); // bit depth 1, greyscale, deflate, no filter, no interlace

    // Greyscale 0 is black: the dots go in inverted, each row after its filter byte (none).
    QByteArray scanlines;
    scanlines.reserve((bpr + 1) * height);
    for (int y = 0; y < height; ++y) {
        scanlines.append('\0');
        for (int i = 0; i < bpr; ++i)
            scanlines.append(char(~quint8(dots.at(y * bpr + i))));
    }
    // qCompress gives a zlib stream behind a 4-byte length of its own.
    const QByteArray zlib = qCompress(scanlines, 9).mid(4);

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", zlib);
    appendChunk(png, "IEND", QByteArray());
    return png;
}

} // namespace PngWriter
