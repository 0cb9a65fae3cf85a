#pragma once
// What the widget tests share: scripted answers for every question and dialog, a program
// directory of their own, and a main window built as the program builds it.

#include "core/textfile.h"
#include "gui/filecommands.h"
#include "gui/messagelist.h"
#include "gui/programform.h"
#include "gui/userdialogs.h"
#include "gui/zentorforms.h"
#include "waituntil.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <deque>
#include <functional>
#include <gtest/gtest.h>

// Types text key by key as a keyboard does: every character, Cyrillic included, arrives as
// a key press and release carrying it; "\n" is the Return key.
inline void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c == u'\n')
            QTest::keyClick(widget, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Answers questions, file dialogs and modal windows from queues, and remembers what was
// asked. A question with no answer queued takes its default answer.
class TScriptedDialogs : public TUserDialogs
{
public:
    struct TAsked
    {
        QString Text;
        QString Caption;
        TButtons Buttons;
        TIcon Icon;
        TAnswer Default;
    };

    std::deque<TAnswer> Answers;
    std::deque<std::pair<QString, int>> Files; // name ("" = cancel) and filter index
    std::deque<std::function<int(QDialog *)>> Windows;
    std::vector<TAsked> Asked;
    std::vector<TFileDialogSpec> FileDialogs;
    std::vector<QString> WindowTitles;

    TAnswer Ask(QWidget *, const QString &text, const QString &caption, TButtons buttons,
                TIcon icon, TAnswer def) override
    {
        Asked.push_back({text, caption, buttons, icon, def});
        if (Answers.empty())
            return def;
        const TAnswer a = Answers.front();
        Answers.pop_front();
        return a;
    }
    bool ChooseOpenFile(QWidget *, TFileDialogSpec &request) override { return Choose(request); }
    bool ChooseSaveFile(QWidget *, TFileDialogSpec &request) override { return Choose(request); }
    int Exec(QDialog *dialog) override
    {
        WindowTitles.push_back(dialog->windowTitle());
        if (Windows.empty())
            return QDialog::Rejected;
        auto f = Windows.front();
        Windows.pop_front();
        return f(dialog);
    }

    QString LastQuestion() const { return Asked.empty() ? QString() : Asked.back().Text; }

private:
    bool Choose(TFileDialogSpec &request)
    {
        FileDialogs.push_back(request);
        if (Files.empty())
            return false;
        const auto f = Files.front();
        Files.pop_front();
        if (f.first.isEmpty())
            return false;
        request.FileName = f.first;
        request.FilterIndex = f.second;
        return true;
    }
};

// A program directory and a folder for files, both removed afterwards.
class TGuiTest : public ::testing::Test
{
protected:
    QTemporaryDir Temp;
    TScriptedDialogs Dialogs;

    QString Home() const { return Temp.path() + QStringLiteral("/home/"); }
    QString ExeDir() const { return Temp.path() + QStringLiteral("/bin/"); }
    QString File(const QString &name) const { return Temp.path() + u'/' + name; }

    void SetUp() override
    {
        ASSERT_TRUE(Temp.isValid());
        QDir().mkpath(Home());
        QDir().mkpath(ExeDir());
    }

    TProgramPaths Paths() const
    {
        return TProgramPaths::Resolve(ExeDir(), Home(), QString(), Temp.path());
    }

    std::unique_ptr<TProgramForm> MakeForm(const QStringList &args = {})
    {
        TZentorForms::TOptions options;
        options.ShowReport = false;
        options.DirectPortIO = false;
        return TZentorForms::Create(Dialogs, Paths(), args, options);
    }

    // The example algorithm base in the program directory, as a user would keep it.
    void CopyExampleBase()
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(ZENTOR_SOURCE_DIR "/examples/BaseAlgs.alg"),
                                Home() + QStringLiteral("BaseAlgs.alg")));
    }

    // Opens a copy of examples/demo.zen as a person does: yes to the question, the file chosen.
    void OpenExample(TProgramForm &form)
    {
        const QString demo = File(QStringLiteral("demo.zen"));
        QFile::copy(QStringLiteral(ZENTOR_SOURCE_DIR "/examples/demo.zen"), demo);
        Dialogs.Answers.push_back(TUserDialogs::AnswerYes);
        Dialogs.Files.push_back({demo, 1});
        TFileCommands::Open(form);
    }

    // Writes lines as the configuration file of the program directory.
    void WriteIni(const QStringList &lines)
    {
        QString error;
        ASSERT_TRUE(WriteTextFile(Home() + QStringLiteral("ZentorEditor.ini"), lines, error))
            << error.toStdString();
    }

    QStringList ReadLines(const QString &path)
    {
        QStringList lines;
        QString error;
        EXPECT_TRUE(ReadTextFile(path, lines, error)) << error.toStdString();
        return lines;
    }
};
