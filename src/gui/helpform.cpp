#include "gui/helpform.h"

#include "gui/guitexts.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

THelpForm::THelpForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::HelpCaption);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    Browser = new QTextBrowser(this);
    Browser->setOpenExternalLinks(true);
    auto *back = new QPushButton(QStringLiteral("&Назад"), this);
    auto *home = new QPushButton(QStringLiteral("&Содержание"), this);
    auto *close = new QPushButton(GuiTexts::CloseButton, this);
    connect(back, &QPushButton::clicked, Browser, &QTextBrowser::backward);
    connect(home, &QPushButton::clicked, Browser, &QTextBrowser::home);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto *row = new QHBoxLayout;
    row->addWidget(back);
    row->addWidget(home);
    row->addStretch();
    row->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Browser);
    layout->addLayout(row);
    resize(820, 640);
}

bool THelpForm::OpenFile(const QString &fileName)
{
    if (!QFileInfo(fileName).isFile())
        return false;
    Browser->setSource(QUrl::fromLocalFile(fileName));
    return true;
}
