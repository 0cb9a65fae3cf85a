#pragma once
// The place a compiler message points at: the position tag "[SSS.L:P" of the section
// compiler and "[Заголовок.L:P" / "[Заголовок.L]" of the header compiler.

#include <QMap>
#include <QString>
#include <QStringList>

#include <vector>

struct TMessagePlace
{
    int Code = -1;   // tree node code: section 0..255 or the header (4096)
    int Line = -1;   // 0-based
    int Column = -1; // 1-based, -1 when the tag has none
};

// One line of a message list as a record: the node and line it names (Node -1 when it
// names none) and the line itself, as the list shows it.
struct TPlacedMessage
{
    int Node = -1;
    int Line = -1;
    int Column = -1;
    QString Text;
};

// False for a line without a tag that names a section or the header.
[[nodiscard]] bool ParseMessagePlace(const QString &message, TMessagePlace &place);

// Messages by node code and line, for marking the editor: each tagged line with the text
// after its tag; the explanation line that follows a lexical error's position line (it
// carries no tag) joins it.
QMap<int, QMap<int, QStringList>> MessagesByPlace(const std::vector<TPlacedMessage> &messages);
QMap<int, QMap<int, QStringList>> MessagesByPlace(const QStringList &messages);

// The line as a record: its place read from its tag once, here.
TPlacedMessage PlaceMessage(const QString &line);
