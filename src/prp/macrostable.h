#pragma once
// Technological names of the header: a name and the variable or text it stands for.
// The header compiler fills the table; the section lexer replaces each name by its value.

#include <QString>
#include <QVector>

struct TMacrosTableRec
{
    QString Name;
    QString Value;
};

class TMacrosTable
{
public:
    void Clear() { Records.clear(); }
    void Add(const QString &name, const QString &value) { Records.append({name, value}); }
    // Value of the first record whose name is exactly equal; "" when there is none.
    QString Find(const QString &name) const
    {
        for (const TMacrosTableRec &r : Records)
            if (r.Name == name)
                return r.Value;
        return QString();
    }
    int Count() const { return static_cast<int>(Records.size()); }

    QVector<TMacrosTableRec> Records;
};
