#include "gui/progressform.h"

#include "gui/placement.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TProgressForm::TProgressForm(QWidget *parent) : QDialog(parent)
{
    PAction = new QLabel(this);
    PAction->setMinimumWidth(320);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setRange(0, 100);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PAction);
    layout->addWidget(ProgressBar);
}

void TProgressForm::SetCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void TProgressForm::SetMaximum(int maximum)
{
    ProgressBar->setMaximum(qMax(0, maximum));
}

void TProgressForm::SetPosition(int position)
{
    ProgressBar->setValue(qBound(ProgressBar->minimum(), position, ProgressBar->maximum()));
    Repaint();
}

void TProgressForm::SetAction(const QString &text)
{
    PAction->setText(text);
    Repaint();
}

void TProgressForm::Show()
{
    show();
    Repaint();
}

void TProgressForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    PlaceOver(this, parentWidget());
}

void TProgressForm::Hide()
{
    hide();
}

void TProgressForm::Repaint()
{
    // The work runs on the main thread: let the window draw, but take no input meanwhile.
    if (isVisible())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
