#pragma once

#include <QColor>
#include <QFont>

namespace tq::look {

// The window's palette.
inline const QColor kWindow{0, 0, 64};          // the window's navy
inline const QColor kPanelGrey{224, 224, 224};  // frames of the chart area
inline const QColor kBoxGrey{192, 192, 192};    // channel name boxes
inline const QColor kYellow{255, 255, 0};
inline const QColor kRed{255, 0, 0};
inline const QColor kGreen{0, 255, 0};
inline const QColor kBlue{0, 0, 255};
inline const QColor kCyan{0, 255, 255};
inline const QColor kNavy{0, 0, 128};
inline const QColor kGridGrey{192, 192, 192};
inline const QColor kLevelRed{128, 0, 0};
inline const QColor kCentreGrey{128, 128, 128};

// The Ming face standing for the Traditional Chinese captions' font. Every
// face below falls back to a Traditional Chinese face that fontconfig finds.
QFont ming(qreal points, bool bold = false);
// Arial (Liberation Sans on Linux); most captions are bold.
QFont arial(qreal points, bool bold = true);
// A heavy sans-serif for the Exit button.
QFont arialBlack(qreal points);
// font, with the Traditional Chinese faces for the characters it lacks (the
// application's font, which message boxes use).
QFont withChineseFaces(const QFont& font);

}  // namespace tq::look
