#include "view/widgets/ProgressTicker.h"

#include "excel/ExcelProgress.h"

bool ProgressTicker::tick(int progressState)
{
    if (m_finishedTicks > 10 || m_lastSeenState == ExcelProgress::Failed)
        return true;
    m_lastSeenState = progressState;
    if (m_lastSeenState == ExcelProgress::Finished)
        ++m_finishedTicks;
    return false;
}

int ProgressTicker::paintPicture()
{
    if (m_frameIndex > 4)
        m_frameIndex = 0;
    const int picture = m_finishedTicks > 7 ? kDonePicture : kFirstDotsPicture + m_frameIndex;
    ++m_frameIndex;
    return picture;
}
