#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// The entries of a zip package (.xlsx, .ods) held in memory, read one at a
// time with a cap on what an entry may inflate to. The cap is checked both
// against the size the archive records and against the bytes that really come
// out of the decompressor, so neither a lying header nor a zip bomb can make
// the reader allocate more than the cap.
//
// Failures are thrown as SheetLimitError (the cap) or ZipPackage::Damaged
// (anything else), each with a reason in the user's words.
class ZipPackage
{
public:
    static constexpr qint64 kMaxEntryBytes = 32 * 1024 * 1024;
    static constexpr int kMaxEntries = 10000;

    struct Damaged
    {
        QString reason;
    };

    // Reads the central directory. Throws Damaged.
    explicit ZipPackage(const QByteArray& content);

    bool contains(const QString& name) const;
    // Inflates one entry; false when there is no entry of that name.
    bool read(const QString& name, QByteArray& out) const;

private:
    struct Entry
    {
        QString name;
        quint16 flags = 0;
        quint16 method = 0;
        quint32 compressedSize = 0;
        quint32 size = 0;
        quint32 localOffset = 0;
    };
    const Entry* find(const QString& name) const;

    const QByteArray& m_content;
    std::vector<Entry> m_entries;
};
