#include "protocol/modelpredicates.h"

#include <initializer_list>

namespace {

bool startsWithAny(const QString &model, std::initializer_list<const char *> codes)
{
    for (const char *code : codes) {
        if (model.startsWith(QLatin1String(code)))
            return true;
    }
    return false;
}

} // namespace

namespace ModelPredicates {

bool isRx100(const QString &project)
{
    return project == QLatin1String("RX100");
}

int dotsPerLine(const QString &project)
{
    if (isRx100(project))
        return 384;
    if (project == QLatin1String("RX200") || project == QLatin1String("RX210"))
        return 576;
    return 0;
}

bool hasEthernet(const QString &project)
{
    return project == QLatin1String("RX200") || project == QLatin1String("RX210");
}

bool has4G(const QString &project, const QString &model)
{
    if (isRx100(project))
        return startsWithAny(model, {"RX110", "RX120", "RX130", "RX140", "RX150"});
    if (project == QLatin1String("RX200"))
        return startsWithAny(model, {"RX220", "RX230"});
    if (project == QLatin1String("RX210"))
        return startsWithAny(model, {"RX220_S", "RX220_E"});
    return false;
}

bool hasWifi(const QString &project, const QString &model)
{
    if (isRx100(project))
        return true;
    if (project == QLatin1String("RX200"))
        return startsWithAny(model, {"RX210", "RX220"});
    if (project == QLatin1String("RX210"))
        return startsWithAny(model, {"RX210_S", "RX220_S", "RX220_E"});
    return false;
}

} // namespace ModelPredicates
