// The main window on a full disk: a save and the configuration written at close say why
// they failed, and the files on disk stay as they were.

#include "../fulldisk.h"
#include "gui/filecommands.h"
#include "gui/guitexts.h"
#include "guitestutil.h"

#include <QListWidget>
#include <QTest>

#include <cerrno>
#include <cstring>

namespace {

class FullDiskWindow : public TGuiTest
{
};

QByteArray Bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST_F(FullDiskWindow, SaveAndCloseSayWhyAndKeepTheOldFiles)
{
    TFullDisk disk;
    REQUIRE_FULL_DISK(disk);
    const QString home = disk.Path(QStringLiteral("home")) + u'/';
    ASSERT_TRUE(QDir().mkpath(home));
    const QString ini = home + QStringLiteral("ZentorEditor.ini");
    const QString program = disk.Path(QStringLiteral("p.zen"));
    QString error;
    ASSERT_TRUE(WriteTextFile(ini, {QStringLiteral("[История]")}, error));
    ASSERT_TRUE(WriteTextFile(program, {QStringLiteral("/ СЕКЦИЯ 000 !Пуск"), "ВКЛ ДВ1"}, error));

    TZentorForms::TOptions options;
    options.ShowReport = false;
    options.DirectPortIO = false;
    auto form = TZentorForms::Create(
        Dialogs, TProgramPaths::Resolve(ExeDir(), home, QString(), Temp.path()), {}, options);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
    Dialogs.Files.push_back({program, 1});
    TFileCommands::Open(*form);
    const QByteArray oldProgram = Bytes(program);
    const QByteArray oldIni = Bytes(ini);
    ASSERT_TRUE(disk.Fill());

    // Ctrl+S, as the user presses it.
    QTest::keyClick(form->TreeView, Qt::Key_S, Qt::ControlModifier);
    const QString noSpace = QString::fromLocal8Bit(std::strerror(ENOSPC));
    QStringList list;
    for (int i = 0; i < form->ErrorsListBox->count(); ++i)
        list << form->ErrorsListBox->item(i)->text();
    EXPECT_EQ(list,
              QStringList({QStringLiteral("Сохранение в файл ") + program + QStringLiteral("..."),
                           QStringLiteral("Не удалось записать файл ") + program +
                               QStringLiteral(": ") + noSpace,
                           GuiTexts::SaveError}));
    EXPECT_EQ(Bytes(program), oldProgram);

    form->close();
    ASSERT_FALSE(Dialogs.Asked.empty());
    EXPECT_EQ(Dialogs.Asked.back().Text, GuiTexts::IniNotWritten + ini +
                                             QStringLiteral(": Не удалось записать файл ") + ini +
                                             QStringLiteral(": ") + noSpace);
    EXPECT_EQ(Bytes(ini), oldIni);
    EXPECT_EQ(disk.Entries(), QStringList({QStringLiteral("home"), QStringLiteral("p.zen")}));
}
