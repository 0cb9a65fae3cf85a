// Scripts of scripted checks: every command, technological names and Б bits, timer values,
// the failed expectation's message, and every way a line can be wrong.

#include "runtimetest.h"

#include "core/cp1251.h"
#include "runtime/runscript.h"

class ScriptTest : public RuntimeTest
{
protected:
    void SetUp() override
    {
        Load({{0,
               {S("ЕСЛИ ВКЛ ПУСК ТОГДА ВКЛ НАСОС ИНАЧЕ ОТКЛ НАСОС"),
                S("ЕСЛИ Б ПУСК ТОГДА ОТКЛ НАСОС"), S("АВ001 = +ВА001 +1"),
                S("ЕСЛИ ТМ01 > 00.00.30 ТОГДА ВКЛ ДВ003")}}},
             {S("/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ"), S("ПУСК ВД001"), S("НАСОС ДВ002"),
              S("ТЕКСТ ВКЛ ДВ001")});
    }

    // Runs the script's lines; the failed expectations' messages, or "ошибка: …".
    QStringList Outcome(const QStringList &lines)
    {
        TScript script;
        QString error;
        if (!ParseScript(lines, S("проверка.txt"), *Run, script, error))
            return {S("ошибка: ") + error};
        Engine->Reset();
        QStringList failed;
        for (const TExpectationResult &r : RunScript(script, *Engine))
            if (!r.Passed)
                failed.append(r.Message);
        return failed;
    }
};

TEST_F(ScriptTest, CommandsAndExpectations)
{
    EXPECT_EQ(Outcome({S("! пуск насоса"),
                       S(""),
                       S("установить ПУСК ВКЛ"),
                       S("циклы 1"),
                       S("ожидать НАСОС 1"),
                       S("Ожидать ДВ002 = вкл ! то же"),
                       S("установить Б вд001 1"),
                       S("циклы 2"),
                       S("ожидать НАСОС 0"),
                       S("ожидать Б ПУСК 1"),
                       S("блокировать ДВ002 1"),
                       S("циклы 1"),
                       S("ожидать ДВ002 1"),
                       S("разблокировать ДВ002"),
                       S("циклы 1"),
                       S("ожидать ДВ002 0"),
                       S("установить ВА001 -5"),
                       S("циклы 1"),
                       S("ожидать АВ001 = -4"),
                       S("ожидать АВ001 >= -4"),
                       S("ожидать АВ001 <> 0"),
                       S("установить ТМ01 00.00.31"),
                       S("циклы 1"),
                       S("ожидать ДВ003 1"),
                       S("ожидать ТМ01 < 00.01.00"),
                       S("блокировать ТМ01 00.00.10"),
                       S("установить ТМ01 00.00.40"),
                       S("ожидать ТМ01 00.00.40")}),
              QStringList());
    EXPECT_EQ(Outcome({S("установить ПУСК 1"), S("циклы 3"), S("ожидать НАСОС 0"),
                       S("ожидать АВ001 > 1"), S("ожидать ТМ01 = 00.01.00")}),
              QStringList({S("[проверка.txt:3] ожидалось НАСОС = 0, получено 1"),
                           S("[проверка.txt:4] ожидалось АВ001 > 1, получено 1"),
                           S("[проверка.txt:5] ожидалось ТМ01 = 00.01.00, получено 00.00.00")}));
}

TEST_F(ScriptTest, LinesThatAreNoCommands)
{
    const struct
    {
        const char *Line;
        const char *Error;
    } cases[] = {
        {"пуск", "неизвестная команда «пуск» (нужно: установить, блокировать, разблокировать, "
                 "циклы, ожидать)"},
        {"установить ДВ002", "команда установить записывается так: установить ПЕРЕМЕННАЯ "
                             "ЗНАЧЕНИЕ"},
        {"установить ДВ002 1 2", "команда установить записывается так: установить ПЕРЕМЕННАЯ "
                                 "ЗНАЧЕНИЕ"},
        {"ожидать АВ001 => 1", "команда ожидать записывается так: ожидать ПЕРЕМЕННАЯ [= <> > < "
                               ">= <=] ЗНАЧЕНИЕ"},
        {"установить ДВ1000 1", "ДВ1000 вне диапазона: у контроллера ДВ с номерами от 0 до 511 "
                                "(восьмеричное 777)"},
        {"установить КБ8 1", "«КБ8» — не переменная контроллера и не технологическое название"},
        {"установить ТЕКСТ 1", "технологическое название ТЕКСТ означает «ВКЛ», а не "
                               "переменную"},
        {"установить ДВ002 2", "«2» — не значение для ДВ002: нужно 0, 1, ВКЛ или ОТКЛ"},
        {"ожидать НАСОС 2", "«2» — не значение для НАСОС (ДВ002): нужно 0, 1, ВКЛ или ОТКЛ"},
        {"установить ВА001 40000", "«40000» — не значение для ВА001: нужно целое число от -32768 "
                                   "до 32767"},
        {"установить ТМ01 00.60", "«00.60» — не значение для ТМ01: нужно 0, 1, ВКЛ, ОТКЛ или "
                                  "время ЧЧ.ММ.СС"},
        {"установить Б ВА001 5", "«5» — не значение для Б ВА001: нужно 0, 1, ВКЛ или ОТКЛ"},
        {"разблокировать Б ДВ002", "признак Б ДВ002 не блокируется: его задаёт только "
                                   "пользователь"},
        {"блокировать Б НАСОС 1", "признак Б НАСОС не блокируется: его задаёт только "
                                  "пользователь"},
        {"циклы 0", "«0» — не число циклов: нужно целое от 1 до 100000000"},
        {"циклы 100000001", "«100000001» — не число циклов: нужно целое от 1 до 100000000"},
        {"циклы", "команда циклы записывается так: циклы ЧИСЛО"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Outcome({S("циклы 1"), S(c.Line)}),
                  QStringList{S("ошибка: [проверка.txt:2] ") + S(c.Error)})
            << c.Line;
}

// A script is UTF-8, or Windows-1251 when its bytes are no UTF-8; bytes with a zero are no
// text at all.
TEST_F(ScriptTest, TextOfTheFile)
{
    const QString text = S("установить ПУСК 1\r\nожидать НАСОС 1\r\n");
    QByteArray cp1251;
    ASSERT_TRUE(EncodeCp1251(text, cp1251));
    for (const QByteArray &bytes :
         {text.toUtf8(), QByteArray("\xEF\xBB\xBF") + text.toUtf8(), cp1251}) {
        QStringList lines;
        QString error;
        ASSERT_TRUE(ScriptText(bytes, S("с.txt"), lines, error));
        EXPECT_EQ(lines.mid(0, 2), QStringList({S("установить ПУСК 1"), S("ожидать НАСОС 1")}));
    }
    QStringList lines;
    QString error;
    EXPECT_FALSE(ScriptText(QByteArray("ожидать\0", 15), S("с.txt"), lines, error));
    EXPECT_EQ(error, S("с.txt: сценарий не является текстом (в нём есть нулевые байты)"));
}
