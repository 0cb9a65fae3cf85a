#include "gui/messagelist.h"

#include <QApplication>
#include <QClipboard>

TMessageList::TMessageList(QWidget *parent) : QListWidget(parent)
{
    setObjectName(QStringLiteral("ErrorsListBox"));
    QFont font = QApplication::font();
    font.setPixelSize(15);
    setFont(font);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void TMessageList::Show(const QStringList &lines)
{
    const int shown = count();
    bool prefix = shown <= lines.size();
    for (int i = 0; prefix && i < shown; ++i)
        prefix = item(i)->text() == lines[i];
    if (!prefix) {
        clear();
        addItems(lines);
    } else if (shown < lines.size()) {
        addItems(lines.mid(shown));
    }
    if (count() > 0)
        scrollToBottom();
}

void TMessageList::CopySelected()
{
    QStringList lines;
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected())
            lines.append(item(i)->text());
    if (!lines.isEmpty())
        QApplication::clipboard()->setText(lines.join(u'\n'));
}
