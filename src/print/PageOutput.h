#pragma once

#include "base/OutputProgress.h"

#include <QString>

class PrintDocument;

// Writes a document to files. Nothing half-made is left behind: every file is
// written under a temporary name beside its target and renamed once all are
// whole; a failure or a cancel removes what was written. A failure names the
// file and says why (folder missing or not writable, disk full).
namespace PageOutput {

// One PDF of all pages (fonts embedded, text selectable).
OutputResult WritePdf(const PrintDocument& document, const QString& path, const OutputProgress& progress = {});

// One PNG per picture into `folder` (created when missing, its parent must
// exist), named after the class or teacher (SafeFileName) + ".png"; two
// pictures never share a file.
OutputResult WritePictures(const PrintDocument& document, const QString& folder,
                           const OutputProgress& progress = {});

// A name usable as one file name inside a folder: "/", NUL, control
// characters and the characters other systems refuse (\ : * ? " < > |) become
// "_", a leading dot is "_" (no hidden files, no "." or ".."), surrounding
// blanks go, and the name is cut to leave room for `extension`
// within 255 bytes. Empty becomes "_".
QString SafeFileName(const QString& name, const QString& extension);

} // namespace PageOutput
