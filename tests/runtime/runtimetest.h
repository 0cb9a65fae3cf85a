#pragma once
// A program of a few sections compiled from text (with the compiler tests' algorithm
// catalogue and, when given, a header), made ready to run on a scan engine.

#include "../compiler/compilertest.h"
#include "../utf8text.h"

#include "core/progress.h"
#include "runtime/runprogram.h"
#include "runtime/scanengine.h"

#include <memory>
#include <utility>
#include <vector>

class RuntimeTest : public CompilerTest
{
protected:
    using TSections = std::vector<std::pair<int, QStringList>>;

    // Compiles the sections (number, lines) under the header and prepares them to run;
    // false when they do not compile.
    bool Build(const TSections &sections, const QStringList &header = {})
    {
        Program = std::make_unique<TZentorProgram>();
        Program->Messages = &Messages;
        Program->Header.Text = header;
        Program->DeleteSection(0);
        for (const auto &[n, lines] : sections) {
            Program->AddGroup(n / 32);
            Program->AddSection(n, QString());
            Program->CommitSectionText(n, lines);
        }
        Messages.clear();
        if (!Compiler.CompileProgram(*Program, NoProgress()))
            return false;
        Prepared();
        return true;
    }
    void Load(const TSections &sections, const QStringList &header = {})
    {
        ASSERT_TRUE(Build(sections, header)) << Messages.join(u'\n').toStdString();
    }
    void Load(const QStringList &section) { Load({{0, section}}); }

    // The program as it stands (its blocks may have been changed by hand) prepared again.
    void Prepared()
    {
        Run = std::make_unique<TRunProgram>();
        Run->Prepare(*Program, &Base);
        Engine = std::make_unique<TScanEngine>(*Run);
    }

    TVarRef V(const char *word)
    {
        TVarRef v;
        QString error;
        EXPECT_TRUE(Run->ParseVariable(S(word), v, error)) << error.toStdString();
        return v;
    }
    int Get(const char *word) { return Engine->State.Get(V(word)); }
    void Set(const char *word, int value) { Engine->State.Set(V(word), value); }
    void Scan(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            Engine->Scan();
    }

    std::unique_ptr<TZentorProgram> Program;
    std::unique_ptr<TRunProgram> Run;
    std::unique_ptr<TScanEngine> Engine;
};
