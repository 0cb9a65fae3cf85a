#pragma once
// The main window's message list: the lines of the open program's messages, the newest in
// sight, several selectable at once to be copied.

#include <QListWidget>
#include <QStringList>

class TMessageList : public QListWidget
{
public:
    explicit TMessageList(QWidget *parent = nullptr);

    // Shows the lines; only those added since the last look are new in the usual case.
    void Show(const QStringList &lines);
    // The selected lines to the clipboard, one a line.
    void CopySelected();
};
