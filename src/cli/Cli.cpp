#include "cli/Cli.h"

#include "store/Database.h"
#include "store/StoreError.h"

#include <QDir>

#include <cstdio>
#include <exception>
#include <functional>
#include <map>
#include <new>
#include <utility>

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

namespace {

QString* capturedOut = nullptr;
QString* capturedErr = nullptr;

} // namespace

OutputCapture::OutputCapture(QString& out, QString& err)
{
    capturedOut = &out;
    capturedErr = &err;
}

OutputCapture::~OutputCapture()
{
    capturedOut = nullptr;
    capturedErr = nullptr;
}

void printOut(const QString& text)
{
    if (capturedOut) {
        *capturedOut += text + QLatin1Char('\n');
        return;
    }
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printErr(const QString& text)
{
    if (capturedErr) {
        *capturedErr += text + QLatin1Char('\n');
        return;
    }
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
                    m_repeated[name] << inlineValue;
                } else if (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1String("--"))) {
                    m_values[name] = args[++i];
                    m_repeated[name] << m_values[name];
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

QStringList CommandLine::values(const QString& option) const
{
    const auto it = m_repeated.find(option);
    return it == m_repeated.end() ? QStringList() : it->second;
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

Command::Command(Spec spec)
    : m_spec(std::move(spec))
{
}

bool Command::parse(const QStringList& args)
{
    m_line.emplace(args, m_spec.valueOptions, m_spec.switchOptions);
    if (!m_line->ok()) {
        printErr(m_line->error());
        return false;
    }
    if (m_line->positional().size() != m_spec.positional) {
        printErr(m_spec.usage.isEmpty()
                     ? QStringLiteral("%1 不接受参数 %2").arg(m_spec.name, m_line->positional().value(m_spec.positional))
                     : m_spec.usage);
        return false;
    }
    return true;
}

bool Command::openDatabase(bool readOnly) const
{
    try {
        Database::open(m_line->databasePath(), readOnly ? Database::Opening::ReadOnly : Database::Opening::ExistingOnly);
        return true;
    } catch (const StoreError& error) {
        report(error.failure());
        return false;
    }
}

namespace {

QString usage()
{
    return QStringLiteral(
        "用法: vorlat-cli <命令> [选项]\n"
        "\n"
        "命令:\n"
        "  init [--db PATH] [--demo]                     创建排课数据库（--demo 填入示例学校）\n"
        "  show [--db PATH]                              显示教学计划\n"
        "  schedule [--db PATH] [--seed N] [--json] [--save]\n"
        "                                                自动排课\n"
        "  solve [--db PATH] [--seed N] [--time-limit S] [--threads N] [--no-spread]\n"
        "        [--repair [--pin 班级,星期,节次]… [--pins FILE]] [--json] [--save]\n"
        "                                                排出没有冲突的完整课表，或修复已保存的课表\n"
        "                                                （--pin、--pins：修复时保留的课）\n"
        "  timetable [--db PATH] [--teachers] [--json]   显示已保存的课表\n"
        "  import-assignment FILE [--db PATH]            导入教师分工表\n"
        "  export OUT [--teachers] [--each] [--db PATH]  导出课表：OUT 为 .xlsx 工作簿、.pdf 文件或放图片的文件夹；\n"
        "                                                --each 每个班级（或每位教师）一页\n"
        "\n"
        "日常调课与代课:\n"
        "  calendar [--start YYYY-MM-DD --weeks N] [--holiday DATE…] [--makeup DATE=WEEKDAY…]\n"
        "                                                设置或显示校历（放假、调休）\n"
        "  absence [--teacher NAME --from DATE --to DATE [--periods 1,2,…] [--reason TEXT]]\n"
        "          [--remove ID]                         登记、列出或删除教师请假\n"
        "  substitutes --date DATE [--json]              当天受影响的课和代课建议\n"
        "  cover --date DATE --period N --class NAME (--by NAME | --swap [DATE:]N | --self-study | --clear)\n"
        "                                                选定一节课的代课、调课或自习\n"
        "  notice --date DATE OUT.pdf|OUT.png            代课单\n"
        "  notice --teacher NAME [--from DATE] [--days N] [--json]\n"
        "                                                一位教师近几天的课务变动\n"
        "  counts --month YYYY-MM [OUT.xlsx] [--json]    每位教师当月代课和缺课节数\n"
        "\n"
        "默认数据库为当前文件夹下的 Vorlat.db。\n"
        "退出码: 0 完成, 1 数据库或文件错误, 2 用法错误, 3 被规则拒绝或无法排出, 4 超出时限。");
}

} // namespace

bool isDocumentCommand(const QString& name)
{
    static const QStringList names{QStringLiteral("import-assignment"), QStringLiteral("export"),
                                   QStringLiteral("notice"), QStringLiteral("counts")};
    return names.contains(name);
}

int runVorlatCli(QStringList args, const DocumentCommandRunner& runDocument)
{
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        if (args.isEmpty()) {
            printErr(usage());
            return ExitUsage;
        }
        printOut(usage());
        return ExitDone;
    }

    const std::map<QString, std::function<int(const QStringList&)>> commands{
        {QStringLiteral("init"), runInit},
        {QStringLiteral("show"), runShow},
        {QStringLiteral("schedule"), runSchedule},
        {QStringLiteral("solve"), runSolve},
        {QStringLiteral("timetable"), runTimetable},
        {QStringLiteral("calendar"), runCalendar},
        {QStringLiteral("absence"), runAbsence},
        {QStringLiteral("substitutes"), runSubstitutes},
        {QStringLiteral("cover"), runCover},
    };
    const QString name = args.takeFirst();
    const auto it = commands.find(name);
    const bool document = isDocumentCommand(name);
    if (it == commands.end() && !document) {
        printErr(QStringLiteral("未知命令 %1\n\n").arg(name) + usage());
        return ExitUsage;
    }
    // The edge of every command: an unexpected failure of the store ends it here.
    try {
        return document ? runDocument(name, args) : it->second(args);
    } catch (const StoreError& error) {
        return report(error.failure());
    } catch (const std::bad_alloc&) {
        return report(Failure::file(QStringLiteral("内存不足，命令“%1”已中止，没有写入任何内容。").arg(name)));
    } catch (const std::exception& error) {
        // A library's own words only after ours.
        return report(Failure::database(QStringLiteral("命令“%1”意外中止，没有写入任何内容").arg(name),
                                        QString::fromLocal8Bit(error.what())));
    }
}
