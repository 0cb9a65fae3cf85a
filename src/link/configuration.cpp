#include "link/configuration.h"

#include <QDir>

QString ParsePortValue(const QString &value)
{
    const QString v = value.trimmed();
    if (ComPortNumber(v) > 0)
        return QStringLiteral("COM") + QString::number(ComPortNumber(v));
    if (v.startsWith(u'/'))
        return v;
    if (v.toLower() == ConfigTexts::Simulator)
        return ConfigTexts::Simulator;
    return QString();
}

QString PortValueText(const QString &port)
{
    return port.isEmpty() ? ConfigTexts::No : port;
}

int ComPortNumber(const QString &port)
{
    if (port.size() < 4 || port.size() > 5 || !port.left(3).toLower().startsWith(u"com"))
        return -1;
    const QString digits = port.mid(3);
    for (QChar c : digits)
        if (c < u'0' || c > u'9')
            return -1;
    const int n = digits.toInt();
    return n >= 1 && n <= 31 ? n : -1;
}

QString TConfigReader::Text(const QString &section, const QString &key, const QString &def) const
{
    return Ini.ReadString(section, key, def);
}

qint64 TConfigReader::Number(const QString &section, const QString &key, qint64 def, qint64 min,
                             qint64 max) const
{
    if (!Ini.HasKey(section, key))
        return def;
    const QString text = Ini.ReadString(section, key, QString());
    bool ok = false;
    const qint64 v = text.toLongLong(&ok, 10);
    if (ok && v >= min && v <= max)
        return v;
    Report.append(ConfigTexts::BadConfigValue + u'"' + key + QStringLiteral("\" = \"") + text +
                  u'"' + ConfigTexts::DefaultKept + QString::number(def));
    return def;
}

QString CompleteLogFileName(const QString &value, const QString &programDir)
{
    if (value.contains(QStringLiteral("//")) || QDir::isAbsolutePath(value))
        return value;
    return programDir + value;
}

QString YesNoText(bool yes)
{
    return yes ? ConfigTexts::Yes : ConfigTexts::No;
}
