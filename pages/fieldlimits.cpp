#include "pages/fieldlimits.h"

#include "pages/ipv4validator.h"

#include <QRegularExpression>
#include <QStringList>

#include <cctype>

QString FieldLimits::fieldName(const QString &caption)
{
    QString name = caption.trimmed();
    // A translation may put the mnemonic after the text: "密码(&P):".
    static const QRegularExpression trailingMnemonic(QStringLiteral("\\s*[(\\x{ff08}]&.[)\\x{ff09}]"));
    name.remove(trailingMnemonic);
    name.remove(QLatin1Char('&'));
    while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xff1a)))
        name.chop(1);
    return name.trimmed();
}

QString FieldLimits::ipv4Problem(const QString &name, const QString &text, bool required)
{
    if (text.isEmpty())
        return required ? tr("%1: enter an IPv4 address (0.0.0.0 for none).").arg(name) : QString();
    bool ok = Ipv4Validator::isAddress(text);
    // The printer reads 010 as octal 8.
    const QStringList parts = text.split(QLatin1Char('.'));
    for (const QString &part : parts)
        ok = ok && (part.size() == 1 || part.at(0) != QLatin1Char('0'));
    return ok ? QString() : tr("%1: \"%2\" is not an IPv4 address.").arg(name, text);
}

QString FieldLimits::latin1Problem(const QString &name, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xff)
            return tr("%1: \"%2\" cannot be sent; only Latin-1 characters can.").arg(name, QString(c));
    }
    return QString();
}

QString FieldLimits::ssidProblem(const QString &name, const QString &ssid)
{
    const int bytes = ssid.toUtf8().size();
    if (bytes <= SsidBytes)
        return QString();
    return tr("%1: at most %2 bytes of UTF-8 (this one has %3).").arg(name).arg(SsidBytes).arg(bytes);
}

QString FieldLimits::passwordProblem(const QString &name, const QString &password)
{
    const QByteArray bytes = password.toLocal8Bit();
    if (bytes.isEmpty() || (bytes.size() >= PasswordMinBytes && bytes.size() <= PasswordMaxBytes))
        return QString();
    if (bytes.size() == PasswordKeyDigits) {
        bool hex = true;
        for (const char c : bytes)
            hex = hex && std::isxdigit(uchar(c));
        if (hex)
            return QString();
        return tr("%1: a key of %2 characters must be hex digits only (0-9, A-F).").arg(name).arg(PasswordKeyDigits);
    }
    return tr("%1: %2 to %3 characters, or %4 hex digits (this one has %5).")
        .arg(name)
        .arg(PasswordMinBytes)
        .arg(PasswordMaxBytes)
        .arg(PasswordKeyDigits)
        .arg(bytes.size());
}
