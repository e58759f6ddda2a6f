#include "panel/look.h"

#include <QStringList>

namespace tq::look {

namespace {

QFont make(const QStringList& families, qreal points, QFont::Weight weight) {
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

}  // namespace

QFont ming(qreal points, bool bold) {
    return make({QStringLiteral("AR PL UMing TW"), QStringLiteral("PMingLiU")}, points,
                bold ? QFont::Bold : QFont::Normal);
}

QFont arial(qreal points, bool bold) {
    return make({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, points,
                bold ? QFont::Bold : QFont::Normal);
}

QFont arialBlack(qreal points) {
    return make({QStringLiteral("Arial Black"), QStringLiteral("Liberation Sans"),
                 QStringLiteral("DejaVu Sans")},
                points, QFont::Black);
}

}  // namespace tq::look
