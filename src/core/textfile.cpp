#include "core/textfile.h"

#include "core/cp1251.h"

#include <QFile>
#include <QSaveFile>

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool ReadBinaryFile(const QString &path, QByteArray &data, QString &error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Не удалось открыть файл %1: %2").arg(path, f.errorString());
        return false;
    }
    data = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        error = QStringLiteral("Ошибка чтения файла %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

bool ReadTextFile(const QString &path, QStringList &lines, QString &error)
{
    QByteArray data;
    if (!ReadBinaryFile(path, data, error))
        return false;
    lines = SplitLines(DecodeCp1251(data));
    return true;
}

bool WriteBinaryFile(const QString &path, const QByteArray &data, QString &error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("Не удалось создать файл %1: %2").arg(path, f.errorString());
        return false;
    }
    if (f.write(data) != data.size() || !f.commit()) {
        error = QStringLiteral("Не удалось записать файл %1: %2").arg(path, f.errorString());
        f.cancelWriting();
        return false;
    }
    return true;
}

bool EncodeTextLines(const QStringList &lines, QByteArray &out, QString &error)
{
    out.clear();
    QByteArray line;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        qsizetype bad = 0;
        if (!EncodeCp1251(lines[i], line, &bad)) {
            error = QStringLiteral("Символ «%1» в строке %2, позиции %3 нельзя записать в "
                                   "кодировке Windows-1251")
                        .arg(lines[i][bad])
                        .arg(i + 1)
                        .arg(bad + 1);
            return false;
        }
        out += line;
        out += "\r\n";
    }
    return true;
}

bool WriteTextFile(const QString &path, const QStringList &lines, QString &error)
{
    QByteArray data;
    if (!EncodeTextLines(lines, data, error)) {
        error = QStringLiteral("Файл %1 не записан: %2").arg(path, error);
        return false;
    }
    return WriteBinaryFile(path, data, error);
}
