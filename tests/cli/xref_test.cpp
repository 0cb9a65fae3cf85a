// zentorc xref: the table in aligned columns or as CSV, the two checks after it, and the
// exit status of every outcome.

#include "../files/filetestutil.h"
#include "cli/cliapp.h"
#include "core/cp1251.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kExamples = QStringLiteral(ZENTOR_SOURCE_DIR "/examples/");
const QString kBase = kExamples + QStringLiteral("BaseAlgs.alg");

struct TRun
{
    int Status = -1;
    QStringList Out;
    QString Err;
};

TRun Xref(const QStringList &args)
{
    QString out;
    QString err;
    QTextStream o(&out);
    QTextStream e(&err);
    TRun r;
    r.Status = RunZentorc(QStringList{QStringLiteral("xref")} + args, o, e);
    o.flush();
    e.flush();
    r.Out = out.split(u'\n');
    if (!r.Out.isEmpty() && r.Out.last().isEmpty())
        r.Out.removeLast();
    r.Err = err;
    return r;
}

class ZentorcXref : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(Dir.isValid()); }
    QString Program(const QString &name, const QString &text)
    {
        QByteArray bytes;
        EXPECT_TRUE(EncodeCp1251(text, bytes));
        EXPECT_TRUE(PutFile(Dir.filePath(name), bytes));
        return Dir.filePath(name);
    }
    QTemporaryDir Dir;
};

const QString kFindings = QStringLiteral("/ ЗАКАЗ ПЕРЕМЕННЫХ\r\nДВ 000 - 077\r\n"
                                         "/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ\r\nНАСОС ДВ012\r\n"
                                         "ЗАПАС ДВ020\r\n\r\n"
                                         "/ СЕКЦИЯ 000 !Пуск, стоп\r\nВКЛ НАСОС ВКЛ ДВ101\r\n");

} // namespace

// The example program: every column starts at the same place on every line of the table;
// the checks find nothing.
TEST_F(ZentorcXref, TheExampleInAlignedColumns)
{
    const TRun r = Xref({kExamples + QStringLiteral("demo.zen"), QStringLiteral("--alg"), kBase});
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    ASSERT_GT(r.Out.size(), 300);
    const QString head = r.Out[0];
    EXPECT_TRUE(head.startsWith(QStringLiteral("Переменная  Название")));
    const qsizetype line = head.indexOf(QStringLiteral("Строка"));
    const qsizetype kind = head.indexOf(QStringLiteral("Использование"));
    int rows = 0;
    for (const QString &row : r.Out.mid(1)) {
        if (row.isEmpty())
            break;
        bool number = false;
        row.mid(line, kind - line).trimmed().split(u' ').first().toInt(&number);
        EXPECT_TRUE(number && row[line - 1] == u' ') << row.toStdString();
        ++rows;
    }
    EXPECT_GT(rows, 300);
    EXPECT_TRUE(r.Out.contains(QStringLiteral(
        "КС101                     секция 001 «Аварийный останов»       6       12       "
        "запись         ОТКЛ")))
        << r.Out.mid(0, 5).join(u'\n').toStdString();
    EXPECT_EQ(r.Out.mid(r.Out.size() - 2),
              (QStringList{"Переменные секций вне заказа заголовка: нет",
                           "Переменные, названные в заголовке, которых не использует ни одна "
                           "секция: нет"}));
}

// Findings give 3 and are listed after the table; a section that does not compile gives 1
// whatever the checks found, with its messages; a wrong call or an unreadable file gives 2.
TEST_F(ZentorcXref, ExitStatusOfEveryOutcome)
{
    const QString findings = Program(QStringLiteral("f.zen"), kFindings);
    TRun r = Xref({findings, QStringLiteral("--alg"), kBase});
    EXPECT_EQ(r.Status, 3);
    EXPECT_EQ(r.Out.mid(r.Out.size() - 4),
              (QStringList{
                  "Переменные секций вне заказа заголовка: 1",
                  "  ДВ101 — секция 000 «Пуск, стоп», строка 0, позиция 15: ВКЛ (заказано ДВ "
                  "000 - 077)",
                  "Переменные, названные в заголовке, которых не использует ни одна секция: 1",
                  "  ДВ020 — заголовок, строка 4, позиция 1: технологическое название = ДВ020",
              }));

    const QString broken = Program(QStringLiteral("b.zen"),
                                   kFindings + QStringLiteral("\r\n/ СЕКЦИЯ 001 !\r\nВКЛ ДВ1 ;\r\n"
                                                              "ЕСЛИ\r\n"));
    r = Xref({broken, QStringLiteral("--alg"), kBase});
    EXPECT_EQ(r.Status, 1);
    const qsizetype at =
        r.Out.indexOf(QStringLiteral("секция 001 не откомпилирована, её переменные не показаны:"));
    ASSERT_GE(at, 0) << r.Out.join(u'\n').toStdString();
    EXPECT_EQ(r.Out.value(at + 1), QStringLiteral("  [001.1:1] Синтаксическая ошибка в строке 1 в "
                                                  "позиции 1"));

    const QString ok =
        Program(QStringLiteral("ok.zen"), QStringLiteral("/ СЕКЦИЯ 000 !\r\nВСК\r\n"));
    EXPECT_EQ(Xref({ok, QStringLiteral("--alg"), kBase}).Status, 0);

    const struct
    {
        QStringList Args;
        const char *Err;
    } wrong[] = {
        {{ok, QStringLiteral("--format"), QStringLiteral("xml")}, "Неизвестный формат «xml»"},
        {{Dir.filePath(QStringLiteral("нет.zen"))}, ""},
        {{Dir.filePath(QStringLiteral("x.txt"))}, "Неподдерживаемое расширение"},
        {{}, "Команда xref: неверное число аргументов"},
        {{ok, QStringLiteral("--alg"), Dir.filePath(QStringLiteral("нет.alg"))}, "не найден"},
        {{ok, QStringLiteral("-o"), QStringLiteral("x.prp")}, "не принимает параметр «-o»"},
    };
    for (const auto &w : wrong) {
        r = Xref(w.Args);
        EXPECT_EQ(r.Status, 2) << w.Args.join(u' ').toStdString();
        EXPECT_TRUE(r.Err.contains(QString::fromUtf8(w.Err))) << r.Err.toStdString();
        EXPECT_TRUE(r.Out.isEmpty());
    }
}

// CSV: a header row, one row per use with the check as its last field, one row per compile
// message; fields with commas or quotes are quoted.
TEST_F(ZentorcXref, CsvHasAHeaderRowAndQuotesWhatNeedsIt)
{
    const QString broken = Program(
        QStringLiteral("b.zen"), kFindings + QStringLiteral("\r\n/ СЕКЦИЯ 001 !\"A\"\r\nЕСЛИ\r\n"));
    const TRun r = Xref({broken, QStringLiteral("--format"), QStringLiteral("csv"),
                         QStringLiteral("--alg"), kBase});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, (QStringList{
                         "Переменная,Название,Где,Строка,Позиция,Использование,Подробно,Проверка",
                         "ДВ000-077,,заголовок,1,1,описание,заказ переменных,",
                         "ДВ012,НАСОС,заголовок,3,1,описание,технологическое название = ДВ012,",
                         "ДВ012,НАСОС,\"секция 000 «Пуск, стоп»\",0,5,запись,ВКЛ,",
                         "ДВ020,ЗАПАС,заголовок,4,1,описание,технологическое название = "
                         "ДВ020,не используется в секциях",
                         "ДВ101,,\"секция 000 «Пуск, стоп»\",0,15,запись,ВКЛ,вне заказа: "
                         "заказано ДВ 000 - 077",
                         ",,\"секция 001 «\"\"A\"\"»\",,,ошибка компиляции,[001.0:1] "
                         "Синтаксическая ошибка в строке 0 в позиции 1,",
                     }));
}
