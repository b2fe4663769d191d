#pragma once

#include <QString>

class QGuiApplication;

// Sets the application font to a Simplified Chinese family ("Noto Sans CJK SC",
// then "WenQuanYi Micro Hei"), so that Chinese text never falls back to
// Japanese glyph shapes. Returns the family in use.
QString applyApplicationFont(QGuiApplication& app);
