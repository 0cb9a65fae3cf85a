#pragma once
// Technological names of the header: a name and the variable or text it stands for.
// The header compiler fills the table; the section lexer replaces each name by its value.
// A name is found in constant time, so a header with a great many names costs no more per
// name than one with a few.

#include <QHash>
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
    void Clear()
    {
        Records.clear();
        First.clear();
    }
    void Add(const QString &name, const QString &value)
    {
        if (!First.contains(name)) // the first record of a name wins
            First.insert(name, static_cast<int>(Records.size()));
        Records.append({name, value});
    }
    // Value of the first record whose name is exactly equal; "" when there is none.
    QString Find(const QString &name) const
    {
        const auto it = First.constFind(name);
        return it == First.constEnd() ? QString() : Records[*it].Value;
    }
    int Count() const { return static_cast<int>(Records.size()); }
    const QVector<TMacrosTableRec> &Entries() const { return Records; }

private:
    QVector<TMacrosTableRec> Records;
    QHash<QString, int> First; // name -> index of its first record
};
