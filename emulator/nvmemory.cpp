#include "emulator/nvmemory.h"

#include "emulator/escposwalker.h"

#include <algorithm>

namespace {

// GS ( L m fn: m is 48 for all the graphics functions.
constexpr uchar GraphicsM = 0x30;
constexpr uchar DeleteAll = 65, DeleteOne = 66, DefineRaster = 67, DefineColumns = 68, PrintStored = 69;
// Define: m fn a kc1 kc2 b xL xH yL yH c, then the rows.
constexpr qint64 DefineHeader = 11;
constexpr uchar RasterFormat = 0x30, FirstColour = 0x31;
// The largest image the printer takes, in dots.
constexpr int MaxWidth = 8192, MaxHeight = 2304;

// Each dot repeated xs times across and each row ys times down (1 or 2 each).
NvMemory::Raster scaled(const NvMemory::Raster &in, int xs, int ys)
{
    if (xs == 1 && ys == 1)
        return in;
    NvMemory::Raster out;
    out.width = in.width * xs;
    out.height = in.height * ys;
    const int bpr = out.bytesPerRow();
    out.rows = QByteArray(bpr * out.height, '\0');
    for (int y = 0; y < in.height; ++y) {
        QByteArray row(bpr, '\0');
        for (int x = 0; x < out.width; ++x) {
            if (in.dot(x / xs, y))
                row[x / 8] = char(uchar(row.at(x / 8)) | 0x80 >> (x % 8));
        }
        for (int k = 0; k < ys; ++k)
            out.rows.replace((y * ys + k) * bpr, bpr, row);
    }
    return out;
}

// A sample picture: a frame one dot wide around diagonal stripes.
NvMemory::Image sample(char kc1, char kc2, int width, int height, int stripe)
{
    NvMemory::Image image;
    image.kc1 = kc1;
    image.kc2 = kc2;
    image.raster.width = width;
    image.raster.height = height;
    const int bpr = image.raster.bytesPerRow();
    image.raster.rows = QByteArray(bpr * height, '\0');
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool frame = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            if (frame || (x + y) / stripe % 2 == 0)
                image.raster.rows[y * bpr + x / 8] = char(uchar(image.raster.rows.at(y * bpr + x / 8)) | 0x80 >> (x % 8));
        }
    }
    return image;
}

} // namespace

bool NvMemory::Raster::dot(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return false;
    const int at = y * bytesPerRow() + x / 8;
    return at < rows.size() && (uchar(rows.at(at)) & 0x80 >> (x % 8)) != 0;
}

QString NvMemory::keyCodeText(char kc1, char kc2)
{
    QString text;
    for (const char c : {kc1, kc2}) {
        if (isKeyCodeChar(c))
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x%1").arg(uchar(c), 2, 16, QLatin1Char('0'));
    }
    return text;
}

QString NvMemory::Image::keyCode() const
{
    return keyCodeText(kc1, kc2);
}

NvMemory NvMemory::withSamples()
{
    // Sizes a receipt logo, a small badge and a coupon picture would have.
    NvMemory memory;
    memory.m_images = {sample('A', '1', 576, 64, 16), sample('A', '2', 384, 48, 8), sample('B', '1', 384, 256, 32)};
    return memory;
}

const NvMemory::Image *NvMemory::find(char kc1, char kc2) const
{
    const auto it = std::find_if(m_images.cbegin(), m_images.cend(),
                                 [kc1, kc2](const Image &i) { return i.kc1 == kc1 && i.kc2 == kc2; });
    return it == m_images.cend() ? nullptr : &*it;
}

quint32 NvMemory::used() const
{
    quint32 sum = 0;
    for (const Image &i : m_images)
        sum += i.size();
    return sum;
}

bool NvMemory::define(const Image &image, quint32 capacity, QString *note)
{
    const QString what = QStringLiteral("NV image \"%1\"").arg(image.keyCode());
    const Raster &r = image.raster;
    QString reason;
    const Image *old = find(image.kc1, image.kc2);
    const quint32 others = used() - (old ? old->size() : 0);
    if (!isKeyCodeChar(image.kc1) || !isKeyCodeChar(image.kc2))
        reason = QStringLiteral("key code characters must be 32 to 126");
    else if (r.width < 1 || r.width > MaxWidth || r.height < 1 || r.height > MaxHeight)
        reason = QStringLiteral("%1 x %2 dots, want 1 to %3 x 1 to %4").arg(r.width).arg(r.height).arg(MaxWidth).arg(MaxHeight);
    else if (r.rows.size() != r.bytesPerRow() * r.height)
        reason = QStringLiteral("%1 bytes of rows for %2 x %3 dots").arg(r.rows.size()).arg(r.width).arg(r.height);
    else if (image.size() > capacity || others > capacity - image.size())
        reason = QStringLiteral("%1 bytes do not fit, %2 of %3 bytes free")
                     .arg(image.size())
                     .arg(capacity - std::min(others, capacity))
                     .arg(capacity);
    if (!reason.isEmpty()) {
        if (note)
            *note = QStringLiteral("%1 refused: %2").arg(what, reason);
        return false;
    }
    if (old)
        m_images[int(old - m_images.constData())] = image;
    else
        m_images.append(image);
    ++m_generation;
    if (note)
        *note = QStringLiteral("%1 %2: %3 x %4 dots, %5 bytes (%6 images, %7 of %8 bytes used)")
                    .arg(what, old ? QStringLiteral("replaced") : QStringLiteral("stored"))
                    .arg(r.width)
                    .arg(r.height)
                    .arg(image.size())
                    .arg(m_images.size())
                    .arg(used())
                    .arg(capacity);
    return true;
}

bool NvMemory::remove(char kc1, char kc2)
{
    const Image *image = find(kc1, kc2);
    if (!image)
        return false;
    m_images.remove(int(image - m_images.constData()));
    ++m_generation;
    return true;
}

void NvMemory::clear()
{
    if (m_images.isEmpty())
        return;
    m_images.clear();
    ++m_generation;
}

void NvMemory::print(const Raster &raster, Result &result)
{
    ++m_printCount;
    result.printed.append(raster);
}

NvMemory::Result NvMemory::apply(const QByteArray &stream, quint32 capacity)
{
    Result result;
    result.firstPrint = m_printCount + 1;
    const quint32 before = m_generation;
    const auto *b = reinterpret_cast<const uchar *>(stream.constData());
    EscPosWalker walker(stream);
    EscPosWalker::Command c;
    while (walker.next(&c)) {
        if (c.kind == EscPosWalker::Kind::Raster) {
            const qint64 bpr = walker.u16(c.start + 4), height = walker.u16(c.start + 6);
            if (!walker.isComplete(c)) {
                result.notes << QStringLiteral("raster of %1 x %2 dots cut short: %3 of %4 bytes, not printed")
                                    .arg(bpr * 8)
                                    .arg(height)
                                    .arg(stream.size() - c.body())
                                    .arg(c.length);
                continue;
            }
            if (c.length == 0) {
                result.notes << QStringLiteral("raster of %1 x %2 dots: nothing to print").arg(bpr * 8).arg(height);
                continue;
            }
            // m: bit 0 doubles the width, bit 1 the height (0 to 3, or '0' to '3').
            const uchar m = b[c.start + 3];
            const int mode = m >= '0' ? m - '0' : m;
            Raster raster;
            raster.width = int(bpr * 8);
            raster.height = int(height);
            raster.rows = stream.mid(int(c.body()), int(c.length));
            if (mode > 3) {
                result.notes << QStringLiteral("raster of %1 x %2 dots: mode %3 unknown, not printed")
                                    .arg(raster.width)
                                    .arg(raster.height)
                                    .arg(m);
                continue;
            }
            print(scaled(raster, mode & 1 ? 2 : 1, mode & 2 ? 2 : 1), result);
            result.notes << QStringLiteral("raster printed: %1 x %2 dots").arg(result.printed.last().width).arg(result.printed.last().height);
            continue;
        }
        const bool graphics = c.kind == EscPosWalker::Kind::Long || c.letter == 'L';
        if (!graphics)
            continue;
        if (!walker.isComplete(c)) {
            result.notes << QStringLiteral("NV graphics command cut short: %1 of %2 bytes, ignored")
                                .arg(stream.size() - c.start)
                                .arg(c.end() - c.start);
            continue;
        }
        nvFunction(stream, c.body(), c.length, capacity, result);
    }
    result.changed = m_generation != before;
    return result;
}

void NvMemory::nvFunction(const QByteArray &stream, qint64 body, qint64 length, quint32 capacity, Result &result)
{
    const auto *p = reinterpret_cast<const uchar *>(stream.constData()) + body;
    const auto u16 = [p](int at) { return int(p[at] | p[at + 1] << 8); };
    if (length < 2 || p[0] != GraphicsM) {
        result.notes << QStringLiteral("graphics command with %1 bytes of parameters: not one the printer knows, ignored")
                            .arg(length);
        return;
    }
    const uchar fn = p[1];
    const auto malformed = [&](const char *what, qint64 want) {
        result.notes << QStringLiteral("%1 ignored: %2 bytes of parameters, want %3")
                            .arg(QLatin1String(what))
                            .arg(length)
                            .arg(want);
    };
    switch (fn) {
    case DeleteAll: {
        if (length != 5 || p[2] != 'C' || p[3] != 'L' || p[4] != 'R') {
            malformed("NV delete all", 5);
            return;
        }
        const int n = m_images.size();
        clear();
        result.notes << QStringLiteral("all NV images deleted (%1)").arg(n);
        return;
    }
    case DeleteOne: {
        if (length != 4) {
            malformed("NV image delete", 4);
            return;
        }
        const Image *image = find(char(p[2]), char(p[3]));
        const QString key = keyCodeText(char(p[2]), char(p[3]));
        if (!image) {
            result.notes << QStringLiteral("no NV image \"%1\" to delete").arg(key);
            return;
        }
        const quint32 size = image->size();
        remove(char(p[2]), char(p[3]));
        result.notes << QStringLiteral("NV image \"%1\" deleted (%2 bytes)").arg(key).arg(size);
        return;
    }
    case PrintStored: {
        if (length != 6) {
            malformed("NV image print", 6);
            return;
        }
        const QString key = keyCodeText(char(p[2]), char(p[3]));
        const Image *image = find(char(p[2]), char(p[3]));
        if (!image) {
            result.notes << QStringLiteral("no NV image \"%1\" to print").arg(key);
            return;
        }
        const int xs = p[4], ys = p[5];
        if (xs < 1 || xs > 2 || ys < 1 || ys > 2) {
            result.notes << QStringLiteral("NV image \"%1\" not printed: scale %2 x %3, want 1 or 2").arg(key).arg(xs).arg(ys);
            return;
        }
        print(scaled(image->raster, xs, ys), result);
        result.notes << QStringLiteral("NV image \"%1\" printed: %2 x %3 dots")
                            .arg(key)
                            .arg(result.printed.last().width)
                            .arg(result.printed.last().height);
        return;
    }
    case DefineRaster: {
        if (length < DefineHeader) {
            malformed("NV image define", DefineHeader);
            return;
        }
        Image image;
        image.kc1 = char(p[3]);
        image.kc2 = char(p[4]);
        const QString what = QStringLiteral("NV image \"%1\" refused").arg(image.keyCode());
        if (p[2] != RasterFormat || p[5] != 1 || p[10] != FirstColour) {
            result.notes << QStringLiteral("%1: not one colour in raster format").arg(what);
            return;
        }
        image.raster.width = u16(6);
        image.raster.height = u16(8);
        const qint64 rows = qint64(image.raster.bytesPerRow()) * image.raster.height;
        if (length - DefineHeader != rows) {
            result.notes << QStringLiteral("%1: %2 x %3 dots take %4 bytes, the command carries %5")
                                .arg(what)
                                .arg(image.raster.width)
                                .arg(image.raster.height)
                                .arg(rows)
                                .arg(length - DefineHeader);
            return;
        }
        image.raster.rows = stream.mid(int(body + DefineHeader), int(rows));
        QString note;
        if (define(image, capacity, &note))
            result.stored.append(image);
        result.notes << note;
        return;
    }
    case DefineColumns:
        result.notes << QStringLiteral("NV image define in column format: not played, ignored");
        return;
    default:
        result.notes << QStringLiteral("graphics function %1: not played, ignored").arg(fn);
        return;
    }
}
