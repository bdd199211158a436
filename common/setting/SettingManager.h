#pragma once

#include <QString>
#include <QVariant>

// Static access to the program settings; the usual way to read and write them.
// Typed getters return the default when the key is absent or its value does
// not convert (values loaded from the settings file are always texts).
class CSetting
{
public:
    static bool Set(const QString& strKey, const QVariant& value);
    static QString GetString(const QString& strKey, const QString& strDefault);
    static int GetInt(const QString& strKey, int nDefault);
    static double GetDouble(const QString& strKey, double dDefault);
};
