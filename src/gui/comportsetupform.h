#pragma once
// "Настройка связи с контроллером": chooses the port (a serial device or the built-in
// simulator), shows its settings, edits the read time-outs and the line settings, and
// switches the interface module's channel in multi-channel work.

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class TCOMPort;
class TKSB;
class TLinkWorker;
class TLogger;
class TSarvetel;
class TUserDialogs;

// "Изменить": baud rate, data bits, parity and stop bits of the port.
class TLineSettingsForm : public QDialog
{
    Q_OBJECT
public:
    explicit TLineSettingsForm(QWidget *parent = nullptr);
    // Shows the port's values.
    void Fill(const TCOMPort &port);
    // The entered baud rate; 0 when the text is not one.
    std::uint32_t Baud() const;

    QComboBox *BaudCB;
    QComboBox *DataBitsCB;
    QComboBox *ParityCB;
    QComboBox *StopBitsCB;
    QPushButton *OkBtn;
    QPushButton *CancelBtn;
};

class TCOMPortSetupForm : public QDialog
{
    Q_OBJECT
public:
    // The device behind a list entry ("COM3", a device path, the simulator entry, which
    // starts the built-in simulator); empty when there is none. Main thread.
    using TDeviceFinder = std::function<QString(const QString &entry)>;

    // The port is closed, opened and set by jobs of worker, which hold the port's lock;
    // the dialog itself never takes it.
    TCOMPortSetupForm(TUserDialogs &dialogs, TCOMPort &port, TLinkWorker &worker, TSarvetel *link,
                      TKSB *ksb, TLogger *logger, TDeviceFinder finder, QWidget *parent = nullptr);

    // Before showing: the entries of the port list ("Не выбран" first), the entry of the
    // open port (empty: none), the autonomous flag and whether port I/O for the interface
    // module was granted.
    void Prepare(const QStringList &entries, const QString &current, bool offline, bool portAccess);

    // Handlers.
    void COMCBChange(int index);
    void UseCOMPortChBClick();
    void ParamBtnClick();
    void OkBtnClick();
    void MultiChBClick();
    void UpdateBtnClick();
    void ChannelCBChange(int index);
    // Redraws every control from the port's state.
    void Refresh();
    // A device path typed into the port list: added to it and opened. True when nothing
    // was typed or what was typed is now the open port.
    bool TypedEntry();
    // What was typed into the port list when it is not the chosen entry; empty otherwise.
    QString TypedText() const;
    // The entry of the list that stands for the open port (0: none).
    int CurrentEntry = 0;

    QComboBox *COMCB;
    QCheckBox *UseCOMPortChB;
    QPlainTextEdit *COMInfoMemo;
    QPushButton *ParamBtn;
    QLineEdit *RIEdit;
    QLineEdit *RTMEdit;
    QLineEdit *RTCEdit;
    QPushButton *OkBtn;
    QPushButton *CancelBtn;
    QGroupBox *MultiGroup;
    QCheckBox *MultiChB;
    QComboBox *ChannelCB;
    QPushButton *UpdateBtn;
    TLineSettingsForm *LineForm;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Log(const QString &text);
    void FillChannels();
    // Runs change on the exchange worker with the line held, after ending any exchange in
    // flight; false when it did not run (another job holds the worker, or it was cancelled).
    bool OnLine(const std::function<void()> &change);

    TUserDialogs &Dialogs;
    TCOMPort &Port;
    TLinkWorker &Worker;
    TSarvetel *Link;
    TKSB *Ksb;
    TLogger *Logger;
    TDeviceFinder Finder;
    bool PortAccess = false;
    bool Filling = false;
};
