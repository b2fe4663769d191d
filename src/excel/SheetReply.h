#pragma once

#include "excel/SheetCells.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// The reply of the reading child to the program: the reason the file was
// refused (empty when it was read) and the cells.
//
// Compact: every distinct text is sent once and the cells name texts by
// number, so a sheet that repeats one long text in every cell costs a few
// bytes a cell, and the program keeps one copy of each text (the cells share
// it). Streamed: the program decodes the reply as it arrives, with no copy of
// the whole reply.
//
//   header  "VSHR", version 2, rowCount
//   'T'     a text: its UTF-8 bytes; the texts are numbered from 2 in order
//   'R'     a row: its index (ascending), then 26 text numbers
//           (0 the empty cell "H", 1 the empty text)
//   'E'     the end: the reason as UTF-8; nothing follows
// Numbers are unsigned LEB128. The writer checks every text and the reason
// with the same rules the reader applies (SheetCells' cell rule, at most
// kMaxReasonChars characters of reason), so a reply it writes is never
// refused as malformed.
namespace SheetReply {

constexpr int kMaxReasonChars = 1000;

// The reason as it is sent: cut to kMaxReasonChars characters with "…" at
// the end when it is longer.
QString CappedReason(const QString& reason);

// Writes the reply in pieces of about 64 KB to sink, which returns false when
// it cannot take them. A cell beyond the cell rule turns into the rule's
// refusal. Returns false when sink failed.
using Sink = std::function<bool(const char* data, qsizetype size)>;
bool Write(const QString& reason, const SheetCells& cells, const Sink& sink);

// The whole reply as one block (tests, small sheets).
QByteArray Encode(const QString& reason, const SheetCells& cells);

// Reads a reply piece by piece.
class Decoder
{
public:
    // Takes the next bytes; false once the reply is malformed (later pieces
    // are then ignored).
    bool feed(const char* data, qsizetype size);
    // True when a whole, well-formed reply has arrived; hands it over.
    bool finish(QString& reason, SheetCells& cells);

private:
    enum class Step { Header, Records, Done, Bad };
    // Each returns false while the record is not whole yet.
    bool readHeader();
    bool readRecord();
    bool fail();

    Step m_step = Step::Header;
    QByteArray m_pending;
    qsizetype m_offset = 0; // bytes of m_pending already decoded
    QStringList m_texts;
    int m_lastRow = -1;
    int m_rows = 0;
    QString m_reason;
    SheetCells m_cells;
};

} // namespace SheetReply
