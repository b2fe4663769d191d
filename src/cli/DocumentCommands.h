#pragma once

#include "cli/Cli.h"

// The commands that read or write workbooks (vorlat_excel) or paint pages
// (vorlat_print), run by vorlat-cli-docs. Each takes the arguments after its
// name and returns an exit code.
int runImportAssignment(const QStringList& args);
int runExport(const QStringList& args);
int runNotice(const QStringList& args);
int runCounts(const QStringList& args);

// Runs the document command `name` (one that isDocumentCommand names).
int runDocumentCommand(const QString& name, const QStringList& args);

// True when the command paints pages (an export to a PDF or to pictures, the
// day's notice) and so needs a QGuiApplication rather than a QCoreApplication.
bool commandPaints(const QStringList& args);
