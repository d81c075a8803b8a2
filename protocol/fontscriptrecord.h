#pragma once

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QVector>

// One script's font setting, as GetFontScripts answers it and SetFontScript sends it: the
// same 438 bytes both ways, but for the command word.
struct FontScriptRecord
{
    static constexpr int Size = 438;
    static constexpr int ScriptSize = 32;
    static constexpr int LanguageSize = 4;
    static constexpr int FontSize = 64;
    static constexpr int MaxRanges = 40;

    using Range = QPair<quint32, quint32>; // first and last code point

    bool enabled = false;
    // Three bytes the printer gives the meaning of; returned as received.
    quint8 ct = 0;
    quint8 px = 0;
    quint8 ad = 0;
    QByteArray script;   // Latin-1, at most 31 bytes on the wire
    QByteArray language; // at most 3
    QByteArray font;     // at most 63
    qint32 faceIndex = 0;
    quint16 threshold = 0;
    quint16 pixelWidth = 0;
    quint16 pixelHeight = 0;
    quint16 advance = 0;
    QVector<Range> ranges; // at most 40 go out; a range starting at 0 would end the list

    QByteArray toBytes(quint16 word) const;
    // False, and *record untouched, when shorter than Size. The ranges end at the first one
    // whose first code point is 0.
    static bool decode(const QByteArray &bytes, FontScriptRecord *record);

    // "U+0020~U+007E;U+4E00~U+9FFF"; empty for no ranges.
    static QString rangesText(const QVector<Range> &ranges);
};
