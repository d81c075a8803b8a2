#include "app/activity.h"

#include "app/log.h"

Activity &Activity::instance()
{
    static Activity activity;
    return activity;
}

void Activity::report(const QString &text)
{
    LOG_LINE("%s", qUtf8Printable(text));
    Activity &activity = instance();
    activity.m_last = text;
    emit activity.reported(text);
}
