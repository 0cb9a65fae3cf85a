#include "core/inifile.h"

#include "core/textfile.h"

#include <QFileInfo>

namespace {

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The section name of a heading line, or a null string for any other line.
QString HeadingName(const QString &line)
{
    const QString t = line.trimmed();
    if (t.size() >= 2 && t.startsWith(u'[') && t.endsWith(u']'))
        return t.mid(1, t.size() - 2).trimmed();
    return QString();
}

bool IsComment(const QString &line)
{
    const QString t = line.trimmed();
    return t.isEmpty() || t.startsWith(u';');
}

} // namespace

bool TIniFile::Load(const QString &fileName, QString &error)
{
    FileLines.clear();
    if (!QFileInfo::exists(fileName))
        return true;
    QStringList lines;
    if (!ReadTextFile(fileName, lines, error))
        return false;
    LoadFromLines(lines);
    return true;
}

void TIniFile::LoadFromLines(const QStringList &lines)
{
    FileLines = lines;
}

bool TIniFile::Save(const QString &fileName, QString &error) const
{
    return WriteTextFile(fileName, FileLines, error);
}

int TIniFile::FindSection(const QString &section) const
{
    for (int i = 0; i < FileLines.size(); ++i) {
        const QString name = HeadingName(FileLines[i]);
        if (!name.isNull() && SameName(name, section))
            return i;
    }
    return -1;
}

int TIniFile::SectionEnd(int heading) const
{
    int i = heading + 1;
    while (i < FileLines.size() && HeadingName(FileLines[i]).isNull())
        ++i;
    return i;
}

int TIniFile::FindKey(int heading, const QString &key) const
{
    const int end = SectionEnd(heading);
    for (int i = heading + 1; i < end; ++i) {
        const QString &line = FileLines[i];
        if (IsComment(line))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        if (SameName(line.left(eq).trimmed(), key))
            return i;
    }
    return -1;
}

bool TIniFile::HasKey(const QString &section, const QString &key) const
{
    const int h = FindSection(section);
    return h >= 0 && FindKey(h, key) >= 0;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const int h = FindSection(section);
    if (h < 0)
        return def;
    const int k = FindKey(h, key);
    if (k < 0)
        return def;
    const QString &line = FileLines[k];
    QString value = line.mid(line.indexOf(u'=') + 1).trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString line = key + u'=' + value;
    int h = FindSection(section);
    if (h < 0) {
        if (!FileLines.isEmpty() && !FileLines.constLast().trimmed().isEmpty())
            FileLines.append(QString());
        FileLines.append(u'[' + section + u']');
        FileLines.append(line);
        return;
    }
    const int k = FindKey(h, key);
    if (k >= 0) {
        // Keep the key as the file spells it.
        const QString &old = FileLines[k];
        FileLines[k] = old.left(old.indexOf(u'=')).trimmed() + u'=' + value;
        return;
    }
    // After the section's last non-empty line, so a blank line before the next heading stays.
    int end = SectionEnd(h);
    while (end - 1 > h && FileLines[end - 1].trimmed().isEmpty())
        --end;
    FileLines.insert(end, line);
}
