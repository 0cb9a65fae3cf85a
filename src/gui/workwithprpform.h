#pragma once
// The transfer window: shows what a PRP write or read job does while it runs in its own
// thread. Every call of the job reaches the window on the main thread and the job waits
// for it; "Отмена" only asks the job to stop, and the job closes the window itself.

#include "core/progress.h"
#include "link/prptransfer.h"
#include "model/zentorprogram.h"

#include <QDialog>

#include <condition_variable>
#include <functional>
#include <mutex>

class QLabel;
class QProgressBar;
class QPushButton;
class TUserDialogs;

class TWorkWithPRPForm : public QDialog, public TProgress, public TTransferQuestions
{
    Q_OBJECT
public:
    TWorkWithPRPForm(TUserDialogs &dialogs, QWidget *parent = nullptr);

    // Starts the job, shows the window modally until the job has closed it, and waits for
    // the job's end (servicing its calls meanwhile).
    void Run(TPRPTransferThread &job);

    // Runs a write or read job of program in this window. The job's thread writes its
    // messages to a list of its own: the program's list is read by the main thread
    // meanwhile (a click in the tree marks the editor's error lines from it). They join the
    // program's list when the job has ended, and stopMessage (when given) gets the message
    // the job stopped with.
    // setup (when given) sets the job's options before it starts.
    template <typename TJob>
    TTransferResult Transfer(TSarvetel &link, TZentorProgram &program,
                             QString *stopMessage = nullptr,
                             const std::function<void(TJob &)> &setup = {})
    {
        QStringList *const shared = program.Messages;
        QStringList own;
        program.Messages = &own;
        TJob job(link, program, *this, this);
        if (setup)
            setup(job);
        Run(job);
        program.Messages = shared;
        if (shared)
            shared->append(own);
        if (stopMessage)
            *stopMessage = job.StopMessage;
        LastLink = job.LastLink;
        emit JobEnded(job.Seen);
        return job.Result;
    }

    void SetCaption(const QString &caption) override;
    void SetMaximum(int maximum) override;
    void SetPosition(int position) override;
    void SetAction(const QString &text) override;
    void SetDetail(const QString &text) override;
    void Show() override;
    void Hide() override;
    [[nodiscard]] bool Confirm(const QString &text, const QString &caption) override;

    QLabel *PAction;
    QLabel *PBytes; // the bytes sent of the total
    QProgressBar *PB;
    QPushButton *Btn;
    TPRPTransferThread *Thread = nullptr;
    // Every caption, action and question the job showed, in order (the tests read it).
    QStringList Shown;
    // What the last job's last command learned (why a failed job failed).
    TLinkResult LastLink;

signals:
    // A job has ended; seen is what its exchanges learned of the controller.
    void JobEnded(const TControllerSeen &seen);

protected:
    void reject() override; // Escape and the close box ask the job to stop, like "Отмена"
    void showEvent(QShowEvent *event) override; // over the window it works for

private:
    // Runs f on the main thread and waits for it. The job hands f over through the fields
    // below, under a lock of ours, and the main thread is only asked by name to run it: Qt
    // carries no data between the threads (a thread checker sees every hand-over).
    void OnMainThread(const std::function<void()> &f);
    Q_INVOKABLE void RunPendingCall();
    void BtnClick();

    TUserDialogs &Dialogs;
    bool Closed = false;
    std::mutex CallLock; // guards the two fields below
    const std::function<void()> *PendingCall = nullptr;
    bool CallDone = false;
    std::condition_variable CallEnded;
};
