#pragma once

#include <QColor>
#include <QRect>
#include <QSize>

// Where the window's controls sit (pixels) and the colours every picture shares.
namespace Layout {
inline constexpr QSize Window{550, 400};
inline constexpr QRect CmdLogo{5, 8, 132, 113};
inline constexpr QRect CmdMin{491, 1, 30, 22};
inline constexpr QRect CmdClose{519, 1, 30, 22};
inline constexpr QRect TxtSource{18, 150, 405, 24};
inline constexpr QRect CmdSource{429, 146, 80, 35};
inline constexpr QRect CboFormat{18, 206, 265, 24};
inline constexpr QRect TxtDest{18, 260, 405, 24};
inline constexpr QRect CmdDest{429, 255, 80, 35};
inline constexpr QRect CmdPause{429, 201, 80, 35};
inline constexpr QRect CmdConvert{414, 313, 120, 65};
inline constexpr QRect ProBar{18, 329, 386, 32};

// The title strip spans the top edge; the footer holds the progress bar and Convert.
inline constexpr int StripHeight = 24;
inline constexpr int HeaderBottom = 128;
inline constexpr int FooterTop = 300;
} // namespace Layout

namespace Theme {
inline const QColor Accent{255, 128, 0};

inline const QColor Body{29, 31, 36};
inline const QColor HeaderTop{38, 41, 48};
inline const QColor Footer{18, 19, 22};
inline const QColor Edge{6, 6, 8};

inline const QColor Well{13, 14, 16};
inline const QColor WellBorder{54, 58, 66};

inline const QColor Text{236, 238, 241};
inline const QColor TextSecondary{160, 166, 175};
// Hints on the body stay readable (about 5.7:1).
inline const QColor TextMuted{146, 152, 162};
} // namespace Theme
