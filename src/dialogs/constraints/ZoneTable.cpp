#include "dialogs/constraints/ZoneTable.h"

#include "dialogs/plan/PlanTables.h"
#include "store/ListRewrite.h"
#include "store/PlanStore.h"
#include "store/Schema.h"

#include <QHash>

void ZoneTable::reset(const QStringList& classNames)
{
    m_records.clear();
    m_records.reserve(classNames.size() * kSlots * kRecord);
    for (const QString& name : classNames)
        for (int s = 0; s < kSlots; ++s) {
            m_records << name;
            for (int d = 0; d < kDays; ++d)
                m_records << noZone();
        }
}

void ZoneTable::merge(const std::vector<QStringList>& storedRows)
{
    const size_t blocks = storedRows.size() / kSlots;
    QHash<QString, size_t> lastBlock;
    for (size_t b = 0; b < blocks; ++b)
        lastBlock.insert(storedRows[b * kSlots].value(0), b);
    for (int c = 0; c < classCount(); ++c) {
        const auto found = lastBlock.constFind(m_records[static_cast<qsizetype>(c) * kSlots * kRecord]);
        if (found == lastBlock.constEnd())
            continue;
        for (int s = 0; s < kSlots; ++s) {
            const QStringList& row = storedRows[found.value() * kSlots + static_cast<size_t>(s)];
            for (int d = 0; d < kDays; ++d)
                setZone(c, s, d, row.value(1 + d, noZone()));
        }
    }
}

void ZoneTable::addToGrid(int c, int s, int days, int periods, std::vector<bool>& chosen) const
{
    for (int d = 0; d < days && d < kDays; ++d) {
        const QString& value = zone(c, s, d);
        if (value == noZone())
            continue;
        for (int p = 0; p < periods; ++p)
            if (value.contains(QChar(u'0' + p)))
                chosen[static_cast<size_t>(d * periods + p)] = true;
    }
}

void ZoneTable::storeGrid(int c, int s, int days, int periods, const std::vector<bool>& chosen)
{
    for (int d = 0; d < days && d < kDays; ++d) {
        const QString kept = zone(c, s, d) == noZone() ? QString() : zone(c, s, d);
        QString value;
        for (int p = 0; p < kMaxPeriods; ++p) {
            // Periods after the day's last keep their marks: they apply again
            // once the day has them.
            const bool marked = p < periods ? chosen[static_cast<size_t>(d * periods + p)]
                                            : kept.contains(QChar(u'0' + p));
            if (marked)
                value += QChar(u'0' + p);
        }
        setZone(c, s, d, value.isEmpty() ? noZone() : value);
    }
}

std::vector<QStringList> ZoneTable::rows() const
{
    std::vector<QStringList> rows;
    rows.reserve(static_cast<size_t>(m_records.size() / kRecord));
    for (qsizetype i = 0; i < m_records.size(); i += kRecord)
        rows.push_back(m_records.mid(i, kRecord));
    return rows;
}

std::vector<QStringList> ZoneTable::readStored(const QString& table)
{
    return PlanTables::readListRows(table, QStringLiteral("班级"), 1, 8);
}

void ZoneTable::save(const QString& table) const
{
    if (table == Schema::kSubjectZonesTable)
        PlanStore::saveSubjectZones(rows());
    else
        PlanStore::saveTeacherZones(rows());
}
