// zentor: the desktop programming environment. Creates the windows in their order and runs
// the message loop.

#include "gui/zentorforms.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include <exception>

namespace {

// An exception that reaches the message loop is shown, and the program goes on.
class TZentorApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &e) {
            QMessageBox::critical(nullptr, QStringLiteral("Ошибка!!!"),
                                  QString::fromUtf8(e.what()));
        } catch (...) {
            QMessageBox::critical(nullptr, QStringLiteral("Ошибка!!!"),
                                  QStringLiteral("Непредвиденная ошибка"));
        }
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    TZentorApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zentor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Зентор"));
    QApplication::setDesktopFileName(QStringLiteral("zentor"));

    QStringList args = QApplication::arguments().mid(1);
    // A program file named on the command line is opened once the windows are up, as Open
    // opens it (a program source file becomes the current file); only the first argument is
    // the module switch.
    QString fileToOpen;
    for (const QString &a : args)
        if (a.toUpper() != QStringLiteral("/-KSB") && !a.startsWith(u'-') && fileToOpen.isEmpty())
            fileToOpen = a;

    TQtUserDialogs dialogs;
    std::unique_ptr<TProgramForm> form =
        TZentorForms::Create(dialogs, TProgramPaths::ForThisProcess(), args, {});
    form->show();
    if (!fileToOpen.isEmpty())
        form->OpenProgramFile(QFileInfo(fileToOpen).absoluteFilePath());
    return app.exec();
}
