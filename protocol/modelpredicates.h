#pragma once

#include <QString>

// What a printer model has, from its project code and model name (exact, case-sensitive;
// model codes are prefixes of the model name).
namespace ModelPredicates {
// The 58 mm printer: its test pages and printouts are laid out tighter and it has no paper
// layout, cover or paper-not-taken settings.
bool isRx100(const QString &project);
int dotsPerLine(const QString &project);
bool hasEthernet(const QString &project);
bool has4G(const QString &project, const QString &model);
bool hasWifi(const QString &project, const QString &model);
} // namespace ModelPredicates
