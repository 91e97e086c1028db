#pragma once

#include <QString>

namespace layout {

// How the stored-layout code reports a failure: returned (or handed back next to a produced
// value), never thrown.
struct LayoutResult
{
    bool ok = true;
    QString error; // "<file>:<line>: <message>" for layout text; empty when ok
    int line = 0;  // line of the fault in layout text, 0 when ok or not about a line

    explicit operator bool() const { return ok; }

    static LayoutResult Failure(const QString &message, int line = 0) { return {false, message, line}; }
};

} // namespace layout
