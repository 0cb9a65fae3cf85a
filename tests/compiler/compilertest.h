#pragma once
// Shared helpers of the compiler tests: a small algorithm base of our own and a way to
// compile one section text and look at its instruction bytes and messages.

#include "compiler/algbase.h"
#include "compiler/zentorcompiler.h"
#include "model/zentorprogram.h"

#include <QStringList>

#include "qtprint.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using TByteList = std::vector<int>;

// The test catalogue: one algorithm per parameter kind and a few combinations.
//   001 one parameter of kind 1 ... 014 one parameter of kind 12 (001..014 octal = 1..12)
//   020 own memory 4, one kind-5 parameter; 021 own memory 200, no parameters
//   022 kinds 5, 3, 4, 9 with a call longer than its parameters (zero tail)
//   023 a parameter of kind 0; 024 no parameters at all; 025 call shorter than its params
//   026 own memory 255
inline const QStringList &TestBaseLines()
{
    static const QStringList lines = {
        QStringLiteral("Каталог для тестов компилятора"),
        QStringLiteral("/ Алгоритм 001 ! Вкл-откл"),
        QStringLiteral("память 0 5"),
        QStringLiteral("1   1  П      ! вкл/откл"),
        QStringLiteral("/ Алгоритм 002 ! Логика"),
        QStringLiteral("память 0 5"),
        QStringLiteral("1   2  П"),
        QStringLiteral("/ Алгоритм 003 ! Дискретный вход"),
        QStringLiteral("память 0 5"),
        QStringLiteral("1   3  П"),
        QStringLiteral("/ Алгоритм 004 ! Дискретный выход"),
        QStringLiteral("память 0 9"),
        QStringLiteral("1   4  П"),
        QStringLiteral("/ Алгоритм 005 ! Аналоговый вход"),
        QStringLiteral("память 0 5"),
        QStringLiteral("1   5  П"),
        QStringLiteral("/ Алгоритм 006 ! Аналоговый выход"),
        QStringLiteral("память 0 5"),
        QStringLiteral("1   6  П"),
        QStringLiteral("/ Алгоритм 007 ! Таймер"),
        QStringLiteral("память 0 5"),
        QStringLiteral("1   7  П"),
        QStringLiteral("/ Алгоритм 010 ! Константа 1..128"),
        QStringLiteral("память 0 4"),
        QStringLiteral("1   8  П"),
        QStringLiteral("/ Алгоритм 011 ! Константа 0..7"),
        QStringLiteral("память 0 4"),
        QStringLiteral("1   9  П"),
        QStringLiteral("/ Алгоритм 012 ! Постоянная времени"),
        QStringLiteral("память 0 5"),
        QStringLiteral("1   10 П"),
        QStringLiteral("/ Алгоритм 013 ! Коэффициент"),
        QStringLiteral("память 0 5"),
        QStringLiteral("1   11 П"),
        QStringLiteral("/ Алгоритм 014 ! Масштаб"),
        QStringLiteral("память 0 4"),
        QStringLiteral("1   12 П"),
        QStringLiteral("/ Алгоритм 020 ! Интегратор"),
        QStringLiteral("память 4 7"),
        QStringLiteral("1   5  ВХОД"),
        QStringLiteral("/ Алгоритм 021 ! Большая память"),
        QStringLiteral("память 200 5"),
        QStringLiteral("/ Алгоритм 022 ! Смешанный"),
        QStringLiteral("память 0 20"),
        QStringLiteral("1   5  ВХОД"),
        QStringLiteral("2   3  РАЗР"),
        QStringLiteral("3   4  ВЫХ"),
        QStringLiteral("4   9  РЕЖ"),
        QStringLiteral("/ Алгоритм 023 ! Неизвестный тип"),
        QStringLiteral("память 0 5"),
        QStringLiteral("1   0  П"),
        QStringLiteral("/ Алгоритм 024 ! Без параметров"),
        QStringLiteral("память 0 3"),
        QStringLiteral("/ Алгоритм 025 ! Короткий"),
        QStringLiteral("память 0 4"),
        QStringLiteral("1   4  ВЫХ"),
        QStringLiteral("/ Алгоритм 026 ! Полная память"),
        QStringLiteral("память 255 3"),
    };
    return lines;
}

struct TSectionResult
{
    int Result = 0;
    TByteList Instructions; // bytes 5 .. L-1 of the block
    TByteList Block;        // the whole block, terminator included
    QStringList Messages;
    int FragmentCount = 0;
};

class CompilerTest : public ::testing::Test
{
protected:
    CompilerTest()
    {
        Base.LoadFromLines(TestBaseLines());
        Compiler.AlgBase = &Base;
        Compiler.Messages = &Messages;
    }

    TSectionResult Compile(const QStringList &lines, int sectionNumber = 0)
    {
        Messages.clear();
        Section = TZentorSection();
        Section.Present = 1;
        Section.NeedsCompile = 1;
        Section.Text = lines;
        TSectionResult r;
        r.Result = Compiler.CompileSection(Section, sectionNumber);
        for (int i = 0; i < Section.CodeLength; ++i)
            r.Block.push_back(Section.Code[i]);
        for (int i = 5; i + 1 < Section.CodeLength; ++i)
            r.Instructions.push_back(Section.Code[i]);
        r.Messages = Messages;
        r.FragmentCount = Section.FragmentCount;
        return r;
    }
    TSectionResult Compile(const QString &line, int sectionNumber = 0)
    {
        return Compile(QStringList{line}, sectionNumber);
    }

    // Instruction bytes of a one-line section that must compile cleanly.
    TByteList Bytes(const QString &line)
    {
        const TSectionResult r = Compile(line);
        EXPECT_EQ(r.Result, 0) << line.toStdString() << ": " << r.Messages.join(u'|').toStdString();
        return r.Instructions;
    }

    // The single message of a one-line section that must fail.
    QString Failure(const QString &line)
    {
        const TSectionResult r = Compile(line);
        EXPECT_EQ(r.Result, -1) << line.toStdString();
        EXPECT_EQ(r.Messages.size(), 1) << r.Messages.join(u'|').toStdString();
        return r.Messages.value(0);
    }

    TAlgBase Base;
    TZentorCompiler Compiler;
    QStringList Messages;
    TZentorSection Section;
};
