#include "cli/Cli.h"

#include "store/Database.h"
#include "store/StoreError.h"

#include <QDir>

#include <cstdio>

int exitCodeFor(const Failure& failure)
{
    switch (failure.kind()) {
    case Failure::Kind::Database:
    case Failure::Kind::File:
        return ExitStoreFailure;
    case Failure::Kind::Refused:
        return ExitRefused;
    }
    return ExitStoreFailure;
}

int report(const Failure& failure)
{
    printErr(failure.message());
    return exitCodeFor(failure);
}

void printOut(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printErr(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

CommandLine::CommandLine(const QStringList& args, const QStringList& valueOptions, const QStringList& switchOptions)
{
    QStringList allValueOptions = valueOptions;
    allValueOptions << QStringLiteral("--db");
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg.startsWith(QLatin1String("--"))) {
            QString name = arg;
            QString inlineValue;
            bool hasInline = false;
            const qsizetype eq = arg.indexOf(QLatin1Char('='));
            if (eq > 0) {
                name = arg.left(eq);
                inlineValue = arg.mid(eq + 1);
                hasInline = true;
            }
            if (allValueOptions.contains(name)) {
                if (hasInline) {
                    m_values[name] = inlineValue;
                } else if (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1String("--"))) {
                    m_values[name] = args[++i];
                } else {
                    m_error = QStringLiteral("选项 %1 需要一个值").arg(name);
                    return;
                }
            } else if (switchOptions.contains(name) && !hasInline) {
                m_values[name] = QString();
            } else {
                m_error = QStringLiteral("未知选项 %1").arg(arg);
                return;
            }
        } else {
            m_positional << arg;
        }
    }
}

QString CommandLine::value(const QString& option, const QString& fallback) const
{
    const auto it = m_values.find(option);
    return it == m_values.end() ? fallback : it->second;
}

QString CommandLine::databasePath() const
{
    return value(QStringLiteral("--db"), QDir::current().filePath(Database::defaultFileName()));
}

int TextTable::displayWidth(const QString& text)
{
    int width = 0;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (ch.isLowSurrogate())
            continue;
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3)
            || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60)
            || (u >= 0xFFE0 && u <= 0xFFE6) || ch.isHighSurrogate();
        width += wide ? 2 : 1;
    }
    return width;
}

QString TextTable::render(int gap) const
{
    std::vector<int> widths;
    for (const QStringList& row : m_rows)
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (widths.size() <= static_cast<size_t>(i))
                widths.resize(static_cast<size_t>(i) + 1, 0);
            widths[static_cast<size_t>(i)] = std::max(widths[static_cast<size_t>(i)], displayWidth(row[i]));
        }
    QStringList lines;
    for (const QStringList& row : m_rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size())
                line += QString(widths[static_cast<size_t>(i)] - displayWidth(row[i]) + gap, QLatin1Char(' '));
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

bool openDatabaseForCommand(const QString& path, bool readOnly)
{
    try {
        Database::open(path, readOnly ? Database::Opening::ReadOnly : Database::Opening::ExistingOnly);
        return true;
    } catch (const StoreError& error) {
        report(error.failure());
        return false;
    }
}
