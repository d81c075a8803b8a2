#include "pages/ipv4validator.h"

#include <QLineEdit>
#include <QPalette>

Ipv4Validator::Ipv4Validator(QObject *parent)
    : QValidator(parent)
{
}

QValidator::State Ipv4Validator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos)
    const QStringList parts = input.split(QLatin1Char('.'));
    if (parts.size() > 4)
        return Invalid;
    bool complete = parts.size() == 4;
    for (const QString &part : parts) {
        if (part.size() > 3)
            return Invalid;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return Invalid;
        }
        if (part.isEmpty())
            complete = false;
        else if (part.toInt() > 255)
            return Invalid;
    }
    return complete ? Acceptable : Intermediate;
}

bool Ipv4Validator::isAddress(const QString &text)
{
    static const Ipv4Validator validator;
    QString copy = text;
    int pos = 0;
    return validator.validate(copy, pos) == Acceptable;
}

void Ipv4Validator::install(QLineEdit *field)
{
    field->setValidator(new Ipv4Validator(field));
    const QPalette normal = field->palette();
    const auto mark = [field, normal](const QString &text) {
        QPalette palette = normal;
        if (!text.isEmpty() && !isAddress(text))
            palette.setColor(QPalette::Text, Qt::red);
        field->setPalette(palette);
    };
    QObject::connect(field, &QLineEdit::textChanged, field, mark);
    mark(field->text());
}
