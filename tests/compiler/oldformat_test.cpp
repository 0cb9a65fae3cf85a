// The old text format: the header's comment lines, the export of a whole program and the
// conversion of old section texts with this program's technological names.

#include "compiler/oldformat.h"

#include "compilertest.h"

#include "core/progress.h"

#include <memory>

namespace {

struct TRecorder : TProgress
{
    QStringList Calls;
    void SetCaption(const QString &c) override { Calls << "caption " + c; }
    void SetMaximum(int m) override { Calls << QStringLiteral("max %1").arg(m); }
    void SetPosition(int p) override { Calls << QStringLiteral("pos %1").arg(p); }
    void SetAction(const QString &a) override { Calls << "action " + a; }
    void Show() override { Calls << "show"; }
    void Hide() override { Calls << "hide"; }
};

} // namespace

class OldFormatTest : public CompilerTest
{
protected:
    QStringList Header(const QStringList &text)
    {
        Messages.clear();
        return HeaderToOldLines(text, Messages);
    }
};

TEST_F(OldFormatTest, HeaderCommentLines)
{
    EXPECT_EQ(Header({"/ ЗАКАЗ ПЕРЕМЕННЫХ", "ВД 000 - 777"}),
              QStringList({" !Заказ переменных", " !ВД=777"}));
    // The decompiled default header: only the variable orders survive.
    EXPECT_EQ(
        Header({"/ ЗАКАЗ ПЕРЕМЕННЫХ", "КБ   0 - 0", "ВД 000 - 017", "ДВ 000 - 017", "ВА 000 - 017",
                "АВ 000 - 017", "ТМ  00 - 17", "", "/ ЗАКАЗ ВХОДОВ АЦП", "0 000 - 000", "", ""}),
        QStringList({" !Заказ переменных", " !КБ=0", " !ВД=017", " !ДВ=017", " !ВА=017", " !АВ=017",
                     " !ТМ=17"}));
    // Lines before the first heading, lower case, comments, glued dashes, unknown classes.
    EXPECT_EQ(Header({"! программа", "насос", "/заказ переменных ! к", "/ заказ переменных",
                      "  вд 000-377 ! комментарий", "ИВ 000 - 7", "ДВ 000", ";весь", "/ ЗАКАЗ ИВ",
                      "ИВ00 = +ВА001 0,1 ! к", "", "ИВ01 +5 0,2"}),
              QStringList({" ! ПРОГРАММА", " НАСОС", " !Заказ переменных", " !Заказ переменных",
                           " !ВД=377", " !ДВ=", " !Заказ импульсных выходов",
                           " !ИВ00 = +ВА001 0,1 ", " !ИВ01 +5 0,2"}));
    EXPECT_TRUE(Messages.isEmpty());
    // The long impulse heading, keyboards, names, ADC and timer-generator parts.
    EXPECT_EQ(Header({"/ ЗАКАЗ ИМПУЛЬСНЫХ ВЫХОДОВ", "ИВ00 +5 0,1", "/ ЗАКАЗ ТМГ", "0 10 20",
                      "/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА 1", "1 ДВ001 ПУСК",
                      "/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ", "НАСОС ДВ001"}),
              QStringList({" !Заказ импульсных выходов", " !ИВ00 +5 0,1"}));
    // A lone "/" goes on with the same part without writing its lines or its heading twice.
    EXPECT_EQ(Header({"/ ЗАКАЗ ИВ", "ИВ00 +5 0,1", "/", "ИВ01 +5 0,1", "/"}),
              QStringList({" !Заказ импульсных выходов", " !ИВ00 +5 0,1", " !ИВ01 +5 0,1"}));
    EXPECT_EQ(Header({"/ ЗАКАЗ ПЕРЕМЕННЫХ", "ВД 000 - 7", "/", "ДВ 000 - 7"}),
              QStringList({" !Заказ переменных", " !ВД=7", " !ДВ=7"}));
}

TEST_F(OldFormatTest, UnknownHeadingEndsTheHeaderConversion)
{
    EXPECT_EQ(Header({"/ ЗАКАЗ ПЕРЕМЕННЫХ", "ВД 000 - 777", "", "/ РАЗДЕЛ", "/ ЗАКАЗ ИВ", "ИВ00"}),
              QStringList({" !Заказ переменных", " !ВД=777"}));
    EXPECT_EQ(Messages, QStringList{"Неправильное имя раздела в строке 4"});
    // A second word the export does not know leaves the part in force.
    EXPECT_EQ(Header({"/ ЗАКАЗ ИВ", "ИВ00 +5 0,1", "/ ЗАКАЗ ЧЕГО-ТО", "ИВ01 +5 0,1"}),
              QStringList({" !Заказ импульсных выходов", " !ИВ00 +5 0,1",
                           " !Заказ импульсных выходов", " !ИВ01 +5 0,1"}));
    EXPECT_TRUE(Messages.isEmpty());
}

TEST_F(OldFormatTest, ExportOfAProgram)
{
    auto program = std::make_unique<TZentorProgram>();
    program->Header.Text = {"/ ЗАКАЗ ПЕРЕМЕННЫХ", "ВД 000 - 777", "/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ",
                            "КНОПКА ВД017"};
    program->Sections[0].Text = {"! пусто"};
    program->Sections[1].Present = 1;
    program->Sections[1].Text = {};
    program->AddSection(37, QStringLiteral("Сек"));
    program->Sections[37].Text = {"00 ЕСЛИ В КНОПКА", "01 ТОГДА ТС1.0.1", "Авария Ё"};
    program->AddSection(255, QString());
    program->Sections[255].Text = {"ВКЛ ДВ8"};
    program->HighestGroup = 7;
    TRecorder progress;
    Messages.clear();
    int problems = 0;
    const QStringList lines = ExportOldFormat(Compiler, *program, progress, &problems);
    EXPECT_EQ(lines, QStringList({" !заказ переменных", " !вд=777", "", "000.", " ! пусто", "",
                                  "105.", "00 если в вд017 ", "01 тогда тс1.0.1 авария ё", "",
                                  "737.", "!вкл дв8"}));
    // The errors, then what of the header a program read back from this text lacks.
    EXPECT_EQ(Messages,
              QStringList({"[737.0:5] Ошибка в строке 0 в позиции 5", "Недопустимое слово ДВ8",
                           "Секция 737 не компилируется: её строки записаны как комментарии",
                           "Формат .prg не хранит заголовок: прочитанная из файла программа "
                           "будет без заказа переменных, технологических названий"}));
    EXPECT_EQ(problems, 3);
    EXPECT_EQ(progress.Calls, QStringList({"caption Конвертация ПрП", "max 4", "pos 0", "show",
                                           "action Конвертация заголовка ПрП", "pos 1",
                                           "action Конвертация секции 000", "pos 2",
                                           "action Конвертация секции 105", "pos 3",
                                           "action Конвертация секции 737", "hide"}));
    EXPECT_EQ(program->Header.Valid, 1);
}

TEST_F(OldFormatTest, ConversionUsesThisProgramsNames)
{
    // Names left in the table by an earlier program must not resolve this one's sections.
    Compiler.Macros.Add(QStringLiteral("НАСОС"), QStringLiteral("ДВ777"));
    auto program = std::make_unique<TZentorProgram>();
    program->Header.Text = {"/ ТЕХНОЛОГИЧЕСКИЕ НАЗВАНИЯ ", "ЗАДВИЖКА    ДВ001"};
    program->Sections[0].Text = {"00 вкл задвижка"};
    program->AddSection(040, QString());
    program->Sections[040].Text = {"00 вкл насос", "01 вск"};
    program->Sections[040].NeedsCompile = 0;
    program->HighestGroup = 1;
    program->Header.Valid = 0;
    TRecorder progress;
    Messages.clear();
    EXPECT_EQ(ConvertOldFormatSections(Compiler, *program, progress), 1);
    EXPECT_EQ(program->Sections[0].Text, QStringList{"00 ВКЛ ДВ001 "});
    EXPECT_EQ(program->Sections[040].Text, QStringList({"00 вкл насос", "01 вск"}));
    EXPECT_EQ(program->Sections[040].NeedsCompile, 1);
    EXPECT_EQ(program->Sections[040].Modified, 1);
    EXPECT_EQ(Messages,
              QStringList({"Преобразование формата", "[100.0:8] Ошибка в строке 0 в позиции 8",
                           "Недопустимое слово НАСОС"}));
    EXPECT_EQ(progress.Calls, QStringList({"caption Конвертация ПрП", "max 3", "pos 0", "show",
                                           "pos 1", "action Конвертация секции 000", "pos 0",
                                           "action Конвертация секции 100", "pos 1", "hide"}));
    // The header keeps its own state; only the names went into the table.
    EXPECT_EQ(program->Header.Valid, 0);
    EXPECT_EQ(Compiler.Macros.Find(QStringLiteral("ЗАДВИЖКА")), "ДВ001");
    EXPECT_EQ(Compiler.Macros.Find(QStringLiteral("НАСОС")), "");
}
