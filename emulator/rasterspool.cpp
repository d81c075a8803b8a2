#include "emulator/rasterspool.h"

#include "emulator/pngwriter.h"

#include <QDir>
#include <QSaveFile>

QByteArray RasterSpool::toPng(const NvMemory::Raster &raster)
{
    return PngWriter::mono(raster.width, raster.height, raster.rows);
}

QString RasterSpool::storedFileName(char kc1, char kc2)
{
    QString name = QStringLiteral("nv-");
    for (const char c : {kc1, kc2}) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            name += QLatin1Char(c);
        else
            name += QStringLiteral("_%1").arg(uchar(c), 2, 16, QLatin1Char('0')).toUpper();
    }
    return name + QStringLiteral(".png");
}

QString RasterSpool::printFileName(int number)
{
    return QStringLiteral("print-%1.png").arg(number, 4, 10, QLatin1Char('0'));
}

QStringList RasterSpool::save(const NvMemory::Result &result) const
{
    QStringList lines;
    if (m_dir.isEmpty())
        return lines;
    for (const NvMemory::Image &image : result.stored)
        lines << saveImage(image.raster, storedFileName(image.kc1, image.kc2),
                           QStringLiteral("NV image \"%1\"").arg(image.keyCode()));
    for (int i = 0; i < result.printed.size(); ++i)
        lines << saveImage(result.printed.at(i), printFileName(result.firstPrint + i), QStringLiteral("printout"));
    return lines;
}

QString RasterSpool::saveImage(const NvMemory::Raster &raster, const QString &name, const QString &what) const
{
    QDir().mkpath(m_dir);
    const QString path = QDir(m_dir).filePath(name);
    const QByteArray png = toPng(raster);
    QSaveFile file(path);
    if (!png.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(png) == png.size() && file.commit())
        return QStringLiteral("%1 saved to %2").arg(what, path);
    return QStringLiteral("%1: cannot save to %2").arg(what, path);
}
