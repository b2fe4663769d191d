#pragma once

#include "store/Database.h"

#include <QTemporaryDir>
#include <QString>

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
