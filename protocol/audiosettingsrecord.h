#pragma once

#include <QByteArray>

// The audio switches as SetAudioSettings sends them and GetAudioSettings answers them.
struct AudioSettingsRecord
{
    static constexpr int Size = 7;

    bool allAudio = false;
    bool cloudAudio = false;
    bool warningAudio = false;
    bool noticeAudio = false;
    // The alert when a printed receipt is not taken.
    bool paperNotTakenVoice = false;
    bool paperNotTakenBeep = false;

    QByteArray toBytes() const;
    // False, and *record untouched, when the response is shorter than Size.
    static bool decode(const QByteArray &response, AudioSettingsRecord *record);
};
