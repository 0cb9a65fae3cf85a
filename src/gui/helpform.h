#pragma once
// The help window: the program's HTML help, opened at its contents.

#include <QDialog>

class QTextBrowser;

class THelpForm : public QDialog
{
    Q_OBJECT
public:
    explicit THelpForm(QWidget *parent = nullptr);
    // False when the file is not there.
    bool OpenFile(const QString &fileName);
    QTextBrowser *Browser;
};
