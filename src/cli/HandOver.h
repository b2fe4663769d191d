#pragma once

#include <QString>

// The program beside vorlat-cli that runs the document commands (it holds
// every command); vorlat-cli itself loads no workbook or painting libraries.
inline constexpr char kDocumentsProgram[] = "vorlat-cli-docs";

// Replaces this process by kDocumentsProgram from the folder of this program,
// with the same arguments (argv as main received it), so that its output and
// exit code are the command's own. Returns only when that program is missing
// or cannot run: then it prints why, naming it, and returns ExitStoreFailure.
// `command` is the command's name, for that message. Needs a QCoreApplication.
int handOverToDocuments(const QString& command, char* argv[]);
