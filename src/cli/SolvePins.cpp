#include "cli/SolvePins.h"

#include "base/Naming.h"
#include "base/SchoolPlan.h"

#include <QFile>
#include <QStringDecoder>

#include <set>
#include <tuple>

namespace SolvePins {

namespace {

int dayNumber(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok)
        return n >= 1 && n <= 7 && !text.startsWith(QLatin1Char('+')) ? n : -1;
    for (int d = 0; d < 7; ++d) {
        const QString full = DayName(d); // 星期一
        if (text == full || text == QStringLiteral("周") + full.mid(2))
            return d + 1;
    }
    return -1;
}

int periodNumber(const QString& text)
{
    QString digits = text;
    if (digits.startsWith(QStringLiteral("第")) && digits.endsWith(QStringLiteral("节")))
        digits = digits.mid(1, digits.size() - 2);
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok && n >= 1 && n <= 9 && !digits.startsWith(QLatin1Char('+')) ? n : -1;
}

} // namespace

bool parse(const QString& text, const QString& source, Written& pin, QString& error)
{
    const qsizetype periodComma = text.lastIndexOf(QLatin1Char(','));
    const qsizetype dayComma = periodComma > 0 ? text.lastIndexOf(QLatin1Char(','), periodComma - 1) : -1;
    if (dayComma <= 0) {
        error = QStringLiteral("%1：固定格需写成“班级,星期,节次”，例如“初一(1)班,1,3”").arg(source);
        return false;
    }
    pin.className = text.left(dayComma).trimmed();
    const QString day = text.mid(dayComma + 1, periodComma - dayComma - 1).trimmed();
    const QString period = text.mid(periodComma + 1).trimmed();
    pin.day = dayNumber(day);
    pin.period = periodNumber(period);
    pin.source = source;
    if (pin.className.isEmpty()) {
        error = QStringLiteral("%1：没有写班级").arg(source);
        return false;
    }
    if (pin.day == -1) {
        error = QStringLiteral("%1：星期需为 1 到 7 或“星期一”这样的名称，而不是“%2”").arg(source, day);
        return false;
    }
    if (pin.period == -1) {
        error = QStringLiteral("%1：节次需为 1 到 9 或“第1节”这样的名称，而不是“%2”").arg(source, period);
        return false;
    }
    return true;
}

Status readFile(const QString& path, std::vector<Written>& pins)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure::file(QStringLiteral("无法读取固定格文件“%1”").arg(path), file.errorString());
    // A pins file is a short list; anything large is not one.
    constexpr qint64 kMaxBytes = 4 * 1024 * 1024;
    if (file.size() > kMaxBytes)
        return Failure::refused(QStringLiteral("固定格文件“%1”超过 4 MB，不是固定格的列表").arg(path));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(file.readAll());
    if (decoder.hasError())
        return Failure::refused(QStringLiteral("固定格文件“%1”不是 UTF-8 文本").arg(path));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i].trimmed();
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line = line.mid(1).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        Written pin;
        QString error;
        if (!parse(line, QStringLiteral("%1 第%2行").arg(path).arg(i + 1), pin, error))
            return Failure::refused(error);
        pins.push_back(pin);
    }
    return Status::done();
}

Status resolve(const SchoolPlan& plan, const std::vector<Written>& written, std::vector<SolverPin>& pins)
{
    std::set<std::tuple<int, int, int>> seen;
    for (const Written& pin : written) {
        const int c = plan.ClassIndex(pin.className);
        if (c < 0)
            return Failure::refused(QStringLiteral("%1：没有名为“%2”的班级").arg(pin.source, pin.className));
        if (pin.day > plan.dayCount)
            return Failure::refused(QStringLiteral("%1：周工作计划每周只有 %2 天").arg(pin.source).arg(plan.dayCount));
        if (pin.period > plan.periodCount)
            return Failure::refused(
                QStringLiteral("%1：周工作计划每天只有 %2 节").arg(pin.source).arg(plan.periodCount));
        if (seen.insert({c, pin.day - 1, pin.period - 1}).second)
            pins.push_back({c, pin.day - 1, pin.period - 1});
    }
    return Status::done();
}

} // namespace SolvePins
