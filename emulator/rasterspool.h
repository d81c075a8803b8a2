#pragma once

#include "emulator/nvmemory.h"

#include <QString>
#include <QStringList>

// The pictures of the printer's print output, as PNG files in a folder: each NV image
// when it is stored (nv-A1.png) and each raster when it prints (print-0001.png), black
// where a dot is printed.
class RasterSpool
{
public:
    explicit RasterSpool(const QString &dir = QString()) : m_dir(dir) {}

    void setDir(const QString &dir) { m_dir = dir; }
    QString dir() const { return m_dir; }

    // Saves what a stream stored and printed; one log line per file. Nothing without a folder.
    QStringList save(const NvMemory::Result &result) const;

    // The PNG file's bytes: white paper, black dots.
    static QByteArray toPng(const NvMemory::Raster &raster);
    // "nv-A1.png"; key code characters other than letters and digits as _XX in hexadecimal,
    // so every key code has a file name of its own on any file system.
    static QString storedFileName(char kc1, char kc2);
    static QString printFileName(int number);

private:
    QString saveImage(const NvMemory::Raster &raster, const QString &name, const QString &what) const;

    QString m_dir;
};
