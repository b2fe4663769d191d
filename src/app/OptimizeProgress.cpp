#include "app/OptimizeProgress.h"

#include <QMutexLocker>

OptimizeProgress::OptimizeProgress(int left)
    : m_left(left)
{
}

void OptimizeProgress::take(const SolverProgress& report)
{
    QMutexLocker lock(&m_mutex);
    m_stage = report.stage;
    if (report.bestViolations >= 0)
        m_left = report.bestViolations;
    m_restoring = report.restoring;
}

bool OptimizeProgress::restoring() const
{
    QMutexLocker lock(&m_mutex);
    return m_restoring;
}

QString OptimizeProgress::stageText(const QString& solverStage, bool restoring)
{
    if (restoring || solverStage == QStringLiteral("减少改动"))
        return QStringLiteral("冲突已全部解决，正在让改动的格子尽量少");
    if (solverStage.isEmpty() || solverStage == QStringLiteral("初排"))
        return QStringLiteral("正在试着少量调动消除冲突");
    if (solverStage == QStringLiteral("建立模型"))
        return QStringLiteral("正在准备全面计算");
    if (solverStage == QStringLiteral("求解") || solverStage == QStringLiteral("修复课表"))
        return QStringLiteral("正在寻找无冲突课表");
    if (solverStage == QStringLiteral("放宽分散要求"))
        return QStringLiteral("正在均匀分布各科的课");
    if (solverStage == QStringLiteral("查找原因"))
        return QStringLiteral("正在查找无法排课的原因");
    return QStringLiteral("正在优化课表");
}

QString OptimizeProgress::durationText(qint64 elapsedMs)
{
    const qint64 seconds = std::max<qint64>(0, elapsedMs) / 1000;
    if (seconds < 60)
        return QStringLiteral("%1 秒").arg(seconds);
    return QStringLiteral("%1 分 %2 秒").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString OptimizeProgress::line(qint64 elapsedMs) const
{
    QMutexLocker lock(&m_mutex);
    QString text = stageText(m_stage, m_restoring) + QStringLiteral("……");
    if (!m_restoring)
        text += QStringLiteral("\n剩余冲突与未排课时：%1").arg(m_left);
    text += QStringLiteral("\n已用时 %1").arg(durationText(elapsedMs));
    return text;
}
