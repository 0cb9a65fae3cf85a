// zentorc compile, and convert compiling a text form into an image form.

#include "../files/filetestutil.h"
#include "core/cp1251.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct TRun
{
    int Status = -1;
    QStringList Out; // lines
    QString Err;
};

TRun Zentorc(const QStringList &args, const QString &home = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Never pick up a base from the machine running the tests.
    env.insert("ZENTOR_HOME", home.isEmpty() ? QStringLiteral("/nonexistent") : home);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZENTORC_PATH), args);
    TRun r;
    if (!p.waitForFinished(30000))
        return r;
    r.Status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    QString out = QString::fromUtf8(p.readAllStandardOutput());
    if (out.endsWith(u'\n'))
        out.chop(1);
    r.Out = out.isEmpty() ? QStringList() : out.split(u'\n');
    r.Err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

bool PutText(const QString &path, const QString &text)
{
    QByteArray bytes;
    return EncodeCp1251(text, bytes) && PutFile(path, bytes);
}

const QString kBase = QStringLiteral("/ Алгоритм 020 ! Интегратор\r\nпамять 4 7\r\n"
                                     "1   5  ВХОД     ! вход\r\n");

const QString kProgram = QStringLiteral("/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ\r\nНАСОС ДВ012\r\n\r\n"
                                        "/ СЕКЦИЯ 000 ! Пуск\r\nВКЛ НАСОС\r\n\r\n"
                                        "/ СЕКЦИЯ 101 !\r\nАЛГ020\r\n   1 ВХОД = +ВА003\r\n");

const QStringList kSummary = {
    "Сведения о переменных",
    "  максимальный индекс ВД: 000;",
    "  максимальный индекс ДВ: 012;",
    "  максимальный индекс ВА: 003;",
    "  максимальный индекс АВ: 000;",
    "  максимальный индекс ТМ: 00.",
    "Использовано 4 байт памяти алгоритмов",
};

class ZentorcCompile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        ASSERT_TRUE(PutText(Path("BaseAlgs.alg"), kBase));
        ASSERT_TRUE(PutText(Path("a.zen"), kProgram));
    }
    QString Path(const QString &name) const { return Dir.filePath(name); }

    QTemporaryDir Dir;
};

} // namespace

TEST_F(ZentorcCompile, WritesTheImageAndPrintsTheCompileList)
{
    const TRun r =
        Zentorc({"compile", Path("a.zen"), "-o", Path("a.prp"), "--alg", Path("BaseAlgs.alg")});
    EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
    const int size = static_cast<int>(FileBytes(Path("a.prp")).size());
    // Header, then blocks of 8 and 13 bytes.
    EXPECT_GT(size, 8 + 13);
    EXPECT_EQ(r.Out, QStringList{"Компиляция..."} + kSummary +
                         QStringList{"Компиляция завершена успешно. Размер ПрП " +
                                     QString::number(size) + " байт."});
    EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();

    const TRun dump = Zentorc({"dump", Path("a.prp")});
    EXPECT_EQ(dump.Status, 0);
    EXPECT_TRUE(dump.Out.contains("Контрольная сумма образа: верна"));
    EXPECT_TRUE(dump.Out.contains("Контрольная сумма заголовка: верна"));

    // The same image as a section file set; its save lines go to stderr.
    const TRun set =
        Zentorc({"compile", Path("a.zen"), "--alg", Path("BaseAlgs.alg"), "-o", Path("s.000")});
    EXPECT_EQ(set.Status, 0) << set.Err.toStdString();
    EXPECT_EQ(set.Out, r.Out);
    EXPECT_TRUE(QFile::exists(Path("s.101")));
    EXPECT_TRUE(QFile::exists(Path("s.hdr")));
}

TEST_F(ZentorcCompile, CompileErrorsWriteNothing)
{
    ASSERT_TRUE(PutText(Path("bad.zen"), "/ СЕКЦИЯ 000 !\r\nВКЛ ДВ1\r\nТОГДА ВСК\r\n"
                                         "/ СЕКЦИЯ 001 !\r\nВКЛ ДВ8\r\n"));
    const TRun r = Zentorc({"compile", Path("bad.zen"), "-o", Path("bad.prp")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, QStringList(
                         {"Компиляция...", "[000.1:1] Синтаксическая ошибка в строке 1 в позиции 1",
                          "[001.0:5] Ошибка в строке 0 в позиции 5", "Недопустимое слово ДВ8",
                          "Сведения о переменных", "  максимальный индекс ВД: 000;",
                          "  максимальный индекс ДВ: 001;", "  максимальный индекс ВА: 000;",
                          "  максимальный индекс АВ: 000;", "  максимальный индекс ТМ: 00.",
                          "Использовано 0 байт памяти алгоритмов", "Обнаружены ошибки"}));
    EXPECT_FALSE(QFile::exists(Path("bad.prp")));
}

TEST_F(ZentorcCompile, AHeaderThatStopsTheHeaderCompilerWritesNothing)
{
    ASSERT_TRUE(PutText(Path("h.zen"),
                        "/ ЗАКАЗ ПЕРЕМЕННЫХ\r\nКБ 0 - 7\r\nВД 000 - 1777\r\n"
                        "/ ЗАКАЗ ТМГ\r\n1 10 20\r\n\r\n/ СЕКЦИЯ 000 !\r\nВКЛ ДВ1\r\n"));
    const QString base = Path("BaseAlgs.alg");
    const TRun r = Zentorc({"compile", Path("h.zen"), "-o", Path("h.prp"), "--alg", base});
    EXPECT_EQ(r.Status, 1);
    QStringList summary = kSummary;
    summary[2] = "  максимальный индекс ДВ: 001;";
    summary[3] = "  максимальный индекс ВА: 000;";
    summary[6] = "Использовано 0 байт памяти алгоритмов";
    EXPECT_EQ(r.Out, QStringList(
                         {"Компиляция...", "[Заголовок.2:14]. Заказ ВД должен быть от 7 до 777."}) +
                         summary + QStringList{"Обнаружены ошибки"});
    // Converted to an image form: the same list, nothing written (write: linkcommands_test).
    const QList<QStringList> others = {
        {"convert", Path("h.zen"), Path("h.prp"), "--alg", base},
        {"convert", Path("h.zen"), Path("h.000"), "--alg", base},
    };
    for (const QStringList &args : others) {
        const TRun o = Zentorc(args);
        EXPECT_EQ(o.Status, 1) << args.join(' ').toStdString();
        EXPECT_EQ(o.Out, r.Out) << args.join(' ').toStdString();
    }
    EXPECT_EQ(QDir(Dir.path()).entryList({"h.*"}), QStringList{"h.zen"});
}

TEST_F(ZentorcCompile, BaseIsLookedUpWhenNotGiven)
{
    // In the program directory ($ZENTOR_HOME here).
    TRun r = Zentorc({"compile", Path("a.zen"), "-o", Path("a.prp")}, Dir.path());
    EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
    // Nowhere: the base is empty and the call is reported.
    r = Zentorc({"compile", Path("a.zen"), "-o", Path("b.prp")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Out.contains("[101.0:1. Данный алгоритм отсутсвует в базе данных."));
    EXPECT_FALSE(QFile::exists(Path("b.prp")));
}

TEST_F(ZentorcCompile, UsageAndFileErrorsExitWith2)
{
    const QList<QStringList> calls = {
        {"compile", Path("a.zen")},
        {"compile", Path("a.zen"), "-o"},
        {"compile", Path("a.zen"), "-o", Path("b.zen")},
        {"compile", Path("a.zen"), "-o", Path("b.prp"), "--alg", Path("none.alg")},
        {"compile", Path("a.zen"), "-o", Path("b.prp"), "--alg", Dir.path()},
        {"compile", Path("none.zen"), "-o", Path("b.prp")},
        {"compile", Path("a.txt"), "-o", Path("b.prp")},
        {"compile", Path("a.zen"), Path("b.zen"), "-o", Path("b.prp")},
        {"compile", Path("a.zen"), "-o", Path("no/dir/b.prp"), "--alg", Path("BaseAlgs.alg")},
        {"convert", Path("a.zen"), "-o", Path("b.prp")},
    };
    for (const QStringList &args : calls) {
        const TRun r = Zentorc(args);
        EXPECT_EQ(r.Status, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.Err.isEmpty()) << args.join(' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(Path("b.prp")));
}

TEST_F(ZentorcCompile, ConvertCompilesATextFormIntoAnImageForm)
{
    const TRun c =
        Zentorc({"compile", Path("a.zen"), "-o", Path("a.prp"), "--alg", Path("BaseAlgs.alg")});
    ASSERT_EQ(c.Status, 0);
    const TRun r =
        Zentorc({"convert", Path("a.zen"), Path("b.prp"), "--alg", Path("BaseAlgs.alg")});
    EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out, c.Out);
    EXPECT_EQ(FileBytes(Path("b.prp")), FileBytes(Path("a.prp")));
    // With errors nothing is written; the reason is on stderr.
    ASSERT_TRUE(PutText(Path("bad.zen"), "/ СЕКЦИЯ 000 !\r\nВКЛ ДВ8\r\n"));
    const TRun bad = Zentorc({"convert", Path("bad.zen"), Path("bad.prp")});
    EXPECT_EQ(bad.Status, 1);
    EXPECT_EQ(bad.Out.last(), "Обнаружены ошибки");
    EXPECT_TRUE(bad.Err.contains("bad.prp"));
    EXPECT_FALSE(QFile::exists(Path("bad.prp")));
    // A text form stays a text form without any compile or base.
    const TRun text = Zentorc({"convert", Path("a.zen"), Path("c.zen"), "--alg", Path("none.alg")});
    EXPECT_EQ(text.Status, 0);
}

TEST(ZentorcExamples, DemoProgramCompilesCleanly)
{
    QTemporaryDir dir;
    const QString examples = QStringLiteral(ZENTOR_SOURCE_DIR) + "/examples/";
    const TRun r = Zentorc({"compile", examples + "demo.zen", "-o", dir.filePath("demo.prp"),
                            "--alg", examples + "BaseAlgs.alg"});
    EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
    ASSERT_FALSE(r.Out.isEmpty());
    EXPECT_TRUE(r.Out.last().startsWith("Компиляция завершена успешно. Размер ПрП "));
    for (const QString &line : r.Out)
        EXPECT_FALSE(line.startsWith(u'[') || line.startsWith("Предупреждение"))
            << line.toStdString();
    const TRun dump = Zentorc({"dump", dir.filePath("demo.prp")});
    EXPECT_EQ(dump.Status, 0);
    EXPECT_TRUE(dump.Out.contains("Контрольная сумма образа: верна"));
    EXPECT_TRUE(dump.Out.contains("Контрольная сумма заголовка: верна"));
}
