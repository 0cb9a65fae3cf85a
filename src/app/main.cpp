// zentor: the desktop programming environment. Creates the windows in their order and runs
// the message loop.

#include "app/commandline.h"
#include "core/version.h"
#include "gui/filecommands.h"
#include "gui/qttranslations.h"
#include "gui/zentorforms.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextStream>

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

QStringList ArgumentsOf(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    return args;
}

// Prints what the command line asked for, or its fault; the exit status, or -1 when the
// program is to start.
int Answer(const TZentorCommandLine &line)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    if (line.Help) {
        out << ZentorHelpText();
        return 0;
    }
    if (line.Version) {
        out << VersionText(QStringLiteral("zentor"));
        return 0;
    }
    if (!line.Error.isEmpty()) {
        err << line.Error << '\n';
        return 2;
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    // Help and version need no display: answered before the application object exists,
    // as is a start that has no display to show the windows on.
    const QStringList given = ArgumentsOf(argc, argv);
    TZentorCommandLine early = ParseZentorCommandLine(given, TArgumentsStage::BeforeApplication);
    if (!early.Help && !early.Version && early.Error.isEmpty())
        early.Error = NoDisplayMessage(given, TDisplaySetting::FromEnvironment());
    const int earlyStatus = Answer(early);
    if (earlyStatus >= 0)
        return earlyStatus;

    TZentorApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zentor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Зентор"));
    QApplication::setDesktopFileName(QStringLiteral("zentor"));
    InstallQtTranslations(app);

    // Qt has taken its own options out of the arguments by now.
    const QStringList args = QApplication::arguments().mid(1);
    const TZentorCommandLine line = ParseZentorCommandLine(args, TArgumentsStage::AfterApplication);
    const int status = Answer(line);
    if (status >= 0)
        return status;

    TQtUserDialogs dialogs;
    std::unique_ptr<TProgramForm> form =
        TZentorForms::Create(dialogs, TProgramPaths::ForThisProcess(), args, {});
    form->show();
    // The file named on the command line is opened once the windows are up, as Open opens
    // it: a program source file becomes the current file.
    if (!line.FileToOpen.isEmpty())
        TFileCommands::OpenGiven(*form, QFileInfo(line.FileToOpen).absoluteFilePath());
    return app.exec();
}
