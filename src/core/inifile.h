#pragma once
// The configuration file of the older tools: sections in square brackets and key=value
// lines, Windows-1251 on disk with CR LF line ends, Cyrillic section and key names.
// Section and key names are compared without regard to letter case, as those tools did;
// lines the program does not know (comments, other keys) are kept as they are.

#include <QString>
#include <QStringList>

class TIniFile
{
public:
    // Reads the file; a missing file gives an empty configuration. False with error set
    // when the file exists but cannot be read.
    [[nodiscard]] bool Load(const QString &fileName, QString &error);
    void LoadFromLines(const QStringList &lines);

    // The file is written whole and atomically; false with error set when it cannot be.
    [[nodiscard]] bool Save(const QString &fileName, QString &error) const;
    QStringList Lines() const { return FileLines; }

    bool HasKey(const QString &section, const QString &key) const;
    // The value with surrounding blanks removed and one pair of enclosing quotes dropped;
    // def when the key is missing.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // Replaces the key's value in place or appends the key at the end of its section
    // (the section at the end of the file when it is new).
    void WriteString(const QString &section, const QString &key, const QString &value);

private:
    // Index of the section's heading line, -1 when there is none.
    int FindSection(const QString &section) const;
    // Index of the key's line within the section starting after heading h, -1 when none.
    int FindKey(int heading, const QString &key) const;
    // One past the last line that belongs to the section whose heading is at h.
    int SectionEnd(int heading) const;

    QStringList FileLines;
};
