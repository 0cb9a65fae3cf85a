#include "gui/userdialogs.h"

#include "gui/guitexts.h"
#include "gui/placement.h"

#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

QStringList QtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (QString p :
             parts[i + 1].split(QRegularExpression(QStringLiteral("[;,\\s]+")), Qt::SkipEmptyParts))
            patterns.append(p.trimmed());
        result.append(parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return result;
}

namespace {

QMessageBox::StandardButton ToQt(TUserDialogs::TAnswer answer)
{
    switch (answer) {
    case TUserDialogs::AnswerOk:
        return QMessageBox::Ok;
    case TUserDialogs::AnswerCancel:
        return QMessageBox::Cancel;
    case TUserDialogs::AnswerYes:
        return QMessageBox::Yes;
    case TUserDialogs::AnswerNo:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

TUserDialogs::TAnswer FromQt(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return TUserDialogs::AnswerYes;
    case QMessageBox::No:
        return TUserDialogs::AnswerNo;
    case QMessageBox::Cancel:
        return TUserDialogs::AnswerCancel;
    default:
        return TUserDialogs::AnswerOk;
    }
}

void AddButton(QMessageBox &box, QMessageBox::StandardButton b, const QString &text)
{
    box.addButton(b)->setText(text);
}

bool RunFileDialog(QWidget *parent, TFileDialogSpec &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    if (!request.Caption.isEmpty())
        dialog.setWindowTitle(request.Caption);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    // The program asks its own overwrite question with its own words.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = QtNameFilters(request.Filter);
    dialog.setNameFilters(filters);
    if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.FilterIndex - 1]);
    if (!request.InitialDir.isEmpty())
        dialog.setDirectory(request.InitialDir);
    if (!request.FileName.isEmpty())
        dialog.selectFile(request.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    request.FileName = dialog.selectedFiles().constFirst();
    request.FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (request.FilterIndex < 1)
        request.FilterIndex = 1;
    return true;
}

} // namespace

TUserDialogs::TAnswer TQtUserDialogs::Ask(QWidget *parent, const QString &text,
                                          const QString &caption, TButtons buttons, TIcon icon,
                                          TAnswer defaultAnswer)
{
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case Ok:
        AddButton(box, QMessageBox::Ok, GuiTexts::OkButtonRu);
        break;
    case OkCancel:
        AddButton(box, QMessageBox::Ok, GuiTexts::OkButtonRu);
        AddButton(box, QMessageBox::Cancel, GuiTexts::CancelButton);
        break;
    case YesNo:
        AddButton(box, QMessageBox::Yes, QStringLiteral("&Да"));
        AddButton(box, QMessageBox::No, QStringLiteral("&Нет"));
        break;
    case YesNoCancel:
        AddButton(box, QMessageBox::Yes, QStringLiteral("&Да"));
        AddButton(box, QMessageBox::No, QStringLiteral("&Нет"));
        AddButton(box, QMessageBox::Cancel, GuiTexts::CancelButton);
        break;
    }
    box.setDefaultButton(ToQt(defaultAnswer));
    // As wide as the caption asks: a box sizes itself by its text and buttons alone.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(
            new QSpacerItem(CaptionWidth(caption), 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
            grid->rowCount(), 0, 1, grid->columnCount());
    // Closing the box without a button is the safe answer of its kind.
    const QMessageBox::StandardButton escape = buttons == Ok      ? QMessageBox::Ok
                                               : buttons == YesNo ? QMessageBox::No
                                                                  : QMessageBox::Cancel;
    box.setEscapeButton(escape);
    box.exec();
    QAbstractButton *clicked = box.clickedButton();
    return FromQt(clicked ? box.standardButton(clicked) : escape);
}

bool TQtUserDialogs::ChooseOpenFile(QWidget *parent, TFileDialogSpec &request)
{
    return RunFileDialog(parent, request, QFileDialog::AcceptOpen);
}

bool TQtUserDialogs::ChooseSaveFile(QWidget *parent, TFileDialogSpec &request)
{
    return RunFileDialog(parent, request, QFileDialog::AcceptSave);
}

int TQtUserDialogs::Exec(QDialog *dialog)
{
    return dialog->exec();
}
