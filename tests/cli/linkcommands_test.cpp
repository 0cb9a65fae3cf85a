// zentorc --port against zentor-sim: both real executables, talking over a real
// pseudo-terminal with the controller's default line settings. Every wait is bounded.

#include "../files/filetestutil.h"
#include "clitesting.h"
#include "compiler/algbase.h"
#include "core/cp1251.h"
#include "core/textutils.h"
#include "files/programfiles.h"
#include "model/zentorprogram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A small program: a technological name, two sections in group 0 and one in group 1 with
// an algorithm call.
const QString SmallProgram = QStringLiteral("/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ\r\nНАСОС ДВ012\r\n\r\n"
                                            "/ СЕКЦИЯ 000 ! Пуск\r\nВКЛ НАСОС\r\n\r\n"
                                            "/ СЕКЦИЯ 001 ! Стоп\r\nОТКЛ НАСОС\r\n\r\n"
                                            "/ СЕКЦИЯ 101 ! Масштаб\r\nАЛГ010\r\n"
                                            "   1 ВХОД = +ВА003\r\n   2 КМ = 1.5\r\n"
                                            "   3 СМЕЩ = +10\r\n   4 ВЫХ = АВ002\r\n");

QString PutProgram(const QTemporaryDir &dir)
{
    QByteArray bytes;
    EncodeCp1251(SmallProgram, bytes);
    const QString path = dir.filePath(QStringLiteral("small.zen"));
    PutFile(path, bytes);
    return path;
}

// The sections of an image file, by number.
std::unique_ptr<TZentorProgram> LoadImage(const QString &path)
{
    auto p = std::make_unique<TZentorProgram>();
    p->Clear();
    TFileContext ctx;
    EXPECT_EQ(LoadPrpImage(*p, path, ctx), FileOk) << path.toStdString();
    return p;
}

// zentorc with its standard error on a pseudo-terminal, as from a shell: Err is what the
// terminal received (the terminal turns each "\n" into "\r\n").
TRun ZentorcOnTerminal(const QStringList &args)
{
    TRun r;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        ADD_FAILURE() << "no pseudo-terminal: " << std::strerror(errno);
        return r;
    }
    const QByteArray slave(::ptsname(master));
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    QByteArray got;
    const auto drain = [&] {
        char buffer[4096];
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            got.append(buffer, n);
    };
    QProcess p;
    p.setProcessEnvironment(Environment());
    p.setChildProcessModifier([&slave] {
        const int fd = ::open(slave.constData(), O_RDWR | O_NOCTTY);
        if (fd >= 0)
            ::dup2(fd, STDERR_FILENO);
    });
    p.start(QStringLiteral(ZENTORC_PATH), args);
    bool ended = false;
    for (int i = 0; i < 1200 && !ended; ++i) {
        ended = p.waitForFinished(50);
        drain();
    }
    if (!ended)
        p.kill();
    Finish(p, r, 5000); // the output; the status is the one it ended with
    r.Status = ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    ::close(master);
    r.Err = QString::fromUtf8(got);
    return r;
}

} // namespace

TEST(ZentorcPort, StatusModesScreenAndKeys)
{
    TSim sim;
    ASSERT_TRUE(sim.Start());
    TRun r = sim.Run({"status"});
    EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out, QStringLiteral("Режим: Останов\nНет ошибок\n"));

    r = sim.Run({"mode", "Пуск"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, QStringLiteral("Режим: Пуск\n"));
    // The controller leaves every mode through "Останов": it refuses, and says so.
    r = sim.Run({"mode", "0x08"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, QStringLiteral("Не удалось перейти в режим ПРОГРАММИРОВАНИЕ; режим "
                                    "контроллера: Пуск\n"));
    EXPECT_EQ(sim.Run({"mode", "1"}).Status, 0);
    r = sim.Run({"mode", "неисправность"});
    EXPECT_EQ(r.Status, 0);
    r = sim.Run({"status"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, QStringLiteral("Режим: Неисправность\nПрограммируемый отказ\n"));
    EXPECT_EQ(sim.Run({"mode", "ОСТАНОВ"}).Status, 0);
    EXPECT_EQ(sim.Run({"mode", "Программирование"}).Status, 0);

    r = sim.Run({"screen"});
    EXPECT_EQ(r.Status, 0);
    QStringList lines = r.Out.split(u'\n');
    ASSERT_EQ(lines.size(), 11); // ten lines and the end of the last
    EXPECT_EQ(lines[0], QStringLiteral(" САРВЕТЕЛ-СИМ   "));
    EXPECT_EQ(lines[1], QStringLiteral("ПРОГРАММИРОВАНИЕ"));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(lines[i].size(), 16) << i;

    // Forty keys take two frames; the screen shows the last key and what was typed.
    QStringList keys;
    for (int i = 0; i < 39; ++i)
        keys << QStringLiteral("0x10");
    keys << "0x31"
         << "50"
         << "0x11";
    r = sim.Run(QStringList{"keys"} + keys);
    EXPECT_EQ(r.Status, 0) << r.Out.toStdString();
    EXPECT_EQ(r.Out, QStringLiteral("Отправлено клавиш: 42\n"));
    lines = sim.Run({"screen"}).Out.split(u'\n');
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[2], QStringLiteral("КЛАВИША 11      "));
    EXPECT_EQ(lines[3], QStringLiteral("ИСПОЛНЕНО 12    "));
}

TEST(ZentorcPort, WriteSwitchesTheModeOnlyWithYes)
{
    TSim sim;
    const QString state = sim.Dir.filePath(QStringLiteral("state"));
    ASSERT_TRUE(sim.Start({"--state", state}));
    const QString program = PutProgram(sim.Dir);
    ASSERT_EQ(sim.Run({"mode", "Пуск"}).Status, 0);

    // A program that does not compile, in a section or in a header the header compiler
    // stops at, is not written, and the controller is not asked.
    for (const QString &text : {QStringLiteral("/ СЕКЦИЯ 000 ! Пуск\r\nВКЛ ВКЛ ВКЛ\r\n"),
                                QStringLiteral("/ ЗАКАЗ ПЕРЕМЕННЫХ\r\nВД 000 - 1777\r\n"
                                               "/ СЕКЦИЯ 000 ! Пуск\r\nВКЛ ДВ1\r\n")}) {
        QByteArray broken;
        EncodeCp1251(text, broken);
        const QString bad = sim.Dir.filePath(QStringLiteral("bad.zen"));
        ASSERT_TRUE(PutFile(bad, broken));
        const TRun r = sim.Run({"write", bad, "--alg", Catalogue, "--yes"});
        EXPECT_EQ(r.Status, 1);
        EXPECT_TRUE(r.Has(QStringLiteral("Обнаружены ошибки"))) << r.Out.toStdString();
        EXPECT_FALSE(r.Out.contains(QStringLiteral("Запись ПрП")));
        EXPECT_EQ(sim.Run({"status"}).Out, QStringLiteral("Режим: Пуск\nНет ошибок\n"));
    }

    TRun r = sim.Run({"write", program, "--alg", Catalogue});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Has(QStringLiteral("Компиляция завершена успешно. Размер ПрП 195 байт.")))
        << r.Out.toStdString();
    EXPECT_TRUE(r.Has(QStringLiteral("Запись ПрП в Сарветел...")));
    EXPECT_TRUE(r.Has(QStringLiteral("Сарветел находится в режиме Пуск. Для продолжения работы "
                                     "Сарветел будет переведён в режим ПРОГРАММИРОВАНИЕ. "
                                     "Продолжить работу?")));
    EXPECT_TRUE(r.Out.contains(QStringLiteral("--yes")));
    EXPECT_FALSE(r.Has(QStringLiteral("Запись ПрП завершена")));
    EXPECT_EQ(sim.Run({"status"}).Out, QStringLiteral("Режим: Пуск\nНет ошибок\n"));
    EXPECT_FALSE(QFileInfo::exists(state + QStringLiteral("/prp.bin")));

    r = sim.Run({"write", program, "--alg", Catalogue, "--yes"});
    EXPECT_EQ(r.Status, 0) << r.Out.toStdString() << r.Err.toStdString();
    EXPECT_TRUE(r.Has(QStringLiteral("Ответ: да (--yes)")));
    EXPECT_TRUE(r.Has(QStringLiteral("Запись ПрП завершена")));
    // Progress on standard error: the bytes sent of all before the header and before each
    // section (the header's 162, sections 000 and 001 of 8 bytes each).
    EXPECT_TRUE(r.Err.contains(QStringLiteral("[0/195] Запись заголовка ПрП\n")));
    EXPECT_TRUE(r.Err.contains(QStringLiteral("[162/195] Запись секции 000\n")));
    EXPECT_TRUE(r.Err.contains(QStringLiteral("[178/195] Запись секции 101\n")))
        << r.Err.toStdString();
    EXPECT_EQ(sim.Run({"status"}).Out, QStringLiteral("Режим: Программирование\nНет ошибок\n"));
    // The controller holds exactly what zentorc compile makes of the program.
    const QString compiled = sim.Dir.filePath(QStringLiteral("small.prp"));
    ASSERT_EQ(Zentorc({"compile", program, "-o", compiled, "--alg", Catalogue}).Status, 0);
    EXPECT_EQ(FileBytes(state + QStringLiteral("/prp.bin")), FileBytes(compiled));

    // Already programming: no question.
    r = sim.Run({"write", compiled});
    EXPECT_EQ(r.Status, 0);
    EXPECT_FALSE(r.Out.contains(QStringLiteral("Продолжить работу?")));
    EXPECT_TRUE(r.Has(QStringLiteral("Запись ПрП завершена")));
}

TEST(ZentorcPort, VerifyComparesWhatTheControllerHolds)
{
    TSim good;
    ASSERT_TRUE(good.Start());
    const QString program = PutProgram(good.Dir);
    TRun r = good.Run({"write", program, "--alg", Catalogue, "--yes", "--verify"});
    EXPECT_EQ(r.Status, 0) << r.Out.toStdString();
    EXPECT_TRUE(r.Has(QStringLiteral("Проверка: ПрП в контроллере совпадает с записанным")));

    // A controller that keeps section 101 with one byte changed, its block checksum made to
    // fit so that even the image checksums hold, is caught by the section's bytes.
    TSim garbling;
    ASSERT_TRUE(garbling.Start({"--faults", "garble-section:33"}));
    r = garbling.Run({"write", program, "--alg", Catalogue, "--yes", "--verify"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Has(QStringLiteral("Запись ПрП завершена")));
    QStringList sectionLines;
    for (const QString &line : r.Out.split(u'\n'))
        if (line.startsWith(QStringLiteral("Секция 101, байт ")))
            sectionLines << line;
    EXPECT_EQ(sectionLines.size(), 2) << r.Out.toStdString(); // the byte and the checksum
    EXPECT_TRUE(sectionLines.value(0).startsWith(QStringLiteral("Секция 101, байт 4: записан ")));
    EXPECT_TRUE(r.Out.endsWith(QStringLiteral("\nПроверка: найдено различий: 2\n")));
    EXPECT_FALSE(r.Out.contains(QStringLiteral("Заголовок")));
    EXPECT_FALSE(r.Out.contains(QStringLiteral("Секция 000")));

    // A section the controller holds from before is a difference too.
    TSim old;
    ASSERT_TRUE(old.Start());
    const QString demo = Examples + QStringLiteral("demo.zen");
    ASSERT_EQ(old.Run({"write", demo, "--alg", Catalogue, "--yes"}).Status, 0);
    r = old.Run({"write", program, "--alg", Catalogue, "--verify"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Has(QStringLiteral("Секция 002: есть в контроллере, но не записывалась")))
        << r.Out.toStdString();
    // Its group words in the header, and the header's checksums, differ with it.
    EXPECT_TRUE(r.Out.contains(QStringLiteral("Заголовок, байт 9: записан ")));
}

namespace {

// The rows of zentorc diff that are not "совпадает": title, result and what differs.
QStringList DifferingRows(const QString &out)
{
    QStringList rows;
    bool table = false;
    for (const QString &line : out.split(u'\n')) {
        if (line.startsWith(QStringLiteral("Часть ПрП"))) {
            table = true;
            continue;
        }
        // The rows end at the summary line, which has no columns.
        if (!table || line.startsWith(u' ') || !line.contains(QStringLiteral("  ")))
            continue;
        const QStringList cells = line.split(QRegularExpression(QStringLiteral("\\s{2,}")));
        if (cells.value(1) != QStringLiteral("совпадает"))
            rows << cells.join(QStringLiteral(" | "));
    }
    return rows;
}

} // namespace

TEST(ZentorcPort, DiffNamesWhatDiffersAndChangesNothing)
{
    TSim sim;
    const QString state = sim.Dir.filePath(QStringLiteral("state"));
    ASSERT_TRUE(sim.Start({"--state", state}));
    const QString program = PutProgram(sim.Dir);
    ASSERT_EQ(sim.Run({"write", program, "--alg", Catalogue, "--yes"}).Status, 0);
    const QByteArray stored = FileBytes(state + QStringLiteral("/prp.bin"));

    TRun r = sim.Run({"diff", program, "--alg", Catalogue});
    EXPECT_EQ(r.Status, 0) << r.Out.toStdString() << r.Err.toStdString();
    EXPECT_TRUE(r.Has(QStringLiteral("Сравнение ПрП с контроллером")));
    EXPECT_EQ(DifferingRows(r.Out).join(u'\n').toStdString(), "") << r.Out.toStdString();
    EXPECT_TRUE(r.Out.contains(QStringLiteral("Секция 101 «Масштаб»")));
    EXPECT_TRUE(r.Out.endsWith(QStringLiteral("\nПрП в контроллере совпадает с программой\n")));

    // Another order, section 001 changed, 000 gone from the program and 002 new in it.
    QString text = SmallProgram;
    text.replace(QStringLiteral("/ СЕКЦИЯ 000 ! Пуск\r\nВКЛ НАСОС\r\n"),
                 QStringLiteral("/ ЗАКАЗ ПЕРЕМЕННЫХ\r\nДВ 000 - 177\r\n"));
    text.replace(QStringLiteral("ОТКЛ НАСОС"), QStringLiteral("ВКЛ ДВ013"));
    text += QStringLiteral("\r\n/ СЕКЦИЯ 002 ! Новая\r\nВКЛ ДВ014\r\n");
    QByteArray bytes;
    EncodeCp1251(text, bytes);
    const QString changed = sim.Dir.filePath(QStringLiteral("changed.zen"));
    ASSERT_TRUE(PutFile(changed, bytes));
    r = sim.Run({"diff", changed, "--alg", Catalogue});
    EXPECT_EQ(r.Status, 3) << r.Out.toStdString() << r.Err.toStdString();
    EXPECT_EQ(DifferingRows(r.Out).join(u'\n').toStdString(),
              "Заказ переменных | отличается | ДВ\n"
              "Секция 000 | только в контроллере | 8 байт\n"
              "Секция 001 «Стоп» | отличается | различаются байты: 3\n"
              "Секция 002 «Новая» | только в программе | 8 байт")
        << r.Out.toStdString();
    // Under a part that differs, its lines on both sides.
    EXPECT_TRUE(r.Has(QStringLiteral("  программа:  ДВ 000 - 177")));
    EXPECT_TRUE(r.Has(QStringLiteral("  контроллер: ДВ 000 - 017")));
    EXPECT_TRUE(r.Has(QStringLiteral("  программа:  строка 0: ВКЛ ДВ013")));
    EXPECT_TRUE(r.Has(QStringLiteral("  контроллер: строка 0: 00 О ДВ012")));
    EXPECT_TRUE(r.Out.endsWith(QStringLiteral("\nНайдено различий: 4\n")));
    EXPECT_EQ(FileBytes(state + QStringLiteral("/prp.bin")), stored);

    // A program that does not compile is not compared; a call without it is wrong.
    EncodeCp1251(QStringLiteral("/ СЕКЦИЯ 000\r\nВКЛ ВКЛ\r\n"), bytes);
    ASSERT_TRUE(PutFile(changed, bytes));
    r = sim.Run({"diff", changed, "--alg", Catalogue});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Has(QStringLiteral("Обнаружены ошибки")));
    EXPECT_FALSE(r.Out.contains(QStringLiteral("Сравнение ПрП")));
    EXPECT_EQ(sim.Run({"diff"}).Status, 2);
}

TEST(ZentorcPort, ReadSavesTheImageTheControllerStores)
{
    TSim sim;
    const QString state = sim.Dir.filePath(QStringLiteral("state"));
    ASSERT_TRUE(sim.Start({"--state", state}));
    const QString demo = Examples + QStringLiteral("demo.zen");
    ASSERT_EQ(sim.Run({"write", demo, "--alg", Catalogue, "--yes"}).Status, 0);

    const QString x = sim.Dir.filePath(QStringLiteral("x.prp"));
    TRun r = sim.Run({"read", "-o", x});
    EXPECT_EQ(r.Status, 0) << r.Out.toStdString() << r.Err.toStdString();
    EXPECT_TRUE(r.Has(QStringLiteral("Чтение ПрП из Сарветела")));
    EXPECT_TRUE(r.Has(QStringLiteral("Считан ПрП: 2256 байт, секций 31")));
    EXPECT_TRUE(r.Err.contains(QStringLiteral("[36/37] Считывание 36-го блока из 36\n")));
    const QByteArray stored = FileBytes(state + QStringLiteral("/prp.bin"));
    ASSERT_EQ(stored.size(), 2256);
    EXPECT_EQ(FileBytes(x), stored);

    // On a terminal the blocks are counted on one line rewritten in place, ended once.
    r = ZentorcOnTerminal({"--port", sim.Link, "read", "-o", x});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err.count(u'\n'), 2) << r.Err.toStdString(); // the caption, the progress
    EXPECT_TRUE(r.Err.contains(QStringLiteral("из 36\r[2/37] Считывание 2-го блока из 36\r")));
    EXPECT_TRUE(r.Err.endsWith(QStringLiteral("\r[36/37] Считывание 36-го блока из 36\r\n")));
    EXPECT_EQ(FileBytes(x), stored);

    // The section file set holds the same program.
    const QString set = sim.Dir.filePath(QStringLiteral("y.000"));
    r = sim.Run({"read", "-o", set});
    EXPECT_EQ(r.Status, 0);
    EXPECT_TRUE(QFileInfo::exists(sim.Dir.filePath(QStringLiteral("y.hdr"))));
    EXPECT_TRUE(QFileInfo::exists(sim.Dir.filePath(QStringLiteral("y.211"))));
    const QString z = sim.Dir.filePath(QStringLiteral("z.prp"));
    ASSERT_EQ(Zentorc({"convert", set, z}).Status, 0);
    EXPECT_EQ(FileBytes(z), stored);

    // A text form is decompiled with the algorithm base; compiled again it gives back the
    // controller's image byte for byte.
    const QString text = sim.Dir.filePath(QStringLiteral("w.zen"));
    r = sim.Run({"read", "-o", text, "--alg", Catalogue});
    EXPECT_EQ(r.Status, 0) << r.Out.toStdString() << r.Err.toStdString();
    EXPECT_TRUE(r.Has(QStringLiteral("Декомпиляция секции 211")));
    const QString back = sim.Dir.filePath(QStringLiteral("back.prp"));
    ASSERT_EQ(Zentorc({"compile", text, "-o", back, "--alg", Catalogue}).Status, 0);
    EXPECT_EQ(FileBytes(back), stored);
}

// --twice takes the PRP only when two reads agree: a byte that turned from 0x00 into 0xFF on
// the line in one of them keeps the output from being written.
TEST(ZentorcPort, ReadTwiceTakesOnlyTwoReadsThatAgree)
{
    TSim sim;
    ASSERT_TRUE(sim.Start({"--faults", "flip-block:2"}));
    ASSERT_EQ(sim.Run({"write", PutProgram(sim.Dir), "--alg", Catalogue, "--yes"}).Status, 0);
    const QString x = sim.Dir.filePath(QStringLiteral("x.prp"));
    TRun r = sim.Run({"read", "--twice", "-o", x});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Out.contains(QStringLiteral("ПрП считан дважды, и считанное различается")))
        << r.Out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(x));
    // The line gives the same bytes from now on.
    r = sim.Run({"read", "--twice", "-o", x});
    EXPECT_EQ(r.Status, 0) << r.Out.toStdString();
    EXPECT_TRUE(r.Err.contains(QStringLiteral("Повторное считывание ")));
    EXPECT_TRUE(QFileInfo::exists(x));
}

TEST(ZentorcPort, AlgsSavesTheControllersDescriptionsAsABase)
{
    TSim sim;
    ASSERT_TRUE(sim.Start());
    const QString out = sim.Dir.filePath(QStringLiteral("read.alg"));
    const TRun r = sim.Run({"algs", "-o", out});
    ASSERT_EQ(r.Status, 0) << r.Out.toStdString() << r.Err.toStdString();
    auto file = std::make_unique<TAlgBase>();
    auto read = std::make_unique<TAlgBase>();
    ASSERT_TRUE(file->LoadFromFile(Catalogue));
    ASSERT_TRUE(read->LoadFromFile(out));
    EXPECT_TRUE(r.Has(QStringLiteral("Описаний алгоритмов: %1").arg(file->Count)));
    EXPECT_EQ(read->Count, file->Count);
    for (int n = 0; n < TAlgBase::AlgCount; ++n) {
        const TAlgInfo &f = file->Algs[n];
        const TAlgInfo &b = read->Algs[n];
        ASSERT_EQ(b.Present, f.Present) << n;
        if (!f.Present)
            continue;
        // The base file keeps the blank after "!" in front of the name.
        EXPECT_EQ(b.Name, QStringLiteral(" Алг") + OctalText(n, 3));
        EXPECT_EQ(b.OwnMemory, f.OwnMemory) << n;
        EXPECT_EQ(b.PrpMemory, f.PrpMemory) << n;
        ASSERT_EQ(b.ParamCount, f.ParamCount) << n;
        for (int i = 1; i <= f.ParamCount; ++i) {
            EXPECT_EQ(b.Params[i].Kind, f.Params[i].Kind) << n << ' ' << i;
            EXPECT_EQ(b.Params[i].Name, f.Params[i].Name) << n << ' ' << i;
        }
    }
}

TEST(ZentorcPort, ControllerFaultsEndWithItsMessageAndStatus1)
{
    {
        TSim silent;
        ASSERT_TRUE(silent.Start({"--faults", "drop:1"}));
        for (const QStringList &args :
             QList<QStringList>{{"status"}, {"screen"}, {"algs", "-o", "x.alg"}}) {
            const TRun r = silent.Run(args);
            EXPECT_EQ(r.Status, 1) << args.join(' ').toStdString();
            EXPECT_EQ(r.Out, QStringLiteral("Ошибка при обращении к контроллеру!\nКонтроллер не "
                                            "ответил\n"));
        }
        TRun r = silent.Run({"read", "-o", silent.Dir.filePath(QStringLiteral("r.prp"))});
        EXPECT_EQ(r.Status, 1);
        EXPECT_TRUE(r.Has(QStringLiteral("Длина ПрП не получена от контроллера. Чтение прервано.")))
            << r.Out.toStdString();
        EXPECT_FALSE(QFileInfo::exists(silent.Dir.filePath(QStringLiteral("r.prp"))));
        // The comparison ends with the link's message and shows no table.
        r = silent.Run({"diff", PutProgram(silent.Dir), "--alg", Catalogue});
        EXPECT_EQ(r.Status, 1);
        EXPECT_TRUE(r.Out.endsWith(QStringLiteral("Длина ПрП не получена от контроллера. Чтение "
                                                  "прервано.\nКонтроллер не ответил\nСравнение "
                                                  "не выполнено\n")))
            << r.Out.toStdString();
        EXPECT_FALSE(r.Out.contains(QStringLiteral("Часть ПрП")));
    }
    {
        TSim corrupting;
        ASSERT_TRUE(corrupting.Start({"--faults", "corrupt:1"}));
        const TRun r = corrupting.Run({"mode", "Пуск"});
        EXPECT_EQ(r.Status, 1);
        EXPECT_EQ(r.Out, QStringLiteral("Ошибка при обращении к контроллеру!\nОтвет контроллера "
                                        "отвергнут: Неверная КС пакета\n"));
    }
    TSim refusing;
    ASSERT_TRUE(refusing.Start({"--faults", "refuse-mode"}));
    const QString program = PutProgram(refusing.Dir);
    TRun r = refusing.Run({"write", program, "--alg", Catalogue, "--yes"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Out.endsWith(
        QStringLiteral("Не удалось перейти в режим ПРОГРАММИРОВАНИЕ\nПопытка записи не удалась\n")))
        << r.Out.toStdString();

    // A section the controller never takes is offered three more times, then the write stops.
    TSim rejecting;
    ASSERT_TRUE(rejecting.Start({"--faults", "reject-section:1"}));
    r = rejecting.Run({"write", program, "--alg", Catalogue, "--yes"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Has(QStringLiteral("Секция 001 не принята контроллером. Запись прервана.")));
    EXPECT_TRUE(r.Has(QStringLiteral("Запись ПрП не завершена")));
    EXPECT_EQ(r.Err.count(QStringLiteral("Ошибка при записи секции. Повторить?")), 4);
    EXPECT_TRUE(r.Err.contains(QStringLiteral("Внимание! Ошибка при записи секции. Повторить? "
                                              "повтор 3 из 3\n")));
    EXPECT_TRUE(r.Err.contains(QStringLiteral("Внимание! Ошибка при записи секции. Повторить? "
                                              "отмена\n")));

    // A late reply within the time-outs is still an answer.
    TSim slow;
    ASSERT_TRUE(slow.Start({"--faults", "slow:300"}));
    r = slow.Run({"status"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, QStringLiteral("Режим: Останов\nНет ошибок\n"));
}

TEST(ZentorcPort, InterruptStopsTheWriteBetweenSections)
{
    TSim sim;
    const QString state = sim.Dir.filePath(QStringLiteral("state"));
    ASSERT_TRUE(sim.Start({"--state", state}, 19200));
    QProcess p;
    TRun r;
    ASSERT_TRUE(StartUntil(p,
                           {"--port", sim.Link, "write", Examples + QStringLiteral("demo.zen"),
                            "--alg", Catalogue, "--yes"},
                           QStringLiteral("Запись секции 002"), r));
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    Finish(p, r, 30000);
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Has(QStringLiteral("Запись ПрП прервана по запросу."))) << r.Out.toStdString();
    EXPECT_FALSE(r.Has(QStringLiteral("Запись ПрП завершена")));
    const auto held = LoadImage(state + QStringLiteral("/prp.bin"));
    EXPECT_TRUE(held->Sections[2].Present);
    EXPECT_LT(held->PresentSectionCount(), 10);
}

TEST(ZentorcPort, LogHoldsThePortAndEveryFrame)
{
    TSim sim;
    ASSERT_TRUE(sim.Start());
    const QString log = sim.Dir.filePath(QStringLiteral("link.log"));
    ASSERT_EQ(sim.Run({"status", "--log", log}).Status, 0);
    QStringList lines;
    for (QByteArray raw : FileBytes(log).split('\n')) {
        raw.replace('\r', "");
        const int stamp = raw.indexOf("   ");
        if (!raw.isEmpty())
            lines << DecodeCp1251(stamp >= 0 ? raw.mid(stamp + 3) : raw);
    }
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines[0], QStringLiteral("Открытие порта ") + sim.Link);
    EXPECT_TRUE(lines.contains(QStringLiteral("  Порт открыт. Текущие настройки:")));
    EXPECT_TRUE(lines.contains(QStringLiteral("   Скорость: 4800")));
    EXPECT_TRUE(lines.contains(QStringLiteral("   Стоп-биты: 2")));
    EXPECT_TRUE(lines.contains(QStringLiteral("   Размер байта: 8")));
    const qsizetype sent = lines.indexOf(QStringLiteral("Отправлена следующая последовательность"));
    ASSERT_GE(sent, 0);
    EXPECT_EQ(lines[sent + 1], QStringLiteral("01 01 C0 C2 19 9E "));
    EXPECT_EQ(lines[sent + 2], QStringLiteral("Принята следующая последовательность"));
    EXPECT_EQ(lines[sent + 4], QStringLiteral("Разбор команды 19"));
}

TEST(ZentorcPort, UsageAndPortErrorsExitWith2)
{
    TSim sim;
    ASSERT_TRUE(sim.Start());
    QTemporaryDir dir;
    const QString program = PutProgram(dir);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.prp"));
    for (const QStringList &args : QList<QStringList>{
             {"status"},
             {"--port", sim.Link},
             {"--port", sim.Link, "status", "extra"},
             {"--port", sim.Link, "--baud", "fast", "status"},
             {"--port", sim.Link, "--baud", "12345", "status"},
             {"--port", sim.Link, "--parity", "5", "status"},
             {"--port", sim.Link, "--stop-bits", "3", "status"},
             {"--port", sim.Link, "--byte-size", "9", "status"},
             {"--port", sim.Link, "--log", "/nonexistent/dir/log", "status"},
             {"--port", sim.Link, "--log", "/dev/full", "status"},
             // Told before anything is compiled or read, and before the port is asked.
             {"--port", sim.Link, "--log", dir.filePath("no/log"), "write", program, "--alg",
              Catalogue},
             {"--port", sim.Link, "read", "-o", dir.filePath("no/dir/x.prp")},
             {"--port", sim.Link, "read", "-o", dir.filePath("folder.prp")},
             {"--port", sim.Link, "algs", "-o", dir.filePath("no/dir/x.alg")},
             {"--port", sim.Link, "mode", "Быстро"},
             {"--port", sim.Link, "mode", "0x03"},
             {"--port", sim.Link, "keys", "256"},
             {"--port", sim.Link, "keys", "клавиша"},
             {"--port", sim.Link, "read"},
             {"--port", sim.Link, "read", "-o", dir.filePath("x.txt")},
             {"--port", sim.Link, "algs"},
             {"--port", sim.Link, "write"},
             {"--port", sim.Link, "write", dir.filePath("none.zen"), "--alg", Catalogue},
             {"--port", sim.Link, "write", program, "--alg", dir.filePath("none.alg")},
             {"--port", sim.Link, "status", "--yes"},
             {"--port", "/nonexistent/tty", "status"},
             {"--port", sim.Link, "compile", program, "-o", dir.filePath("x.prp")},
             {"--verify", "dump", program},
         }) {
        const TRun r = Zentorc(args);
        EXPECT_EQ(r.Status, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.Err.isEmpty()) << args.join(' ').toStdString();
        EXPECT_TRUE(r.Out.isEmpty()) << args.join(' ').toStdString();
    }
    EXPECT_EQ(Zentorc({"--port", sim.Link, "--log", "/dev/full", "status"}).Err,
              QStringLiteral("Не удалось записать журнал /dev/full: ") +
                  QString::fromLocal8Bit(std::strerror(ENOSPC)) + u'\n');
    const TRun missing = Zentorc({"--port", "/nonexistent/tty", "status"});
    EXPECT_EQ(missing.Err,
              QStringLiteral("Не удалось открыть порт /nonexistent/tty: СОМ-порт не обнаружен\n"));
    // The controller was not disturbed by any of it.
    EXPECT_EQ(sim.Run({"status"}).Out, QStringLiteral("Режим: Останов\nНет ошибок\n"));
}

TEST(ZentorcPort, SimulatorFindsItsAlgorithmBaseLikeTheDesktop)
{
    // BaseAlgs.alg in the program directory.
    QTemporaryDir home;
    QFile::copy(Catalogue, home.filePath(QStringLiteral("BaseAlgs.alg")));
    TSim found;
    ASSERT_TRUE(found.Start({}, 0, QString(), home.path()));
    const QString out = found.Dir.filePath(QStringLiteral("a.alg"));
    TRun r = found.Run({"algs", "-o", out});
    EXPECT_EQ(r.Status, 0);
    EXPECT_TRUE(r.Has(QStringLiteral("Описаний алгоритмов: 28"))) << r.Out.toStdString();

    // No base anywhere: the controller describes nothing.
    TSim none;
    ASSERT_TRUE(none.Start({}, 0, QString()));
    r = none.Run({"algs", "-o", out});
    EXPECT_EQ(r.Status, 0);
    EXPECT_TRUE(r.Has(QStringLiteral("Описаний алгоритмов: 0")));

    // A call length its descriptions cannot carry is told at start, for each algorithm;
    // the shipped base has none.
    const QString old = home.filePath(QStringLiteral("old.alg"));
    QByteArray bytes;
    EncodeCp1251(QStringLiteral("/ Алгоритм 010 ! Масштаб\r\nпамять 0 10\r\n1   5  ВХ\r\n"
                                "2   12 КМ\r\n/ Алгоритм 011 ! И\r\nпамять 0 5\r\n1   2  ВХ\r\n"
                                "/ Алгоритм 012 ! Фильтр\r\nпамять 4 5\r\n"),
                 bytes);
    PutFile(old, bytes);
    for (const auto &[alg, said] :
         {std::pair{old, QStringLiteral("zentor-sim: алгоритм 010: длина вызова в базе 10 байт, "
                                        "описание контроллера даёт 7 байт\n")},
          std::pair{Catalogue, QString()}}) {
        TSim told;
        ASSERT_TRUE(told.Start({}, 0, alg));
        told.Process.terminate();
        told.Process.waitForFinished(5000);
        // Before what the run of the stored program rests on.
        const QString err = QString::fromUtf8(told.Process.readAllStandardError());
        EXPECT_EQ(err.left(err.indexOf(QStringLiteral("zentor-sim: ПрП "))), said);
    }

    // A base named that is not there is an error of the call.
    QProcess p;
    p.setProcessEnvironment(Environment());
    p.start(QStringLiteral(ZENTOR_SIM_PATH),
            {"--link", home.filePath(QStringLiteral("tty")), "--alg", "/nonexistent/x.alg"});
    TRun bad;
    Finish(p, bad, 10000);
    EXPECT_EQ(bad.Status, 2);
    EXPECT_EQ(bad.Err, QStringLiteral("Файл базы алгоритмов /nonexistent/x.alg не найден\n"));
    EXPECT_FALSE(QFileInfo(home.filePath(QStringLiteral("tty"))).isSymLink());
}

namespace {

// zentor-sim's standard error, read until it holds text (at most 10 s).
QString SimErrorsUntil(TSim &sim, const QString &text)
{
    QString err;
    sim.Process.setReadChannel(QProcess::StandardError);
    for (int i = 0; i < 100 && !err.contains(text); ++i) {
        sim.Process.waitForReadyRead(100);
        err += QString::fromUtf8(sim.Process.readAllStandardError());
    }
    return err;
}

} // namespace

TEST(ZentorcPort, SimulatorTellsWhatTheProgramWrittenRunsOnByTheBaseItHolds)
{
    const QString ready = QStringLiteral("zentor-sim: ПрП готова к выполнению (секций: 3, "
                                         "инструкций: 3); циклы выполняются в режиме «Пуск»");
    const QString output = QStringLiteral("  АВ002: записывается АЛГ010 (не моделируется)");
    for (const QString &alg : {Catalogue, QString()}) {
        TSim sim;
        ASSERT_TRUE(sim.Start({"--cycle-ms", "10"}, 0, alg));
        // The empty program at the start, then the one written, once it is out of
        // programming mode.
        EXPECT_TRUE(SimErrorsUntil(sim, QStringLiteral("«Пуск»\n"))
                        .contains(QStringLiteral("zentor-sim: ПрП готова к выполнению (секций: "
                                                 "0, инструкций: 0)")));
        ASSERT_EQ(sim.Run({"write", PutProgram(sim.Dir), "--alg", Catalogue, "--yes"}).Status, 0);
        ASSERT_EQ(sim.Run({"mode", "Останов"}).Status, 0);
        const QStringList lines = SimErrorsUntil(sim, QStringLiteral("АЛГ010")).split(u'\n');
        EXPECT_EQ(lines.count(ready), 1) << lines.join(u'\n').toStdString();
        EXPECT_EQ(lines.count(QStringLiteral("Не моделируется:")), 1);
        // The output of the call is known from the simulator's own descriptions only.
        EXPECT_EQ(lines.contains(output), !alg.isEmpty()) << lines.join(u'\n').toStdString();
    }

    QProcess p;
    p.setProcessEnvironment(Environment());
    p.start(QStringLiteral(ZENTOR_SIM_PATH), {"--link", "/nonexistent/tty", "--cycle-ms", "0"});
    TRun bad;
    Finish(p, bad, 10000);
    EXPECT_EQ(bad.Status, 2);
    EXPECT_EQ(bad.Err, QStringLiteral("Неверный период цикла «0»: нужно целое число миллисекунд "
                                      "от 1 до 60000\n"));
}
