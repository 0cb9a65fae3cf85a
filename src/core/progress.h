#pragma once
// How long operations (compile, decompile, conversion, transfers) show where they are.
// The desktop puts its progress window behind this; the command-line tool and the tests
// use the silent default.

#include <QString>

class TProgress
{
public:
    virtual ~TProgress() = default;
    virtual void SetCaption(const QString &) {}
    virtual void SetMaximum(int) {}
    virtual void SetPosition(int) {}
    virtual void SetAction(const QString &) {}
    // A second line beside the action (a transfer: the bytes sent of the total).
    virtual void SetDetail(const QString &) {}
    virtual void Show() {}
    virtual void Hide() {}
};

// The silent progress used when nobody watches.
TProgress &NoProgress();
