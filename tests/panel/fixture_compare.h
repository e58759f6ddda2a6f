#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <cmath>

namespace tq::test {

// Compares what a fixture expects with what was found: objects by the
// expected keys only, numbers exactly or as {"near": n, "within": d}.
// Returns the mismatches as "path: expected X, found Y".
inline void compareJson(const QString& path, const QJsonValue& expected, const QJsonValue& found,
                        QStringList& mismatches) {
    const auto text = [](const QJsonValue& v) {
        if (v.isObject()) {
            return QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact));
        }
        if (v.isArray()) {
            return QString::fromUtf8(QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact));
        }
        return v.toVariant().toString() +
               (v.isUndefined() ? QStringLiteral("(missing)") : QString());
    };
    if (expected.isObject() && expected.toObject().contains("near")) {
        const QJsonObject near = expected.toObject();
        if (!found.isDouble() ||
            std::abs(found.toDouble() - near["near"].toDouble()) > near["within"].toDouble()) {
            mismatches << QStringLiteral("%1: expected %2, found %3")
                              .arg(path, text(expected), text(found));
        }
        return;
    }
    if (expected.isObject()) {
        const QJsonObject want = expected.toObject();
        const QJsonObject got = found.toObject();
        for (auto it = want.begin(); it != want.end(); ++it) {
            compareJson(path + "." + it.key(), it.value(), got.value(it.key()), mismatches);
        }
        return;
    }
    if (expected != found) {
        mismatches
            << QStringLiteral("%1: expected %2, found %3").arg(path, text(expected), text(found));
    }
}

}  // namespace tq::test
