#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The printer's NV graphics memory and what a print stream does with it: the GS ( L
// functions that define (67), delete (66), delete all (65) and print (69) stored
// graphics, and GS v 0 raster prints. Pure: bytes in, the stored images, notes and the
// printed rasters out.
//
// An image counts its raster bytes against the memory, what the tool's list shows as
// its size; headers and the directory take nothing.
class NvMemory
{
public:
    static constexpr quint32 DefaultCapacity = 256 * 1024;

    // A one-bit picture: height rows of bytesPerRow() bytes, the leftmost dot in the most
    // significant bit, a set bit a printed (black) dot.
    struct Raster
    {
        int width = 0; // dots
        int height = 0;
        QByteArray rows;
        int bytesPerRow() const { return (width + 7) / 8; }
        bool dot(int x, int y) const;
        bool operator==(const Raster &o) const { return width == o.width && height == o.height && rows == o.rows; }
    };
    struct Image
    {
        char kc1 = 0;
        char kc2 = 0;
        Raster raster;
        quint32 size() const { return quint32(raster.rows.size()); }
        // "A1"; a byte outside printable ASCII as \xNN.
        QString keyCode() const;
    };
    struct Result
    {
        QStringList notes;     // one line per command, what the printer did
        QVector<Image> stored; // images this stream defined, in order
        QVector<Raster> printed;
        int firstPrint = 0;    // printNumber() of printed.first()
        bool changed = false;  // the stored images differ from before
    };

    // The three images a printer of the emulator starts with.
    static NvMemory withSamples();

    // Plays every NV graphics command and raster print of the stream, in order. The images
    // must fit capacity bytes together. A command cut short by the end of the stream, or
    // with a malformed header, changes nothing.
    Result apply(const QByteArray &stream, quint32 capacity);
    // Stores an image as a define would, replacing one of its key code. False, with the
    // reason in *note, when it is refused; the note says what was stored otherwise.
    bool define(const Image &image, quint32 capacity, QString *note = nullptr);
    bool remove(char kc1, char kc2);
    void clear();

    const QVector<Image> &images() const { return m_images; }
    const Image *find(char kc1, char kc2) const;
    quint32 used() const;

    // Printable key code characters, as the printer takes them.
    static bool isKeyCodeChar(char c) { return c >= 32 && c <= 126; }
    static QString keyCodeText(char kc1, char kc2);

private:
    void nvFunction(const QByteArray &stream, qint64 body, qint64 length, quint32 capacity, Result &result);
    void print(const Raster &raster, Result &result);

    QVector<Image> m_images;
    quint32 m_generation = 0; // a different value after every define, delete and delete all
    int m_printCount = 0; // rasters printed over the memory's life
};
