#pragma once

#include "engine/PlanningModel.h"
#include "engine/Scheduler.h"
#include "store/Database.h"
#include "store/PlanReader.h"
#include "store/TableReader.h"

#include <QCryptographicHash>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <vector>

// A fresh planning database in a temporary folder, opened as the shared
// connection for the lifetime of the object.
class ScratchDatabase
{
public:
    ScratchDatabase()
    {
        m_path = m_dir.filePath(QStringLiteral("Vorlat.db"));
        Database::open(m_path);
    }
    ~ScratchDatabase() { Database::close(); }

    const QString& path() const { return m_path; }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Every row of a table in row-id order, the columns after 编号 as text
// (NULL as "H").
inline std::vector<QStringList> tableRows(const QString& table)
{
    std::vector<QStringList> rows;
    TableReader reader(table);
    while (reader.next()) {
        QStringList row;
        for (int i = 1; i < reader.columnCount(); ++i)
            row << reader.text(i);
        rows.push_back(row);
    }
    return rows;
}

// SHA-256 of a file's bytes, empty when it cannot be read: tells whether a
// command left a file exactly as it was.
inline QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Reads the plan of the open database into the model and runs the scheduling
// on it, as vorlat-cli schedule does: a refusal of the reader comes back as
// the run's refusal.
inline ScheduleOutcome scheduleOpenDatabase(PlanningModel& model, std::uint32_t seed)
{
    const Status read = PlanReader::Load(model);
    if (!read.ok()) {
        ScheduleOutcome refused;
        refused.status = read;
        return refused;
    }
    return Scheduler(model).RunScheduling(seed);
}
