#pragma once

#include <QValidator>

class QLineEdit;

// Lets only IPv4 text into an address field. While typing, up to four dot-separated groups
// of at most three digits are allowed; the text is acceptable once it has four groups, each
// 0 to 255. Anything else (letters, a fifth group, 256) cannot be typed.
class Ipv4Validator : public QValidator
{
    Q_OBJECT

public:
    explicit Ipv4Validator(QObject *parent = nullptr);
    State validate(QString &input, int &pos) const override;

    // Exactly a dotted quad, each part 0 to 255, nothing around it.
    static bool isAddress(const QString &text);
    // Gives the field the validator, and shows its text in red while it is not yet an
    // address (an empty field is not marked: it may mean "none").
    static void install(QLineEdit *field);
};
