#include "app/headless.h"

#include "app/commandline.h"
#include "app/diagnosis.h"
#include "app/log.h"
#include "profiles/printersession.h"
#include "profiles/profile.h"
#include "profiles/rollout.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSaveFile>

#include <cstdio>

namespace {

void print(std::FILE *stream, const QString &line)
{
    std::fprintf(stream, "%s\n", qPrintable(line));
    std::fflush(stream);
}

// The profile file, strictly read; false after saying why on stderr.
bool readProfile(const QString &path, Profile *profile)
{
    QString error;
    if (Profile::fromFile(path, profile, &error))
        return true;
    print(stderr, QStringLiteral("%1: %2").arg(path, error));
    return false;
}

// One read of one printer; the reason it could not be read, or a null string.
QString readPrinter(PrinterSession &session)
{
    QEventLoop loop;
    QString reason;
    QObject::connect(&session, &PrinterSession::settingsRead, &loop, &QEventLoop::quit);
    QObject::connect(&session, &PrinterSession::failed, &loop, [&](const QString &why) {
        reason = why;
        loop.quit();
    });
    session.read();
    loop.exec();
    return reason;
}

QString names(const QStringList &keys)
{
    QStringList names;
    for (const QString &key : keys)
        names << Profile::displayName(key);
    return names.join(QStringLiteral(", "));
}

// The line a roll-out prints before the printers' own: which of the profile's settings stay
// out, and where the Ethernet static addresses start; empty when there is nothing to say.
QString leftOutLine(const Profile &profile, int printers, const QString &staticIpFrom)
{
    if (printers < 2)
        return QString();
    QStringList keys;
    for (const QString &key : Profile::keys()) {
        if (profile.values.contains(key) && Profile::isPerPrinter(key)
            && !((key == QLatin1String("ethernet.staticAddress") || Rollout::sharedWithStaticIp().contains(key))
                 && !staticIpFrom.isEmpty()))
            keys << key;
    }
    QString line;
    if (!keys.isEmpty())
        line = QCoreApplication::translate("Headless", "Per-printer settings left out (%1 printers): %2").arg(printers).arg(names(keys));
    if (!staticIpFrom.isEmpty()) {
        const QString assigned = QCoreApplication::translate("Headless", "%1 assigned from %2 on, one per printer in the order given, with the profile's netmask and gateway")
                                     .arg(Profile::displayName(QStringLiteral("ethernet.staticAddress")),
                                          staticIpFrom);
        line = line.isEmpty() ? assigned : line + QStringLiteral("; ") + assigned;
    }
    return line;
}

} // namespace

int Headless::run(const CommandLine &commandLine)
{
    if (commandLine.diagnose)
        return diagnose();
    LOG_LINE("headless %s %s", qPrintable(commandLine.profileFile),
             qPrintable(commandLine.connectAddress.toString()));
    switch (commandLine.profileAction) {
    case CommandLine::ProfileAction::Export:
        return exportProfile(commandLine);
    case CommandLine::ProfileAction::Compare:
        return compareProfile(commandLine);
    case CommandLine::ProfileAction::Apply:
        return applyProfile(commandLine);
    case CommandLine::ProfileAction::None:
        break;
    }
    return Usage;
}

int Headless::diagnose()
{
    LOG_LINE("headless diagnosis");
    Diagnosis diagnosis;
    QEventLoop loop;
    QObject::connect(&diagnosis, &Diagnosis::finished, &loop, &QEventLoop::quit);
    diagnosis.start();
    if (!diagnosis.isFinished())
        loop.exec();
    for (const QString &line : diagnosis.report())
        print(stdout, line);
    return diagnosis.anyUsable() ? Ok : Failed;
}

int Headless::exportProfile(const CommandLine &commandLine)
{
    const QString &path = commandLine.profileFile;
    // Opened first: a file that cannot be written is told before the printer is asked.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        print(stderr, QCoreApplication::translate("Headless", "Cannot write %1: %2").arg(path, file.errorString()));
        return Failed;
    }
    PrinterSession session(commandLine.connectAddress, commandLine.port);
    const QString reason = readPrinter(session);
    if (!reason.isNull()) {
        file.cancelWriting();
        print(stderr, QStringLiteral("%1: %2").arg(commandLine.connectAddress.toString(), reason));
        return Failed;
    }
    session.close();
    const PrinterSettings &settings = session.settings();
    const Profile profile = Profile::fromSettings(
        settings, QStringLiteral("zomra-cloud-printer-setup " ZOMRA_VERSION), commandLine.wifiPassword);
    file.write(profile.toJson());
    if (!file.commit()) {
        print(stderr, QCoreApplication::translate("Headless", "Cannot write %1: %2").arg(path, file.errorString()));
        return Failed;
    }
    print(stdout, QCoreApplication::translate("Headless", "Profile of %1 (%2, %3) written to %4")
                      .arg(commandLine.connectAddress.toString(), settings.serialNumber, settings.model, path));
    return Ok;
}

int Headless::compareProfile(const CommandLine &commandLine)
{
    Profile profile;
    if (!readProfile(commandLine.profileFile, &profile))
        return Usage;
    PrinterSession session(commandLine.connectAddress, commandLine.port);
    const QString reason = readPrinter(session);
    if (!reason.isNull()) {
        print(stderr, QStringLiteral("%1: %2").arg(commandLine.connectAddress.toString(), reason));
        return Unreachable;
    }
    session.close();
    const PrinterSettings &settings = session.settings();
    int differences = 0;
    QStringList unsupported;
    for (const Profile::Difference &row : profile.compare(settings)) {
        if (!row.supported) {
            unsupported << row.key;
        } else if (row.differs) {
            ++differences;
            print(stdout, QCoreApplication::translate("Headless", "%1: printer %2, profile %3")
                              .arg(Profile::displayName(row.key), Profile::displayValue(row.key, row.printer),
                                   Profile::displayValue(row.key, row.profile)));
        }
    }
    if (differences == 0)
        print(stdout, QCoreApplication::translate("Headless", "No differences"));
    // What the printer cannot have is no difference: nothing could make it equal.
    if (!unsupported.isEmpty())
        print(stdout, QCoreApplication::translate("Headless", "Not supported by %1: %2")
                          .arg(settings.model.isEmpty() ? settings.project : settings.model, names(unsupported)));
    return differences == 0 ? Ok : Failed;
}

int Headless::applyProfile(const CommandLine &commandLine)
{
    Profile profile;
    if (!readProfile(commandLine.profileFile, &profile))
        return Usage;
    QList<Rollout::Printer> printers;
    for (const QHostAddress &address : commandLine.connectAddresses)
        printers << Rollout::Printer{address, commandLine.port};

    const QString staticIpFrom = commandLine.staticIpFrom.isNull() ? QString() : commandLine.staticIpFrom.toString();
    const QString leftOut = leftOutLine(profile, printers.size(), staticIpFrom);
    if (!leftOut.isEmpty())
        print(stdout, leftOut);

    Rollout rollout(profile, printers);
    if (!commandLine.staticIpFrom.isNull())
        rollout.setStaticIpFrom(commandLine.staticIpFrom);
    // Each line as soon as it and every line before it are known: in the order given.
    QList<bool> done;
    for (int i = 0; i < printers.size(); ++i)
        done << false;
    int printed = 0;
    QObject::connect(&rollout, &Rollout::printerFinished, &rollout, [&](int index) {
        done[index] = true;
        LOG_LINE("%s", qPrintable(rollout.results().at(index).line));
        while (printed < done.size() && done.at(printed))
            print(stdout, rollout.results().at(printed++).line);
    });
    QEventLoop loop;
    bool allOk = false;
    QObject::connect(&rollout, &Rollout::finished, &loop, [&](bool ok) {
        allOk = ok;
        loop.quit();
    });
    rollout.start();
    loop.exec();
    return allOk ? Ok : Failed;
}
