#include "gui/workwithprpform.h"

#include "gui/guitexts.h"
#include "gui/placement.h"
#include "gui/userdialogs.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

TWorkWithPRPForm::TWorkWithPRPForm(TUserDialogs &dialogs, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), Dialogs(dialogs)
{
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    PAction = new QLabel(this);
    PAction->setFrameShape(QFrame::Panel);
    PAction->setFrameShadow(QFrame::Sunken);
    PAction->setAlignment(Qt::AlignCenter);
    PAction->setMinimumWidth(320);
    PBytes = new QLabel(this);
    PBytes->setObjectName(QStringLiteral("PBytes"));
    PBytes->setAlignment(Qt::AlignCenter);
    PB = new QProgressBar(this);
    PB->setTextVisible(false);
    Btn = new QPushButton(GuiTexts::CancelButton, this);
    // Enter pressed out of habit must not end a write: "Отмена" is no default button.
    Btn->setAutoDefault(false);
    Btn->setDefault(false);
    layout->addWidget(PAction);
    layout->addWidget(PBytes);
    layout->addWidget(PB);
    layout->addWidget(Btn, 0, Qt::AlignHCenter);
    connect(Btn, &QPushButton::clicked, this, &TWorkWithPRPForm::BtnClick);
}

void TWorkWithPRPForm::OnMainThread(const std::function<void()> &f)
{
    if (QThread::currentThread() == thread()) {
        f();
        return;
    }
    std::unique_lock<std::mutex> guard(CallLock);
    PendingCall = &f;
    CallDone = false;
    QMetaObject::invokeMethod(this, "RunPendingCall", Qt::QueuedConnection);
    CallEnded.wait(guard, [this] { return CallDone; });
}

void TWorkWithPRPForm::RunPendingCall()
{
    const std::function<void()> *call = nullptr;
    {
        std::lock_guard<std::mutex> guard(CallLock);
        std::swap(call, PendingCall);
    }
    if (!call)
        return;
    (*call)(); // without the lock: a question shows a window of its own meanwhile
    {
        std::lock_guard<std::mutex> guard(CallLock);
        CallDone = true;
    }
    CallEnded.notify_all();
}

void TWorkWithPRPForm::Run(TPRPTransferThread &job)
{
    Thread = &job;
    Closed = false;
    Shown.clear();
    PBytes->clear();
    PB->setVisible(false);
    PB->setValue(0);
    Btn->setEnabled(true);
    job.Start();
    Dialogs.Exec(this);
    // The window may have been left before the job closed it (a scripted answer in the
    // tests): keep servicing the job's calls until it has ended.
    while (!job.WaitFor(10))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    Thread = nullptr;
}

void TWorkWithPRPForm::SetCaption(const QString &caption)
{
    OnMainThread([this, caption] {
        setWindowTitle(caption);
        Shown.append(caption);
    });
}

void TWorkWithPRPForm::SetMaximum(int maximum)
{
    OnMainThread([this, maximum] { PB->setMaximum(maximum); });
}

void TWorkWithPRPForm::SetPosition(int position)
{
    OnMainThread([this, position] { PB->setValue(position); });
}

void TWorkWithPRPForm::SetAction(const QString &text)
{
    OnMainThread([this, text] {
        PAction->setText(text);
        Shown.append(text);
    });
}

void TWorkWithPRPForm::SetDetail(const QString &text)
{
    OnMainThread([this, text] { PBytes->setText(text); });
}

void TWorkWithPRPForm::Show()
{
    OnMainThread([this] { PB->setVisible(true); });
}

void TWorkWithPRPForm::Hide()
{
    OnMainThread([this] {
        Closed = true;
        if (isVisible())
            done(QDialog::Accepted);
    });
}

bool TWorkWithPRPForm::Confirm(const QString &text, const QString &caption)
{
    bool ok = false;
    OnMainThread([&] {
        Shown.append(text);
        ok = Dialogs.Ask(nullptr, text, caption, TUserDialogs::OkCancel, TUserDialogs::Warning,
                         TUserDialogs::AnswerOk) == TUserDialogs::AnswerOk;
    });
    return ok;
}

void TWorkWithPRPForm::BtnClick()
{
    if (Thread)
        Thread->Terminate();
    Btn->setEnabled(false);
}

void TWorkWithPRPForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    adjustSize();
    PlaceOver(this, parentWidget());
}

void TWorkWithPRPForm::reject()
{
    // The window closes only when the job has ended.
    if (Closed)
        QDialog::reject();
    else
        BtnClick();
}
