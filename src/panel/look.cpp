#include "panel/look.h"

#include <QFontDatabase>
#include <QStringList>

namespace tq::look {

namespace {

// Faces for the Traditional Chinese texts: the Ming faces the captions were
// drawn for, then every face fontconfig says holds Traditional Chinese. Left to
// Qt's own fallback, Chinese in a Latin face comes out in the desktop's default
// CJK face, which may draw the Simplified or Japanese forms.
const QStringList& chineseFaces() {
    static const QStringList faces = [] {
        QStringList list{QStringLiteral("AR PL UMing TW"), QStringLiteral("PMingLiU"),
                         QStringLiteral("Noto Serif CJK TC"), QStringLiteral("Noto Sans CJK TC")};
        for (const QString& family : QFontDatabase::families(QFontDatabase::TraditionalChinese)) {
            if (!list.contains(family)) {
                list.append(family);
            }
        }
        return list;
    }();
    return faces;
}

QFont make(const QStringList& families, qreal points, QFont::Weight weight) {
    QFont font;
    font.setFamilies(families + chineseFaces());
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

}  // namespace

QFont ming(qreal points, bool bold) {
    return make({}, points, bold ? QFont::Bold : QFont::Normal);
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

QFont withChineseFaces(const QFont& font) {
    QFont result = font;
    result.setFamilies(QStringList{font.family()} + chineseFaces());
    return result;
}

}  // namespace tq::look
