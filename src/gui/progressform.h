#pragma once
// The progress window of compilation, decompilation and conversion: a caption, an action
// line and a bar, shown without waiting while the work runs on the main thread.

#include "core/progress.h"

#include <QDialog>

class QLabel;
class QProgressBar;

class TProgressForm : public QDialog, public TProgress
{
    Q_OBJECT
public:
    explicit TProgressForm(QWidget *parent = nullptr);

    void SetCaption(const QString &caption) override;
    void SetMaximum(int maximum) override;
    void SetPosition(int position) override;
    void SetAction(const QString &text) override;
    void Show() override;
    void Hide() override;

    QLabel *PAction;
    QProgressBar *ProgressBar;

protected:
    void showEvent(QShowEvent *event) override; // over the window it works for

private:
    void Repaint();
};
