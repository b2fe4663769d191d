#include "excel/SheetReply.h"

#include "excel/SheetParser.h"
#include "store/TextRules.h"

#include <QHash>

#include <new>

namespace {

const QByteArray kMagic("VSHR", 4);
constexpr char kVersion = 2;
constexpr qsizetype kChunkBytes = 64 * 1024;

// The cell rule as the reply applies it, in one place for writer and reader:
// the longest text a cell may hold, and what becomes of a longer one before
// it is sent (here: cut to one character beyond the limit, which marks it as
// too long for the import to judge).
constexpr qsizetype kMaxSentCellChars = SheetCells::kMaxCellChars + 1;
QString sentCellText(int, int, const QString& text)
{
    QString sent = text;
    SheetCells::clipCellText(sent);
    return sent;
}

// UTF-8 takes at most 3 bytes for each UTF-16 unit of a QString.
constexpr qsizetype kMaxTextBytes = kMaxSentCellChars * 3;
constexpr qsizetype kMaxReasonBytes = qsizetype(SheetReply::kMaxReasonChars) * 3;
constexpr qsizetype kMaxTexts = qsizetype(SheetCells::kColumns) * SheetCells::kMaxUsedRows;

void putNumber(QByteArray& out, quint64 value)
{
    do {
        char byte = static_cast<char>(value & 0x7F);
        value >>= 7;
        if (value)
            byte = static_cast<char>(byte | 0x80);
        out.append(byte);
    } while (value);
}

void putText(QByteArray& out, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    putNumber(out, static_cast<quint64>(utf8.size()));
    out.append(utf8);
}

void putEnd(QByteArray& out, const QString& reason)
{
    out.append('E');
    putText(out, SheetReply::CappedReason(reason));
}

enum class Got { Value, More, Bad };

// A number at offset, which moves past it when it is whole.
Got takeNumber(const QByteArray& in, qsizetype& offset, quint64& value)
{
    value = 0;
    for (int shift = 0, i = 0; i < 10; ++i, shift += 7) {
        if (offset + i >= in.size())
            return Got::More;
        const quint8 byte = static_cast<quint8>(in[offset + i]);
        value |= quint64(byte & 0x7F) << shift;
        if (!(byte & 0x80)) {
            offset += i + 1;
            return Got::Value;
        }
    }
    return Got::Bad;
}

Got takeText(const QByteArray& in, qsizetype& offset, qsizetype maxBytes, QString& text)
{
    qsizetype at = offset;
    quint64 length = 0;
    const Got got = takeNumber(in, at, length);
    if (got != Got::Value)
        return got;
    if (length > static_cast<quint64>(maxBytes))
        return Got::Bad;
    if (in.size() - at < static_cast<qsizetype>(length))
        return Got::More;
    text = QString::fromUtf8(in.constData() + at, static_cast<qsizetype>(length));
    offset = at + static_cast<qsizetype>(length);
    return Got::Value;
}

} // namespace

QString SheetReply::CappedReason(const QString& reason)
{
    if (reason.size() <= kMaxReasonChars)
        return reason;
    qsizetype cut = kMaxReasonChars - 1;
    if (reason.at(cut - 1).isHighSurrogate())
        --cut;
    return reason.left(cut) + QChar(0x2026);
}

bool SheetReply::Write(const QString& reason, const SheetCells& cells, const Sink& sink)
{
    QByteArray chunk;
    chunk.reserve(kChunkBytes + 1024);
    chunk.append(kMagic);
    chunk.append(kVersion);
    putNumber(chunk, static_cast<quint64>(reason.isEmpty() ? cells.rowCount() : 0));
    if (!reason.isEmpty()) {
        putEnd(chunk, reason);
        return sink(chunk.constData(), chunk.size());
    }

    QString refusal;
    try {
        QHash<QString, quint64> numbers;
        const QString& empty = TextRules::emptyMarker();
        quint64 ids[SheetCells::kColumns];
        for (const int r : cells.usedRows()) {
            const qsizetype recordStart = chunk.size();
            try {
                for (int c = 0; c < SheetCells::kColumns; ++c) {
                    const QString& cell = cells.cell(r, c);
                    if (cell == empty) {
                        ids[c] = 0;
                    } else if (cell.isEmpty()) {
                        ids[c] = 1;
                    } else {
                        // What the program would refuse is dealt with here.
                        const QString text = sentCellText(r, c, cell);
                        auto known = numbers.constFind(text);
                        if (known == numbers.constEnd()) {
                            known = numbers.insert(text, quint64(numbers.size()) + 2);
                            chunk.append('T');
                            putText(chunk, text);
                        }
                        ids[c] = known.value();
                    }
                }
                chunk.append('R');
                putNumber(chunk, static_cast<quint64>(r));
                for (const quint64 id : ids)
                    putNumber(chunk, id);
            } catch (...) {
                chunk.truncate(recordStart); // only whole records go out
                throw;
            }
            if (chunk.size() >= kChunkBytes) {
                if (!sink(chunk.constData(), chunk.size()))
                    return false;
                chunk.clear();
            }
        }
    } catch (const SheetLimitError& limit) {
        refusal = limit.message();
    } catch (const std::bad_alloc&) {
        refusal = SheetParser::OutOfMemoryReason();
    }
    // A refusal after rows were sent makes the program drop them.
    putEnd(chunk, refusal);
    return sink(chunk.constData(), chunk.size());
}

QByteArray SheetReply::Encode(const QString& reason, const SheetCells& cells)
{
    QByteArray reply;
    Write(reason, cells, [&reply](const char* data, qsizetype size) {
        reply.append(data, size);
        return true;
    });
    return reply;
}

bool SheetReply::Decoder::fail()
{
    m_step = Step::Bad;
    m_pending = QByteArray();
    m_offset = 0;
    m_texts = QStringList();
    m_cells = SheetCells();
    return false;
}

bool SheetReply::Decoder::readHeader()
{
    if (m_pending.size() < kMagic.size() + 1)
        return false;
    if (!m_pending.startsWith(kMagic) || m_pending[kMagic.size()] != kVersion)
        return fail();
    qsizetype at = kMagic.size() + 1;
    quint64 rowCount = 0;
    const Got got = takeNumber(m_pending, at, rowCount);
    if (got == Got::More)
        return false;
    if (got == Got::Bad || rowCount > quint64(SheetCells::kMaxRows))
        return fail();
    m_cells.resize(static_cast<int>(rowCount));
    m_offset = at;
    m_step = Step::Records;
    return true;
}

bool SheetReply::Decoder::readRecord()
{
    if (m_offset >= m_pending.size())
        return false;
    qsizetype at = m_offset + 1;
    switch (m_pending[m_offset]) {
    case 'T': {
        QString text;
        const Got got = takeText(m_pending, at, kMaxTextBytes, text);
        if (got == Got::More)
            return false;
        if (got == Got::Bad || text.size() > kMaxSentCellChars || m_texts.size() >= kMaxTexts)
            return fail();
        m_texts << text;
        break;
    }
    case 'R': {
        quint64 values[1 + SheetCells::kColumns];
        for (quint64& value : values) {
            const Got got = takeNumber(m_pending, at, value);
            if (got == Got::More)
                return false;
            if (got == Got::Bad)
                return fail();
        }
        const quint64 row = values[0];
        if (row >= quint64(m_cells.rowCount()) || static_cast<int>(row) <= m_lastRow
            || m_rows >= SheetCells::kMaxUsedRows)
            return fail();
        m_lastRow = static_cast<int>(row);
        ++m_rows;
        try {
            for (int c = 0; c < SheetCells::kColumns; ++c) {
                const quint64 id = values[1 + c];
                if (id == 0)
                    continue;
                if (id == 1)
                    m_cells.setOther(m_lastRow, c);
                else if (id - 2 < quint64(m_texts.size()))
                    m_cells.setString(m_lastRow, c, m_texts[static_cast<qsizetype>(id - 2)]); // shares the text
                else
                    return fail();
            }
        } catch (const SheetLimitError&) {
            return fail();
        }
        break;
    }
    case 'E': {
        const Got got = takeText(m_pending, at, kMaxReasonBytes, m_reason);
        if (got == Got::More)
            return false;
        if (got == Got::Bad || m_reason.size() > kMaxReasonChars)
            return fail();
        m_step = Step::Done;
        break;
    }
    default:
        return fail();
    }
    m_offset = at;
    return true;
}

bool SheetReply::Decoder::feed(const char* data, qsizetype size)
{
    if (m_step == Step::Bad)
        return false;
    if (m_step == Step::Done)
        return size == 0 || fail(); // nothing may follow the end
    m_pending.append(data, size);
    if (m_step == Step::Header && !readHeader())
        return m_step != Step::Bad;
    while (m_step == Step::Records && readRecord()) {
    }
    if (m_step == Step::Bad)
        return false;
    if (m_step == Step::Done && m_offset != m_pending.size())
        return fail();
    // Only the tail of a record not yet whole is kept.
    m_pending.remove(0, m_offset);
    m_offset = 0;
    return true;
}

bool SheetReply::Decoder::finish(QString& reason, SheetCells& cells)
{
    if (m_step != Step::Done)
        return false;
    reason = m_reason;
    cells = m_reason.isEmpty() ? std::move(m_cells) : SheetCells();
    m_cells = SheetCells();
    m_texts = QStringList();
    return true;
}
