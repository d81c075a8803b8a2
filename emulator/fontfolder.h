#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVector>

// The printer's font folder, "/data/PUB/fonts/": files by name with their bytes. Either in
// memory, starting with the files a printer leaves the factory with, or the files of a
// directory on this machine, listed, written and deleted there. Copies of an in-memory
// folder are independent; copies of a directory folder share the directory.
class FontFolder
{
public:
    // The folder as the printer names it in paths.
    static constexpr char Path[] = "/data/PUB/fonts/";

    struct Entry
    {
        QByteArray name;
        quint32 size = 0; // bytes; a larger file on disk reads as the largest size
    };

    // In memory, with the default files.
    FontFolder();
    // The files of directory, which should exist.
    explicit FontFolder(const QString &directory);

    // Empty for a folder in memory.
    QString directory() const { return m_directory; }
    // "in memory, 6 files", "/srv/fonts, 2 files".
    QString describe() const;

    // Every file, by name.
    QVector<Entry> entries() const;
    bool contains(const QByteArray &name) const;
    // A file's bytes; empty when there is no such file.
    QByteArray content(const QByteArray &name) const;
    // Adds or replaces a file. False, with *error, when it cannot be written.
    bool write(const QByteArray &name, const QByteArray &bytes, QString *error = nullptr);
    // False when there was no such file (or it cannot be removed); *size is what it had.
    bool remove(const QByteArray &name, quint32 *size = nullptr);

    // A name the folder can hold: not empty, no '/', not "." or "..".
    static bool isFileName(const QByteArray &name);
    // The file name of a path in the folder, "/data/PUB/fonts/NAME"; empty for any other path.
    static QByteArray fileNameOf(const QByteArray &path);

private:
    QString filePath(const QByteArray &name) const;

    QString m_directory;
    QMap<QByteArray, QByteArray> m_files; // in memory only
};
