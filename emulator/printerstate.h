#pragma once

#include "protocol/hostcmddevinfo.h"

#include <QByteArray>
#include <QString>

// The emulated printer: its identity, versions and (later) settings, and the answers built
// from them. Shared by every connection, as on a real printer, so a setting one connection
// changes is what the next one reads. Pure: bytes in, bytes out.
class PrinterState
{
public:
    // Sizes of the text fields on the wire; a text holds at most size - 1 characters.
    static constexpr int TextFieldSize = 16;
    static constexpr int SerialFieldSize = 24;
    static constexpr int DeviceInfoSize = 186;

    QString project = QStringLiteral("RX210");
    QString model = QStringLiteral("RX220_S");
    QString serialNumber = QStringLiteral("ZR2108A0001234");
    QString hardwareVersion = QStringLiteral("HW-2.1");
    QString bootloaderVersion = QStringLiteral("BL-1.0.4");
    QString firmwareVersion = QStringLiteral("FW-3.2.17");
    QString appVersion = QStringLiteral("APP-2.8.0");
    QString partnerAppVersion = QStringLiteral("PAPP-1.3.2");
    QString miniAppVersion = QStringLiteral("MAPP-0.9.6");
    QString fontVersion = QStringLiteral("FONT-2024.06");
    QString ttsVersion = QStringLiteral("TTS-1.2");

    enum class Outcome {
        Answered,       // payload holds the answer
        NotImplemented, // a known command the emulator does not play yet
        Unknown,        // a word the printer does not know
        NoWord,         // shorter than a command word
    };
    struct Answer
    {
        Outcome outcome = Outcome::NoWord;
        QByteArray payload;
    };

    // The handshake answer's record.
    host_cmd_dev_info_t deviceRecord() const;

    // What the printer does with one decrypted request payload.
    Answer answer(const QByteArray &request);

    // The command word of a request payload, or -1 when it is too short to carry one.
    static int commandWord(const QByteArray &request);
    // The name of a known command word, or nullptr.
    static const char *commandName(quint16 word);

private:
    using Builder = QByteArray (PrinterState::*)(const QByteArray &request);
    struct Command
    {
        quint16 word;
        const char *name;
        Builder build; // nullptr: known, not played yet
    };
    static const Command *command(quint16 word);

    QByteArray deviceInfo(const QByteArray &request);

    // Writes text as a NUL-terminated single-byte field, cut to size - 1 characters.
    static void putText(QByteArray &out, int offset, int size, const QString &text);
};
