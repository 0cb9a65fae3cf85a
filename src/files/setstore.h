#pragma once
// A section file set on disk replaced as a whole. The set's files P.hdr and P.NNN stand side
// by side in one folder, so no single rename can replace them all; instead the new set is
// written whole into the folder P.new first (each file under its extension, flushed to disk),
// and only when the list of its files, P.new/ready, is on the disk too are the files moved
// into place and the old set's files that the new one lacks removed. A save stopped at any
// point (killed, the power gone) leaves either the old set with an unfinished P.new beside
// it, which the next read or save removes, or a finished P.new, whose moves the next read or
// save completes: the set is then always the whole old or the whole new one.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One file of a set: its extension ("hdr", "000" … "737") and contents.
struct TSetFile
{
    QString Extension;
    QByteArray Data;
};

// Replaces the set D/P.* (dir with its final "/", empty for the current folder) by files.
// Nothing changes when a target is no regular file or a file cannot be written in full (a
// full disk); the reason is in error. notes gets a line for what an earlier save left.
[[nodiscard]] bool ReplaceSectionSet(const QString &dir, const QString &base,
                                     const QList<TSetFile> &files, QStringList &notes,
                                     QString &error);

// Completes or removes what an interrupted save of D/P.* left, with a line in notes for
// what was done. False with error when a finished save could not be completed (the set
// should not be read then) or its folder holds files of someone else's.
[[nodiscard]] bool TidySectionSet(const QString &dir, const QString &base, QStringList &notes,
                                  QString &error);

// "000" … "737": the group digit and the place in the group as two octal digits, as the
// sets name their section files.
bool IsSectionName(const QString &ext);
