#include "nvimage/nvimagecommands.h"

namespace NvImageCommands {

namespace {

void appendU16(QByteArray &bytes, int value)
{
    bytes.append(char(value & 0xff));
    bytes.append(char((value >> 8) & 0xff));
}

// Rows are read in the most-significant-bit-first order; a LSB-first image is reordered
// without touching its pixel indices or colour table.
QImage msbFirst(const QImage &mono)
{
    return mono.format() == QImage::Format_Mono ? mono : mono.convertToFormat(QImage::Format_Mono);
}

} // namespace

QSize fit(QSize source, int dotsPerLine, int maxHeight)
{
    qint64 w = source.width();
    qint64 h = source.height();
    if (w > dotsPerLine) {
        h = dotsPerLine * h / w;
        w = dotsPerLine;
    }
    // Starts again from the source: the first step's truncation must not shrink it twice.
    if (h > maxHeight && source.height() > 0) {
        w = qint64(source.width()) * maxHeight / source.height();
        h = maxHeight;
    }
    return QSize(int(w), int(h));
}

QImage scaledTo(const QImage &source, QSize size)
{
    if (source.isNull() || size == source.size())
        return source;
    return source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage toOneBit(const QImage &scaled, int dithering)
{
    if (scaled.isNull())
        return QImage();
    if (scaled.depth() == 1)
        return msbFirst(scaled);
    Qt::ImageConversionFlags flags = Qt::MonoOnly;
    switch (dithering) {
    case Ordered:
        flags |= Qt::OrderedDither;
        break;
    case Threshold:
        flags |= Qt::ThresholdDither;
        break;
    default:
        flags |= Qt::DiffuseDither;
        break;
    }
    return scaled.convertToFormat(QImage::Format_Mono, flags);
}

int bytesPerRow(int width)
{
    return (width - 1) / 8 + 1;
}

QByteArray rasterRows(const QImage &mono)
{
    if (mono.isNull() || mono.depth() != 1)
        return QByteArray();
    const QImage image = msbFirst(mono);
    const int rowBytes = bytesPerRow(image.width());
    QByteArray rows;
    rows.reserve(rowBytes * image.height());
    for (int y = 0; y < image.height(); ++y)
        rows.append(reinterpret_cast<const char *>(image.constScanLine(y)), rowBytes);
    return rows;
}

QByteArray printRaster(const QImage &mono, int dotsPerLine)
{
    QByteArray bytes("\x1d\x76\x30\x00", 4);
    appendU16(bytes, bytesPerRow(mono.width()));
    appendU16(bytes, mono.height());
    bytes.append(rasterRows(mono));
    bytes.append(dotsPerLine == 576 ? 4 : 2, '\n');
    return bytes;
}

QByteArray define(const QImage &mono, char kc1, char kc2)
{
    const QByteArray rows = rasterRows(mono);
    QByteArray bytes("\x1d\x28\x4c", 3);
    appendU16(bytes, rows.size() + 11);
    bytes.append("\x30\x43\x30", 3);
    bytes.append(kc1);
    bytes.append(kc2);
    bytes.append('\x01');
    appendU16(bytes, mono.width());
    appendU16(bytes, mono.height());
    bytes.append('\x31');
    bytes.append(rows);
    return bytes;
}

QByteArray printStored(char kc1, char kc2)
{
    QByteArray bytes("\x1d\x28\x4c\x06\x00\x30\x45", 7);
    bytes.append(kc1);
    bytes.append(kc2);
    bytes.append("\x01\x01", 2);
    return bytes;
}

QByteArray deleteOne(char kc1, char kc2)
{
    QByteArray bytes("\x1d\x28\x4c\x04\x00\x30\x42", 7);
    bytes.append(kc1);
    bytes.append(kc2);
    return bytes;
}

QByteArray deleteAll()
{
    return QByteArray("\x1d\x28\x4c\x05\x00\x30\x41\x43\x4c\x52", 10);
}

} // namespace NvImageCommands
