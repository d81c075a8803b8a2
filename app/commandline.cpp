#include "app/commandline.h"

#include <QCoreApplication>

namespace {

bool isIpv4(const QHostAddress &address)
{
    return address.protocol() == QAbstractSocket::IPv4Protocol;
}

// The value of "--name VALUE" or "--name=VALUE" at arguments[*i], which then points at the
// last argument taken; false when the argument is another one.
bool optionValue(const QStringList &arguments, int *i, const QString &name, QString *value, bool *missing)
{
    const QString &argument = arguments.at(*i);
    if (argument == name) {
        if (*i + 1 >= arguments.size()) {
            *missing = true;
            return true;
        }
        *value = arguments.at(++*i);
        return true;
    }
    if (argument.startsWith(name + QLatin1Char('='))) {
        *value = argument.mid(name.size() + 1);
        return true;
    }
    return false;
}

const char *profileOptionName(CommandLine::ProfileAction action)
{
    switch (action) {
    case CommandLine::ProfileAction::Export:
        return "--export-profile";
    case CommandLine::ProfileAction::Apply:
        return "--apply-profile";
    case CommandLine::ProfileAction::Compare:
        return "--compare-profile";
    case CommandLine::ProfileAction::None:
        break;
    }
    return "";
}

// Which profile option given(name) finds at the current argument, if any.
template<typename Given>
CommandLine::ProfileAction profileOption(const Given &given)
{
    for (const auto action : {CommandLine::ProfileAction::Export, CommandLine::ProfileAction::Apply,
                              CommandLine::ProfileAction::Compare}) {
        if (given(profileOptionName(action)))
            return action;
    }
    return CommandLine::ProfileAction::None;
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine result;
    // The first problem found is the one told.
    const auto fail = [&result](const QString &message) {
        if (result.error.isEmpty())
            result.error = message;
    };
    QStringList profileOptions;
    bool staticIpGiven = false;
    bool portGiven = false;
    // arguments[0] is the program itself.
    result.demo = arguments.size() > 1 && arguments.at(1) == QLatin1String("demo");
    for (int i = 1; i < arguments.size(); ++i) {
        QString value;
        bool missing = false;
        const auto given = [&](const char *name) {
            return optionValue(arguments, &i, QLatin1String(name), &value, &missing);
        };
        if (given("--connect")) {
            if (missing) {
                fail(QCoreApplication::translate("CommandLine", "--connect needs an IPv4 address."));
                break;
            }
            result.connectAddresses.clear();
            for (const QString &text : value.split(QLatin1Char(','))) {
                const QHostAddress address(text.trimmed());
                if (!isIpv4(address)) {
                    fail(QCoreApplication::translate("CommandLine", "Not an IPv4 address: %1").arg(text));
                    result.connectAddresses.clear();
                    break;
                }
                result.connectAddresses << address;
            }
        } else if (const ProfileAction action = profileOption(given); action != ProfileAction::None) {
            const QString option = QLatin1String(profileOptionName(action));
            result.headless = true;
            profileOptions << option;
            if (missing || value.isEmpty()) {
                fail(QCoreApplication::translate("CommandLine", "%1 needs a file name.").arg(option));
                continue;
            }
            result.profileFile = value;
            result.profileAction = action;
        } else if (arguments.at(i) == QLatin1String("--diagnose")) {
            result.diagnose = true;
            result.headless = true;
        } else if (given("--static-ip-from")) {
            staticIpGiven = true;
            result.staticIpFrom = QHostAddress(value);
            if (missing || !isIpv4(result.staticIpFrom))
                fail(QCoreApplication::translate("CommandLine", "--static-ip-from needs an IPv4 address."));
        } else if (given("--wifi-password")) {
            if (missing)
                fail(QCoreApplication::translate("CommandLine", "--wifi-password needs the password."));
            // Not null even when empty: an empty password is one too.
            result.wifiPassword = value.isNull() ? QStringLiteral("") : value;
        } else if (given("--port")) {
            portGiven = true;
            bool ok = false;
            const uint port = value.toUInt(&ok);
            if (missing || !ok || port == 0 || port > 65535)
                fail(QCoreApplication::translate("CommandLine", "--port needs a port number (1 to 65535)."));
            else
                result.port = quint16(port);
        }
    }
    if (!result.connectAddresses.isEmpty())
        result.connectAddress = result.connectAddresses.first();

    const int printers = result.connectAddresses.size();
    if (result.diagnose && (!profileOptions.isEmpty() || printers > 0))
        fail(QCoreApplication::translate("CommandLine", "--diagnose goes alone, not with %1.")
                 .arg(profileOptions.isEmpty() ? QStringLiteral("--connect") : profileOptions.first()));
    if (profileOptions.size() > 1) {
        fail(QCoreApplication::translate("CommandLine", "Only one of --export-profile, --apply-profile and --compare-profile at a time."));
    } else if (result.profileAction != ProfileAction::None && printers == 0) {
        fail(QCoreApplication::translate("CommandLine", "%1 needs --connect ADDRESS.").arg(profileOptions.first()));
    } else if ((result.profileAction == ProfileAction::Export || result.profileAction == ProfileAction::Compare)
               && printers > 1) {
        fail(QCoreApplication::translate("CommandLine", "%1 takes one printer, not %2.").arg(profileOptions.first()).arg(printers));
    }
    if (staticIpGiven && result.profileAction != ProfileAction::Apply)
        fail(QCoreApplication::translate("CommandLine", "--static-ip-from goes with --apply-profile."));
    else if (staticIpGiven && isIpv4(result.staticIpFrom)
             && quint64(result.staticIpFrom.toIPv4Address()) + quint64(printers) - 1 > 0xffffffffu)
        fail(QCoreApplication::translate("CommandLine", "--static-ip-from %1 runs past 255.255.255.255 for %2 printers.")
                 .arg(result.staticIpFrom.toString())
                 .arg(printers));
    if (portGiven && result.profileAction == ProfileAction::None)
        fail(QCoreApplication::translate("CommandLine", "--port goes with --export-profile, --apply-profile or --compare-profile."));
    if (!result.wifiPassword.isNull() && result.profileAction != ProfileAction::Export)
        fail(QCoreApplication::translate("CommandLine", "--wifi-password goes with --export-profile."));

    return result;
}
