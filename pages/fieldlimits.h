#pragma once

#include <QCoreApplication>
#include <QString>

// What the printer can take in the fields a technician types, counted as the bytes that go
// on the wire. Each check returns an empty text when the value can be sent, otherwise the
// sentence that says why not, starting with the field's name.
class FieldLimits
{
    Q_DECLARE_TR_FUNCTIONS(FieldLimits)

public:
    static constexpr int SsidBytes = 32;
    static constexpr int PasswordMinBytes = 8;
    static constexpr int PasswordMaxBytes = 63;
    // A WPA key given as hex digits instead of a passphrase.
    static constexpr int PasswordKeyDigits = 64;

    // A form caption as a field's name in a sentence: no mnemonic, no trailing colon.
    static QString fieldName(const QString &caption);

    // Four decimal numbers 0 to 255 without leading zeros; anything else would go out as
    // another address, or as 0.0.0.0. An empty text is refused only when required.
    static QString ipv4Problem(const QString &name, const QString &text, bool required);
    // Texts the printer keeps as Latin-1; their length is held where they are typed.
    static QString latin1Problem(const QString &name, const QString &text);
    // At most 32 bytes of UTF-8, as the printer stores it.
    static QString ssidProblem(const QString &name, const QString &ssid);
    // Empty (an open network), a passphrase of 8 to 63 bytes, or a 64-digit hex key, in the
    // workstation's encoding as it is sent.
    static QString passwordProblem(const QString &name, const QString &password);
};
