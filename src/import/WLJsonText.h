#pragma once

#include <QByteArray>
#include <QString>

// Appends text as a JSON string (quotes included) in UTF-8: the importers
// write their entries files line by line without building JSON objects.
void wlAppendJsonString(QByteArray &out, const QString &text);
