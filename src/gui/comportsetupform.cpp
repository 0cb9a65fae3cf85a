#include "gui/comportsetupform.h"

#include "core/logger.h"
#include "gui/guitexts.h"
#include "gui/linkworker.h"
#include "gui/userdialogs.h"
#include "link/comport.h"
#include "link/ksb.h"
#include "link/sarvetel.h"
#include "link/sarveteldefs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const std::uint32_t kBaudRates[] = {300,   600,   1200,  2400,   4800,  9600,
                                    19200, 38400, 57600, 115200, 230400};

QString ParityNameOf(int code)
{
    return Sarvetel::ParityName(code);
}

} // namespace

// ---- Line settings ----------------------------------------------------------------------

TLineSettingsForm::TLineSettingsForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(GuiTexts::LineCaption);
    auto *form = new QFormLayout(this);
    BaudCB = new QComboBox(this);
    BaudCB->setEditable(true);
    for (std::uint32_t b : kBaudRates)
        BaudCB->addItem(QString::number(b));
    DataBitsCB = new QComboBox(this);
    for (int bits = 5; bits <= 8; ++bits)
        DataBitsCB->addItem(QString::number(bits));
    ParityCB = new QComboBox(this);
    for (int code = 0; code <= 4; ++code)
        ParityCB->addItem(ParityNameOf(code));
    StopBitsCB = new QComboBox(this);
    for (int code = 0; code <= 2; ++code)
        StopBitsCB->addItem(Sarvetel::StopBitsName(code));
    form->addRow(GuiTexts::LineBaud, BaudCB);
    form->addRow(GuiTexts::LineDataBits, DataBitsCB);
    form->addRow(GuiTexts::LineParity, ParityCB);
    form->addRow(GuiTexts::LineStopBits, StopBitsCB);
    auto *buttons = new QHBoxLayout;
    OkBtn = new QPushButton(GuiTexts::OkButtonRu, this);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(GuiTexts::CancelButton, this);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    form->addRow(buttons);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TLineSettingsForm::Fill(const TCOMPort &port)
{
    BaudCB->setCurrentText(QString::number(port.BaudRate));
    DataBitsCB->setCurrentIndex(std::clamp<int>(port.ByteSize, 5, 8) - 5);
    ParityCB->setCurrentIndex(std::clamp<int>(port.Parity, 0, 4));
    StopBitsCB->setCurrentIndex(std::clamp<int>(port.StopBits, 0, 2));
}

std::uint32_t TLineSettingsForm::Baud() const
{
    bool ok = false;
    const qulonglong v = BaudCB->currentText().trimmed().toULongLong(&ok);
    return ok && v >= 50 && v <= 4000000 ? static_cast<std::uint32_t>(v) : 0;
}

// ---- Port dialog --------------------------------------------------------------------------

TCOMPortSetupForm::TCOMPortSetupForm(TUserDialogs &dialogs, TCOMPort &port, TLinkWorker &worker,
                                     TSarvetel *link, TKSB *ksb, TLogger *logger,
                                     TDeviceFinder finder, QWidget *parent)
    : QDialog(parent), Dialogs(dialogs), Port(port), Worker(worker), Link(link), Ksb(ksb),
      Logger(logger), Finder(std::move(finder))
{
    setWindowTitle(GuiTexts::PortSetupCaption);
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(GuiTexts::PortLabel, this));
    COMCB = new QComboBox(this);
    COMCB->setMinimumWidth(200);
    // Besides the ports found, any device path may be typed (a pseudo-terminal, a link under
    // /dev/serial/by-id/): Enter opens it.
    COMCB->setEditable(true);
    COMCB->setInsertPolicy(QComboBox::NoInsert);
    COMCB->lineEdit()->setPlaceholderText(GuiTexts::DevicePathHint);
    COMCB->setToolTip(GuiTexts::DevicePathHint);
    top->addWidget(COMCB, 1);
    UseCOMPortChB = new QCheckBox(GuiTexts::Offline, this);
    top->addWidget(UseCOMPortChB);
    layout->addLayout(top);

    COMInfoMemo = new QPlainTextEdit(this);
    COMInfoMemo->setReadOnly(true);
    COMInfoMemo->setMaximumHeight(90);
    layout->addWidget(COMInfoMemo);
    ParamBtn = new QPushButton(GuiTexts::PortChange, this);
    layout->addWidget(ParamBtn, 0, Qt::AlignLeft);

    auto *times = new QFormLayout;
    RIEdit = new QLineEdit(this);
    RTMEdit = new QLineEdit(this);
    RTCEdit = new QLineEdit(this);
    times->addRow(GuiTexts::ReadIntervalLabel, RIEdit);
    times->addRow(GuiTexts::ReadMultiplierLabel, RTMEdit);
    times->addRow(GuiTexts::ReadConstantLabel, RTCEdit);
    layout->addLayout(times);

    MultiGroup = new QGroupBox(GuiTexts::MultiGroup, this);
    auto *multi = new QHBoxLayout(MultiGroup);
    MultiChB = new QCheckBox(GuiTexts::MultiAllow, MultiGroup);
    MultiChB->setToolTip(GuiTexts::MultiAllowHint);
    ChannelCB = new QComboBox(MultiGroup);
    ChannelCB->setMinimumWidth(110);
    UpdateBtn = new QPushButton(GuiTexts::MultiUpdate, MultiGroup);
    multi->addWidget(MultiChB);
    multi->addWidget(ChannelCB, 1);
    multi->addWidget(UpdateBtn);
    layout->addWidget(MultiGroup);

    OkBtn = new QPushButton(GuiTexts::OkButtonRu, this);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(GuiTexts::CancelButton, this);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(OkBtn);
    bottom->addWidget(CancelBtn); // the caller puts back what was in use
    layout->addLayout(bottom);
    LineForm = new TLineSettingsForm(this);

    connect(COMCB, &QComboBox::activated, this, &TCOMPortSetupForm::COMCBChange);
    connect(COMCB->lineEdit(), &QLineEdit::returnPressed, this, &TCOMPortSetupForm::TypedEntry);
    connect(COMCB, &QComboBox::editTextChanged, this, [this] {
        if (!Filling)
            OkBtn->setEnabled(UseCOMPortChB->isChecked() || Port.IsOpen() ||
                              !TypedText().isEmpty());
    });
    connect(UseCOMPortChB, &QCheckBox::clicked, this, &TCOMPortSetupForm::UseCOMPortChBClick);
    connect(ParamBtn, &QPushButton::clicked, this, &TCOMPortSetupForm::ParamBtnClick);
    connect(OkBtn, &QPushButton::clicked, this, &TCOMPortSetupForm::OkBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(MultiChB, &QCheckBox::clicked, this, &TCOMPortSetupForm::MultiChBClick);
    connect(UpdateBtn, &QPushButton::clicked, this, &TCOMPortSetupForm::UpdateBtnClick);
    connect(ChannelCB, &QComboBox::activated, this, &TCOMPortSetupForm::ChannelCBChange);
}

void TCOMPortSetupForm::Prepare(const QStringList &entries, const QString &current, bool offline,
                                bool portAccess)
{
    Filling = true;
    COMCB->clear();
    COMCB->addItems(entries);
    CurrentEntry = std::max(0, static_cast<int>(entries.indexOf(current)));
    if (!Port.IsOpen())
        CurrentEntry = 0;
    Filling = false;
    UseCOMPortChB->setChecked(offline);
    PortAccess = portAccess;
    MultiChB->setChecked(Link && Link->MultiChannel);
    Refresh();
}

void TCOMPortSetupForm::Log(const QString &text)
{
    if (Logger)
        Logger->AddLine(text);
}

bool TCOMPortSetupForm::OnLine(const std::function<void()> &change)
{
    return Worker.Seize(change) == TLinkWorker::Done;
}

void TCOMPortSetupForm::COMCBChange(int index)
{
    const QString entry = index > 0 && index < COMCB->count() ? COMCB->itemText(index) : QString();
    // The simulator starts here, on the main thread; only the port's own work goes on the line.
    const QString device = entry.isEmpty() || !Finder ? QString() : Finder(entry);
    int code = 0;
    bool opened = false;
    OnLine([&] {
        Port.Close();
        if (!entry.isEmpty()) {
            code = device.isEmpty() ? PortErrorNotFound : Port.OpenDevice(device);
            if (code != 0 || !Port.IsOpen()) {
                Port.Close();
            } else {
                opened = true; // opening read the device's state and applied the settings
            }
        }
        if (Link)
            Link->PortOpen = Port.IsOpen() ? 1 : 0;
    });
    CurrentEntry = opened ? index : 0;
    QStringList failure;
    if (opened) {
        Log(entry + Sarvetel::PortOpenedSuffix);
    } else if (!entry.isEmpty()) {
        Log(GuiTexts::PortOpenFailedLog + entry + GuiTexts::ErrorCodeLog + QString::number(code));
        failure << GuiTexts::PortOpenFailedLog + entry << TCOMPort::OpenErrorText(code, entry);
    }
    Refresh();
    if (!failure.isEmpty()) {
        // The failed entry stays chosen, with the reason below it.
        Filling = true;
        COMCB->setCurrentIndex(index);
        Filling = false;
        COMInfoMemo->setPlainText(failure.join(u'\n'));
    }
}

QString TCOMPortSetupForm::TypedText() const
{
    const QString typed = COMCB->currentText().trimmed();
    const int index = COMCB->currentIndex();
    return index >= 0 && COMCB->itemText(index) == typed ? QString() : typed;
}

bool TCOMPortSetupForm::TypedEntry()
{
    const QString typed = TypedText();
    if (typed.isEmpty() || UseCOMPortChB->isChecked())
        return true;
    int index = COMCB->findText(typed);
    if (index < 0) {
        Filling = true;
        COMCB->addItem(typed);
        Filling = false;
        index = COMCB->count() - 1;
    }
    COMCBChange(index);
    return Port.IsOpen() && CurrentEntry == index;
}

void TCOMPortSetupForm::UseCOMPortChBClick()
{
    if (UseCOMPortChB->isChecked()) {
        OnLine([this] {
            Port.Close();
            if (Link)
                Link->PortOpen = 0;
        });
        CurrentEntry = 0;
        Refresh();
    } else {
        COMCBChange(COMCB->currentIndex());
    }
}

void TCOMPortSetupForm::ParamBtnClick()
{
    LineForm->Fill(Port);
    if (Dialogs.Exec(LineForm) != QDialog::Accepted)
        return;
    const std::uint32_t baud = LineForm->Baud();
    if (baud == 0) {
        Dialogs.Notice(this, GuiTexts::LineBadBaud, GuiTexts::Attention, TUserDialogs::Warning);
        return;
    }
    const auto size = static_cast<std::uint8_t>(LineForm->DataBitsCB->currentIndex() + 5);
    const auto parity = static_cast<std::uint8_t>(LineForm->ParityCB->currentIndex());
    const auto stop = static_cast<std::uint8_t>(LineForm->StopBitsCB->currentIndex());
    int code = 0;
    OnLine([&] {
        const std::uint32_t oldBaud = Port.BaudRate;
        const std::uint8_t oldSize = Port.ByteSize, oldParity = Port.Parity,
                           oldStop = Port.StopBits;
        Port.BaudRate = baud;
        Port.ByteSize = size;
        Port.Parity = parity;
        Port.StopBits = stop;
        code = Port.ApplySettings();
        if (code != 0) {
            // The device kept its old settings; so do the fields.
            Port.BaudRate = oldBaud;
            Port.ByteSize = oldSize;
            Port.Parity = oldParity;
            Port.StopBits = oldStop;
        }
    });
    if (code != 0) {
        Dialogs.Notice(this, GuiTexts::LineRefused + TCOMPort::OpenErrorText(code),
                       GuiTexts::Attention, TUserDialogs::Warning);
    }
    Refresh();
}

void TCOMPortSetupForm::Refresh()
{
    const bool online = !UseCOMPortChB->isChecked();
    COMCB->setEnabled(online);
    COMInfoMemo->setEnabled(online);
    RIEdit->setEnabled(online);
    RTMEdit->setEnabled(online);
    RTCEdit->setEnabled(online);
    ParamBtn->setEnabled(online && Port.IsOpen());
    OkBtn->setEnabled(!online || Port.IsOpen());
    Filling = true;
    COMCB->setCurrentIndex(Port.IsOpen() ? CurrentEntry : 0);
    Filling = false;
    COMInfoMemo->clear();
    if (Port.IsOpen()) {
        COMInfoMemo->appendPlainText(GuiTexts::MemoByteSize + QString::number(Port.ByteSize));
        COMInfoMemo->appendPlainText(GuiTexts::MemoParity + ParityNameOf(Port.Parity));
        COMInfoMemo->appendPlainText(GuiTexts::MemoStopBits +
                                     Sarvetel::StopBitsName(Port.StopBits));
        COMInfoMemo->appendPlainText(GuiTexts::MemoBaud + QString::number(Port.BaudRate));
        RIEdit->setText(QString::number(Port.Timeouts.ReadIntervalTimeout));
        RTMEdit->setText(QString::number(Port.Timeouts.ReadTotalTimeoutMultiplier));
        RTCEdit->setText(QString::number(Port.Timeouts.ReadTotalTimeoutConstant));
    } else {
        COMInfoMemo->appendPlainText(Sarvetel::PortNotChosen);
    }
    const bool multi = PortAccess && online;
    MultiChB->setEnabled(multi);
    UpdateBtn->setEnabled(multi);
    ChannelCB->setEnabled(multi && MultiChB->isChecked());
}

void TCOMPortSetupForm::OkBtnClick()
{
    // A path typed but not yet opened is opened first; one that does not open stays with
    // its reason shown.
    if (!TypedEntry())
        return;
    QLineEdit *edits[] = {RIEdit, RTMEdit, RTCEdit};
    const QString labels[] = {GuiTexts::ReadIntervalLabel, GuiTexts::ReadMultiplierLabel,
                              GuiTexts::ReadConstantLabel};
    std::uint32_t values[3] = {};
    // Every field is checked before any is stored.
    for (int i = 0; i < 3; ++i) {
        const QString t = edits[i]->text().trimmed();
        if (t.isEmpty())
            continue;
        bool ok = false;
        const qulonglong v = t.toULongLong(&ok);
        if (!ok || v > 600000) {
            Dialogs.Notice(this, GuiTexts::TimeoutNotNumber + labels[i], GuiTexts::Attention,
                           TUserDialogs::Warning);
            return;
        }
        values[i] = static_cast<std::uint32_t>(v);
    }
    bool given[3] = {};
    for (int i = 0; i < 3; ++i)
        given[i] = !edits[i]->text().trimmed().isEmpty();
    OnLine([&] {
        std::uint32_t *fields[] = {&Port.Timeouts.ReadIntervalTimeout,
                                   &Port.Timeouts.ReadTotalTimeoutMultiplier,
                                   &Port.Timeouts.ReadTotalTimeoutConstant};
        for (int i = 0; i < 3; ++i)
            if (given[i])
                *fields[i] = values[i];
    });
    accept();
}

void TCOMPortSetupForm::MultiChBClick()
{
    const std::uint8_t multi = MultiChB->isChecked() ? 1 : 0;
    if (Link)
        OnLine([this, multi] { Link->MultiChannel = multi; });
    ChannelCB->setEnabled(MultiChB->isEnabled() && MultiChB->isChecked());
}

void TCOMPortSetupForm::FillChannels()
{
    ChannelCB->clear();
    if (!PortAccess || !Ksb) {
        MultiChB->setEnabled(false);
        ChannelCB->setEnabled(false);
        UpdateBtn->setEnabled(false);
        return;
    }
    if (!Ksb->Scan())
        return; // the card did not answer: no channel to offer
    ChannelCB->addItems(Ksb->FreeChannelNames());
    ChannelCB->setCurrentIndex(-1);
    ChannelCB->setCurrentIndex(
        ChannelCB->findText(GuiTexts::ChannelPrefix + QString::number(Ksb->CurrentChannel + 1)));
}

void TCOMPortSetupForm::UpdateBtnClick()
{
    FillChannels();
}

void TCOMPortSetupForm::ChannelCBChange(int index)
{
    if (!Ksb || index < 0)
        return;
    const QString text = ChannelCB->itemText(index);
    bool ok = false;
    const int number = text.mid(GuiTexts::ChannelPrefix.size()).toInt(&ok);
    if (!ok || number < 1 || number > TKSB::ChannelCount)
        return;
    // The card switches the line: not while a frame is on it.
    OnLine([this, number] {
        Ksb->SelectChannel(number - 1);
        if (Link)
            Link->Channel = number - 1;
    });
}

void TCOMPortSetupForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FillChannels();
    Refresh();
}
