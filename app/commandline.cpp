#include "app/commandline.h"

#include <QCoreApplication>

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine result;
    // arguments[0] is the program itself.
    result.demo = arguments.size() > 1 && arguments.at(1) == QLatin1String("demo");
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        QString value;
        if (argument == QLatin1String("--connect")) {
            if (i + 1 >= arguments.size()) {
                result.error = QCoreApplication::translate("CommandLine", "--connect needs an IPv4 address.");
                break;
            }
            value = arguments.at(++i);
        } else if (argument.startsWith(QLatin1String("--connect="))) {
            value = argument.mid(int(qstrlen("--connect=")));
        } else {
            continue;
        }
        const QHostAddress address(value);
        if (address.protocol() != QAbstractSocket::IPv4Protocol) {
            result.error = QCoreApplication::translate("CommandLine", "Not an IPv4 address: %1").arg(value);
            result.connectAddress = QHostAddress();
        } else {
            result.connectAddress = address;
        }
    }
    return result;
}
