// Start-up with and without the configuration file, and the file the close handler writes.

#include "../utf8text.h"
#include "gui/guitexts.h"
#include "guitestutil.h"

#include <QAction>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

class StartupTest : public TGuiTest
{
protected:
    QString Ini() const { return Home() + QStringLiteral("ZentorEditor.ini"); }
    // The lines of the section as the file has them.
    QStringList Section(const QStringList &lines, const QString &name)
    {
        QStringList out;
        bool in = false;
        for (const QString &l : lines) {
            if (l.startsWith(u'['))
                in = l == u'[' + name + u']';
            else if (in && !l.isEmpty())
                out.append(l);
        }
        return out;
    }
};

} // namespace

TEST_F(StartupTest, WithoutConfigurationDefaultsAndTheFileAtClose)
{
    auto form = MakeForm();
    const QStringList &r = form->StartupReport;
    ASSERT_GE(r.size(), 4);
    EXPECT_EQ(r[0], S("Проверка версии операционной системы:"));
    EXPECT_TRUE(QRegularExpression(S("^Версия \\d+\\.\\d+$")).match(r[1]).hasMatch())
        << r[1].toStdString();
    EXPECT_EQ(r[2], S("Платформа Linux"));
    EXPECT_TRUE(r.contains(S("Файл конфигурации не обнаружен, параметры приняты по умолчанияю")));
    EXPECT_TRUE(QFileInfo::exists(Home() + QStringLiteral("log"))); // logging is on
    EXPECT_FALSE(form->PortInUse);
    EXPECT_EQ(form->OpenDialog.InitialDir, Home());
    EXPECT_EQ(form->RecentFiles.Count, 0);

    ASSERT_TRUE(form->WriteConfiguration());
    const QStringList lines = ReadLines(Ini());
    EXPECT_EQ(Section(lines, S("Настройки окна")).last(), S("Во весь экран=нет"));
    EXPECT_EQ(
        Section(lines, S("Параметры связи")),
        QStringList({S("Автономная работа=да"), S("Порт=нет"), S("Скорость=4800"), S("Стоп-биты=2"),
                     S("Чётность=1"), S("Размер байта=8"), S("Использовать КСБ=да"),
                     S("Канал КСБ=-1"), S("Максимальное время ожидания символа=100"),
                     S("Время ожидания символа=100"), S("Дополнительное время ожидания=0"),
                     S("Считывать ПрП дважды=нет")}));
    EXPECT_EQ(Section(lines, S("Отладка")),
              QStringList({S("Записывать лог=да"), S("Лог-файл=log")}));
    EXPECT_EQ(Section(lines, S("История")).first(), S("Рабочий каталог чтения=") + Home());
}

TEST_F(StartupTest, ConfiguredStartReadsEveryKeyWithItsRules)
{
    const QString recent = File(S("последняя.zen"));
    QFile f(recent);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    WriteIni({S("[Отладка]"),
              S("Записывать лог=ДА"),
              S("Лог-файл=журнал.txt"),
              S("[Параметры связи]"),
              S("Автономная работа=да"),
              S("Порт=com12"),
              S("Скорость=9600"),
              S("Стоп-биты=1"),
              S("Чётность=быстро"),
              S("Считывать ПрП дважды=да"),
              S("[История]"),
              S("Рабочий каталог чтения=/srv/программы"),
              S("Файл1=") + File(S("нет такого.zen")),
              S("Файл2=") + recent,
              S("Файл3=") + recent,
              S("Файл9=") + recent,
              S("[Настройки окна]"),
              S("Левый край=10"),
              S("Верхний край=20"),
              S("Ширина=700"),
              S("Высота=500"),
              S("Во весь экран=ДА")});
    auto form = MakeForm();
    const QStringList &r = form->StartupReport;
    EXPECT_TRUE(r.contains(S("Найден файл конфигурации. Идёт чтение параметров")));
    // ДА counts as yes for the log, and a plain name lives in the program directory.
    EXPECT_TRUE(r.contains(S("  Открываем лог-файл ") + Home() + S("журнал.txt")));
    EXPECT_TRUE(QFileInfo::exists(Home() + S("журнал.txt")));
    // A value that is no number keeps the default and is noted.
    EXPECT_EQ(form->PortSettings.Parity, 1);
    EXPECT_TRUE(r.filter(S("Чётность")).size() == 1);
    EXPECT_EQ(form->PortSettings.BaudRate, 9600u);
    EXPECT_EQ(form->PortSettings.StopBits, 1);
    EXPECT_EQ(form->PortSettings.Port, S("COM12"));
    EXPECT_TRUE(form->ReadTwiceItem->isChecked());
    EXPECT_EQ(form->OpenDialog.InitialDir, S("/srv/программы"));
    EXPECT_EQ(form->SaveDialog.InitialDir, Home());
    // Vanished files and duplicates leave the list.
    EXPECT_EQ(form->RecentFiles.Count, 1);
    EXPECT_EQ(form->RecentFiles.Entries[1], recent);
    // ДА is not "да" for the window: compared exactly.
    EXPECT_FALSE(form->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(form->size(), QSize(700, 500));

    ASSERT_TRUE(form->WriteConfiguration());
    const QStringList lines = ReadLines(Ini());
    EXPECT_TRUE(lines.contains(S("Лог-файл=log")));
    EXPECT_TRUE(lines.contains(S("Порт=COM12")));
    EXPECT_TRUE(lines.contains(S("Считывать ПрП дважды=да")));
    EXPECT_TRUE(lines.contains(S("Файл1=") + recent));
    // Keys above the count stay as they were.
    EXPECT_TRUE(lines.contains(S("Файл9=") + recent));
    EXPECT_TRUE(lines.contains(S("Рабочий каталог чтения=/srv/программы")));
}

TEST_F(StartupTest, MaximisedWindowAndItsBoundsBefore)
{
    WriteIni({S("[Настройки окна]"), S("Левый край=30"), S("Верхний край=40"), S("Ширина=640"),
              S("Высота=480"), S("Во весь экран=да"), S("[Отладка]"), S("Записывать лог=нет")});
    auto form = MakeForm();
    EXPECT_TRUE(form->StartupReport.contains(S("  Лог-файл не создаётся.")));
    EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
    ASSERT_TRUE(form->WriteConfiguration());
    const QStringList lines = ReadLines(Ini());
    EXPECT_TRUE(lines.contains(S("Во весь экран=да")));
    EXPECT_TRUE(lines.contains(S("Ширина=640")));
    EXPECT_TRUE(lines.contains(S("Записывать лог=нет")));
}

TEST_F(StartupTest, TheModuleSwitchForbidsTheModule)
{
    WriteIni({S("[Параметры связи]"), S("Использовать КСБ=да"), S("Канал КСБ=3")});
    auto form = MakeForm({S("/-ksb")});
    EXPECT_TRUE(form->StartupReport.contains(S("Поддержка КСБ запрещена")));
    EXPECT_FALSE(form->StartupReport.contains(S("  Работа с КСБ разрешена.")));
    EXPECT_EQ(form->PortSettings.KsbChannel, -1);
    ASSERT_TRUE(form->WriteConfiguration());
    const QStringList lines = ReadLines(Ini());
    EXPECT_TRUE(lines.contains(S("Использовать КСБ=нет")));
    EXPECT_TRUE(lines.contains(S("Канал КСБ=-1")));

    WriteIni({S("[Параметры связи]"), S("Использовать КСБ=нет")});
    auto second = MakeForm();
    EXPECT_TRUE(second->StartupReport.contains(S("  Работа с КСБ запрещена в файлах настройки.")));
    ASSERT_TRUE(second->WriteConfiguration());
    EXPECT_TRUE(ReadLines(Ini()).contains(S("Использовать КСБ=нет")));

    // Allowed, with its channel: written back as it was.
    WriteIni({S("[Параметры связи]"), S("Использовать КСБ=да"), S("Канал КСБ=3")});
    auto third = MakeForm();
    EXPECT_TRUE(third->StartupReport.contains(S("  Работа с КСБ разрешена.")));
    ASSERT_TRUE(third->WriteConfiguration());
    EXPECT_TRUE(ReadLines(Ini()).contains(S("Использовать КСБ=да")));
    EXPECT_TRUE(ReadLines(Ini()).contains(S("Канал КСБ=3")));
}

TEST_F(StartupTest, TheSimulatorAsThePort)
{
    WriteIni({S("[Параметры связи]"), S("Автономная работа=нет"), S("Порт=Симулятор"),
              S("Скорость=19200")});
    auto form = MakeForm();
    const QStringList &r = form->StartupReport;
    EXPECT_TRUE(r.contains(S("Открытие порта симулятор")));
    EXPECT_TRUE(r.contains(S("  Порт открыт. Текущие настройки:"))) << r.join(u'\n').toStdString();
    EXPECT_TRUE(r.contains(S("   Скорость: 19200")));
    EXPECT_TRUE(form->PortInUse);
    EXPECT_TRUE(form->ReadItem->isEnabled());
    EXPECT_TRUE(form->ConsoleItem->isEnabled());
    ASSERT_TRUE(form->WriteConfiguration());
    const QStringList lines = ReadLines(Ini());
    EXPECT_TRUE(lines.contains(S("Автономная работа=нет")));
    EXPECT_TRUE(lines.contains(S("Порт=симулятор")));
    EXPECT_TRUE(lines.contains(S("Скорость=19200")));
}

TEST_F(StartupTest, APortThatCannotBeOpenedMeansOfflineWork)
{
    WriteIni({S("[Параметры связи]"), S("Автономная работа=нет"), S("Порт=/dev/нет-такого")});
    auto form = MakeForm();
    EXPECT_TRUE(form->StartupReport.contains(
        S("  Ошибка при открытии порта. Работа с СОМ-портом отключена.")));
    EXPECT_FALSE(form->PortInUse);
    EXPECT_FALSE(form->WriteItem->isEnabled());
    ASSERT_TRUE(form->WriteConfiguration());
    const QStringList lines = ReadLines(Ini());
    EXPECT_TRUE(lines.contains(S("Автономная работа=да")));
    EXPECT_TRUE(lines.contains(S("Порт=/dev/нет-такого"))); // tried again next time
}

TEST_F(StartupTest, AConfigurationFileThatCannotBeWrittenIsReported)
{
    auto form = MakeForm();
    // A folder where the file should be: the save cannot replace it.
    QDir().mkpath(Ini());
    EXPECT_FALSE(form->WriteConfiguration());
    ASSERT_FALSE(Dialogs.Asked.empty());
    EXPECT_TRUE(Dialogs.LastQuestion().startsWith(S("Не удалось записать файл настроек ")));
    EXPECT_EQ(Dialogs.Asked.back().Caption, S("Ошибка!!!"));
    EXPECT_TRUE(QFileInfo(Ini()).isDir());
}
