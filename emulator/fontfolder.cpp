#include "emulator/fontfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

// A file of the given size that starts like a font of its kind; the rest is zero.
QByteArray placeholder(const QByteArray &magic, int size)
{
    QByteArray bytes(size, '\0');
    bytes.replace(0, magic.size(), magic);
    return bytes;
}

const QMap<QByteArray, QByteArray> &defaultFiles()
{
    // Built once and shared by every folder made from it: copies are cheap until written.
    static const QMap<QByteArray, QByteArray> files = [] {
        const QByteArray sfnt("\x00\x01\x00\x00", 4);
        QMap<QByteArray, QByteArray> f;
        f.insert("fonts.conf",
                 "<?xml version=\"1.0\"?>\n"
                 "<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                 "<fontconfig>\n"
                 "  <dir>/data/PUB/fonts</dir>\n"
                 "  <cachedir>/data/PUB/fonts/.cache</cachedir>\n"
                 "  <config><rescan><int>0</int></rescan></config>\n"
                 "</fontconfig>\n");
        f.insert("sans-latin.ttf", placeholder(sfnt, 312164));
        f.insert("sans-han.ttc", placeholder("ttcf", 4583612));
        f.insert("sans-khmer.ttf", placeholder(sfnt, 98732));
        f.insert("naskh-arabic.ttf", placeholder(sfnt, 187420));
        f.insert("sans-thai.ttf", placeholder(sfnt, 41288));
        return f;
    }();
    return files;
}

} // namespace

FontFolder::FontFolder()
    : m_files(defaultFiles())
{
}

FontFolder::FontFolder(const QString &directory)
    : m_directory(QDir(directory).absolutePath())
{
}

QString FontFolder::describe() const
{
    return QStringLiteral("%1, %2 files")
        .arg(m_directory.isEmpty() ? QStringLiteral("in memory") : m_directory)
        .arg(entries().size());
}

QString FontFolder::filePath(const QByteArray &name) const
{
    return QDir(m_directory).filePath(QFile::decodeName(name));
}

QVector<FontFolder::Entry> FontFolder::entries() const
{
    QVector<Entry> out;
    if (m_directory.isEmpty()) {
        for (auto it = m_files.cbegin(); it != m_files.cend(); ++it)
            out.append({it.key(), quint32(it.value().size())});
        return out;
    }
    const QFileInfoList files = QDir(m_directory).entryInfoList(
        QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &file : files)
        out.append({QFile::encodeName(file.fileName()),
                    quint32(std::min<qint64>(file.size(), 0xFFFFFFFF))});
    return out;
}

bool FontFolder::contains(const QByteArray &name) const
{
    if (!isFileName(name))
        return false;
    if (m_directory.isEmpty())
        return m_files.contains(name);
    return QFileInfo(filePath(name)).isFile();
}

QByteArray FontFolder::content(const QByteArray &name) const
{
    if (!isFileName(name))
        return {};
    if (m_directory.isEmpty())
        return m_files.value(name);
    QFile file(filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool FontFolder::write(const QByteArray &name, const QByteArray &bytes, QString *error)
{
    if (!isFileName(name)) {
        if (error)
            *error = QStringLiteral("not a file name");
        return false;
    }
    if (m_directory.isEmpty()) {
        m_files.insert(name, bytes);
        return true;
    }
    // Through a temporary file: a font the printer is reading never shows half written.
    QSaveFile file(filePath(name));
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

bool FontFolder::remove(const QByteArray &name, quint32 *size)
{
    if (!contains(name))
        return false;
    if (m_directory.isEmpty()) {
        if (size)
            *size = quint32(m_files.value(name).size());
        m_files.remove(name);
        return true;
    }
    const QString path = filePath(name);
    if (size)
        *size = quint32(std::min<qint64>(QFileInfo(path).size(), 0xFFFFFFFF));
    return QFile::remove(path);
}

bool FontFolder::isFileName(const QByteArray &name)
{
    return !name.isEmpty() && !name.contains('/') && name != "." && name != "..";
}

QByteArray FontFolder::fileNameOf(const QByteArray &path)
{
    if (!path.startsWith(Path))
        return {};
    const QByteArray name = path.mid(int(sizeof Path) - 1);
    return isFileName(name) ? name : QByteArray();
}
