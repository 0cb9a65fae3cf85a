// zentorc simulate: the exit status of every outcome, the failed expectation's line, the CSV
// trace and the JUnit XML, and the worked example of the README on the example program.

#include "../files/filetestutil.h"
#include "../utf8text.h"
#include "cli/cliapp.h"
#include "core/cp1251.h"

#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

const QString kExamples = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/");

struct TRun
{
    int Status = -1;
    QStringList Out;
    QString Err;
};

const char *kProgram = "/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ\r\nПУСК ВД001\r\nНАСОС ДВ002\r\n\r\n"
                       "/ СЕКЦИЯ 000 !Насос\r\n"
                       "ЕСЛИ ВКЛ ПУСК ТОГДА ВКЛ НАСОС ИНАЧЕ ОТКЛ НАСОС\r\n"
                       "АВ001 = +АВ001 +1\r\n";

class ZentorcSimulate : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(Dir.isValid()); }

    QString File(const QString &name, const char *utf8, bool cp1251 = false)
    {
        QByteArray bytes = QByteArray(utf8);
        if (cp1251) {
            EXPECT_TRUE(EncodeCp1251(S(utf8), bytes));
        }
        EXPECT_TRUE(PutFile(Dir.filePath(name), bytes));
        return Dir.filePath(name);
    }
    TRun Simulate(const QStringList &args)
    {
        QString out;
        QString err;
        QTextStream o(&out);
        QTextStream e(&err);
        TRun r;
        r.Status = RunZentorc(QStringList{QStringLiteral("simulate")} + args, o, e);
        o.flush();
        e.flush();
        r.Out = out.split(u'\n', Qt::SkipEmptyParts);
        r.Err = err;
        return r;
    }
    QString Program() { return File(S("насос.zen"), kProgram, true); }

    QTemporaryDir Dir;
};

} // namespace

TEST_F(ZentorcSimulate, ExitStatusOfEveryOutcome)
{
    const QString program = Program();
    const QString good = File(S("хорошо.txt"), "установить ПУСК 1\nциклы 2\nожидать НАСОС 1\n"
                                               "ожидать АВ001 = 2\n");
    const QString bad = File(S("плохо.txt"), "! проверка\nустановить ПУСК 0\nциклы 1\n"
                                             "ожидать ДВ002 1\nожидать АВ001 >= 1\n");
    const QString broken = File(S("сломано.txt"), "циклы 1\nожидать ДВ1000 1\n");
    const QString wrong = File(S("ошибка.zen"), "/ СЕКЦИЯ 000\r\nВКЛ ДВ8\r\n");
    const struct
    {
        QStringList Args;
        int Status;
        QString Line; // in stdout, or in stderr for status 2
    } cases[] = {
        {{program}, 0, S("Выполнено циклов: 1")},
        {{program, S("--cycles"), S("7")}, 0, S("Выполнено циклов: 7")},
        {{program, S("--script"), good}, 0, S("Проверок: 2, не выполнено: 0")},
        {{program, S("--script"), bad}, 3, S("[%1:4] ожидалось ДВ002 = 1, получено 0").arg(bad)},
        {{wrong}, 1, S("Обнаружены ошибки")},
        {{program, S("--script"), broken},
         2,
         S("[%1:2] ДВ1000 вне диапазона: у контроллера ДВ с номерами от 0 до 511 (восьмеричное "
           "777)")
             .arg(broken)},
        {{program, S("--script"), good, S("--cycles"), S("2")},
         2,
         S("Команда simulate: --cycles и --script не задаются вместе (циклы задаёт сценарий)")},
        {{program, S("--cycles"), S("0")}, 2, S("--cycles 0: нужно целое число от 1 до 100000000")},
        {{program, S("НАСОС")},
         2,
         S("Команда simulate: лишний аргумент «НАСОС» (переменные трассы пишутся после --trace "
           "ФАЙЛ.csv)")},
        {{program, S("--trace"), Dir.filePath(S("т.csv"))},
         2,
         S("После --trace %1 перечислите переменные трассы").arg(Dir.filePath(S("т.csv")))},
        {{program, S("--trace"), Dir.filePath(S("т.csv")), S("ВОДА")},
         2,
         S("Трасса: «ВОДА» — не переменная контроллера и не технологическое название")},
        {{program, S("--script"), Dir.filePath(S("нет.txt"))}, 2, S("нет.txt")},
    };
    for (const auto &c : cases) {
        const TRun r = Simulate(c.Args);
        EXPECT_EQ(r.Status, c.Status) << c.Args.join(u' ').toStdString() << "\n"
                                      << r.Err.toStdString();
        const bool found = c.Status == 2 ? r.Err.contains(c.Line) : r.Out.contains(c.Line);
        EXPECT_TRUE(found) << c.Line.toStdString() << "\n"
                           << r.Out.join(u'\n').toStdString() << r.Err.toStdString();
    }
}

// The trace has a header row and one row a scan; a timer gives its on-state and its time.
// The JUnit XML holds one test case per expectation, a failure for the one that failed.
TEST_F(ZentorcSimulate, TraceAndJunit)
{
    const QString script = File(S("с.txt"), "установить ПУСК 1\nциклы 2\nустановить ВД001 0\n"
                                            "установить ТМ03 00.00.05\nциклы 1\n"
                                            "ожидать НАСОС 0\nожидать АВ001 4\n");
    const QString csv = Dir.filePath(S("ход.csv"));
    const QString xml = Dir.filePath(S("итог.xml"));
    const TRun r = Simulate({Program(), S("--script"), script, S("--junit"), xml, S("--trace"), csv,
                             S("НАСОС"), S("АВ001"), S("ТМ03")});
    ASSERT_EQ(r.Status, 3) << r.Err.toStdString();
    EXPECT_EQ(QString::fromUtf8(FileBytes(csv)),
              S("цикл,НАСОС,АВ001,ТМ03,ТМ03 время\n1,1,1,0,00.00.00\n2,1,2,0,00.00.00\n"
                "3,0,3,0,00.00.05\n"));
    // Each test case's name and, when it failed, its failure's message.
    QStringList names;
    QStringList failures;
    QXmlStreamReader xmlReader(FileBytes(xml));
    QString suiteFailures;
    while (!xmlReader.atEnd()) {
        if (xmlReader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xmlReader.name() == S("testsuite"))
            suiteFailures = xmlReader.attributes().value(S("failures")).toString();
        if (xmlReader.name() == S("testcase"))
            names.append(xmlReader.attributes().value(S("name")).toString());
        if (xmlReader.name() == S("failure"))
            failures.append(xmlReader.attributes().value(S("message")).toString());
    }
    EXPECT_FALSE(xmlReader.hasError());
    EXPECT_EQ(suiteFailures, S("1"));
    EXPECT_EQ(names, QStringList({S("строка 6: ожидать НАСОС 0"), S("строка 7: ожидать АВ001 4")}));
    EXPECT_EQ(failures, QStringList{S("[%1:7] ожидалось АВ001 = 4, получено 3").arg(script)});
}

// The README's worked example on the example program holds, and its report names what the
// run does not simulate.
TEST_F(ZentorcSimulate, WorkedExampleOnTheDemo)
{
    const QString script = kExamples + S("demo-check.txt");
    const TRun r = Simulate({kExamples + S("demo.zen"), S("--alg"), kExamples + S("BaseAlgs.alg"),
                             S("--script"), script});
    EXPECT_EQ(r.Status, 0) << r.Out.join(u'\n').toStdString() << r.Err.toStdString();
    EXPECT_TRUE(r.Out.contains(S("Проверок: 6, не выполнено: 0")));
    EXPECT_TRUE(r.Out.contains(S("  ДВ047: записывается АЛГ032 (не моделируется)")));
    EXPECT_TRUE(r.Out.contains(S("Ни разу не выполнялись:")));
}
