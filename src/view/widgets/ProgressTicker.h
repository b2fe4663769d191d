#pragma once

// What the progress picture shows and when it closes, tick by tick, without
// any window: the dialog asks it on every timer tick and every paint.
//
// While the work runs the text cycles through zero to four dots, one step per
// paint. From the first tick that sees "finished" the dots run seven more
// paints, then "数据处理完成！" shows for four ticks and the picture closes on
// the twelfth tick. "Failed" closes it on the tick after the one that saw it,
// without the completion picture.
class ProgressTicker
{
public:
    static constexpr int kTickMs = 210;
    static constexpr int kFirstDotsPicture = 318; // 318..322: no dot .. four dots
    static constexpr int kDonePicture = 323;

    // One timer tick reading the shared state. Returns true when the picture
    // must close now (before reading the state).
    bool tick(int progressState);
    // The picture the next paint shows; advances the dots.
    int paintPicture();

    int frameIndex() const { return m_frameIndex; }
    int finishedTicks() const { return m_finishedTicks; }
    int lastSeenState() const { return m_lastSeenState; }

private:
    int m_frameIndex = 0;
    int m_lastSeenState = 0;
    int m_finishedTicks = 0;
};
