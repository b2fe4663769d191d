#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// The zones of every (class, subject slot) as 科目要排节次 and 教师要排节次
// store them: per class 24 records of 8 texts, the class name and the zone
// of days 1..7. A zone is the 0-based periods allowed on that day as digits
// in ascending order ("013"), or "9" for no zone on that day.
class ZoneTable
{
public:
    static constexpr int kSlots = 24;
    static constexpr int kRecord = 8;
    static constexpr int kDays = 7;
    static constexpr int kMaxPeriods = 9; // periods 0..8: one digit each
    static QString noZone() { return QStringLiteral("9"); }

    // 24 records [name, "9" x 7] per class.
    void reset(const QStringList& classNames);
    // Copies stored rows (8 texts each, read up to the first row without a
    // class) block by block: a block is 24 rows, a trailing incomplete block
    // is ignored, a block counts for the class its first row names, and the
    // last block of a name wins. Blocks of classes that are gone are dropped.
    void merge(const std::vector<QStringList>& storedRows);

    int classCount() const { return static_cast<int>(m_records.size() / (kSlots * kRecord)); }
    // Zone of day d (0..6) for class c and slot s (0..23).
    const QString& zone(int c, int s, int d) const { return m_records[index(c, s, d)]; }
    void setZone(int c, int s, int d, const QString& zone) { m_records[index(c, s, d)] = zone; }

    // Marks in chosen (days x periods flags, day-major) every period of the
    // pair's zone on the first `days` days: the union with what is there.
    void addToGrid(int c, int s, int days, int periods, std::vector<bool>& chosen) const;
    // The grid's column d becomes the zone of day d for d < days ("9" when the
    // column is empty); later days, and on each day the marks of periods
    // after the last, keep their values.
    void storeGrid(int c, int s, int days, int periods, const std::vector<bool>& chosen);

    // One row per record, in table order.
    std::vector<QStringList> rows() const;
    // Reads the stored rows of a zone table. Throws StoreError.
    static std::vector<QStringList> readStored(const QString& table);
    // Rewrites the table in one transaction. Throws StoreError.
    void save(const QString& table) const;

private:
    qsizetype index(int c, int s, int d) const { return (static_cast<qsizetype>(c) * kSlots + s) * kRecord + 1 + d; }
    QStringList m_records;
};
