#include "core/logger.h"

#include "core/cp1251.h"

#include <QMutexLocker>
#include <QTime>

TLogger::TLogger(const QString &fileName) : FileName(fileName)
{
    if (fileName.isEmpty())
        return;
    File.setFileName(fileName);
    if (File.open(QIODevice::WriteOnly | QIODevice::Append))
        TimeStamps = true;
}

TLogger::~TLogger()
{
    if (File.isOpen())
        File.close();
}

void TLogger::AddLine(const QString &text)
{
    QMutexLocker lock(&Lock);
    if (!File.isOpen())
        return;
    const QTime t = QTime::currentTime();
    QString line = QStringLiteral("%1:%2:%3   ").arg(t.hour()).arg(t.minute()).arg(t.second());
    line += text;
    QByteArray bytes;
    for (QChar ch : line)
        bytes += static_cast<char>(Cp1251Byte(ch));
    bytes += "\r\n";
    File.write(bytes);
    File.flush();
}
