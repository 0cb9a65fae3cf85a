#pragma once
// The recent files list of the File menu: entries 1..9, entry 1 the newest, no duplicates,
// no files that have gone from the disk.

#include <QString>

#include <functional>

class TRecentFiles
{
public:
    static constexpr int MaxCount = 9;

    QString Entries[MaxCount + 1]; // 1..9; element 0 unused
    int Count = 0;
    // Whether a file is still there; the file system outside the tests.
    std::function<bool(const QString &)> Exists;

    TRecentFiles();

    // Puts the name first, pushes the others down and normalises.
    void Add(const QString &name);
    // Drops vanished files and later duplicates, moves the rest to the front.
    void Normalise();
    void Clear();
};
