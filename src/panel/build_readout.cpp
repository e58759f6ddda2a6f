#include <QLineEdit>
#include <array>

#include "panel/build_areas.h"
#include "panel/build_helpers.h"

namespace tq::build {

namespace {

// CH1..CH5 in the left column, CH6..CH10 in the right one.
struct ReadoutColumn {
    int labelLeft;
    int fieldLeft;
};

constexpr std::array<ReadoutColumn, 2> kColumns{{
    {.labelLeft = 120, .fieldLeft = 510},
    {.labelLeft = 2160, .fieldLeft = 2640},
}};

constexpr std::array<int, 5> kRowTops{210, 510, 810, 1110, 1410};

}  // namespace

void buildReadout(QWidget* form, Panel& p) {
    p.Frame5 = frame(form, "Frame5", {210, 6240, 4305, 1875}, look::kPanelGrey, true);
    const QFont font = look::arial(9);
    // The left column's names reach into their fields; they lie over them so
    // that "CH1" .. "CH5" stay whole.
    for (int i = 0; i < 10; ++i) {
        const ReadoutColumn& column = kColumns[i / 5];
        p.TxtDshow[i] = textBox(p.Frame5, indexed("TxtDshow", i),
                                {column.fieldLeft, kRowTops[i % 5], 1515, 270}, "", font);
        p.TxtDshow[i]->setAlignment(Qt::AlignCenter);
    }
    for (int i = 0; i < 10; ++i) {
        const ReadoutColumn& column = kColumns[i / 5];
        p.Lab1f[i] = boxLabel(p.Frame5, indexed("Lab1f", i),
                              {column.labelLeft, kRowTops[i % 5] - 15, 465, 285},
                              QStringLiteral("CH%1").arg(i + 1), font);
    }
}

}  // namespace tq::build
