#include "instrument/resource_pattern.h"

#include <QString>

namespace tq::visa {
namespace {

// Names and expressions are bytes; Latin-1 keeps one byte one character.
QString literal(char c) {
    return QRegularExpression::escape(QString(QLatin1Char(c)));
}

// A VISA list after its "[", up to and with the closing "]", appended to out
// as a PCRE class. A "]" right after "[" or "[^" and a "-" at either end
// stand for themselves; "\" takes the next character as it is.
bool translateList(std::string_view expr, std::size_t& pos, QString& out) {
    out += QLatin1Char('[');
    if (pos < expr.size() && expr[pos] == '^') {
        out += QLatin1Char('^');
        ++pos;
    }
    const auto listChar = [&]() -> std::optional<unsigned char> {
        if (expr[pos] == '\\' && ++pos == expr.size()) {
            return std::nullopt;
        }
        return static_cast<unsigned char>(expr[pos++]);
    };
    for (bool first = true;; first = false) {
        if (pos == expr.size()) {
            return false;
        }
        if (expr[pos] == ']' && !first) {
            ++pos;
            out += QLatin1Char(']');
            return true;
        }
        const auto low = listChar();
        if (!low) {
            return false;
        }
        out += literal(static_cast<char>(*low));
        if (pos + 1 < expr.size() && expr[pos] == '-' && expr[pos + 1] != ']') {
            ++pos;
            const auto high = listChar();
            if (!high || *high < *low) {
                return false;
            }
            out += QLatin1Char('-') + literal(static_cast<char>(*high));
        }
    }
}

// The expression as a PCRE pattern, or nullopt where VISA rejects it.
std::optional<QString> translate(std::string_view expr) {
    QString out;
    int depth = 0;
    bool hasItem = false;  // the sequence being read has something to repeat
    bool quantified = false;
    for (std::size_t pos = 0; pos < expr.size();) {
        const char c = expr[pos++];
        if (c == '*' || c == '+') {
            if (!hasItem) {
                return std::nullopt;
            }
            // A repetition of a repetition ("a*+") is "*" if either is.
            if (!quantified) {
                out += QLatin1Char(c);
            } else if (c == '*') {
                out.back() = QLatin1Char('*');
            }
            quantified = true;
            continue;
        }
        if (c == '|' || c == ')') {
            if (!hasItem || (c == ')' && depth-- == 0)) {
                return std::nullopt;
            }
            out += c == '|' ? QStringLiteral("|") : QStringLiteral(")");
            hasItem = c == ')';
            quantified = false;
            continue;
        }
        if (c == '(') {
            ++depth;
            out += QStringLiteral("(?:");
            hasItem = false;
            continue;
        }
        if (c == '?') {
            out += QLatin1Char('.');
        } else if (c == '[') {
            if (!translateList(expr, pos, out)) {
                return std::nullopt;
            }
        } else if (c == '\\') {
            if (pos == expr.size()) {
                return std::nullopt;
            }
            out += literal(expr[pos++]);
        } else {
            out += literal(c);
        }
        hasItem = true;
        quantified = false;
    }
    if (!hasItem || depth != 0) {
        return std::nullopt;
    }
    return out;
}

}  // namespace

std::optional<ResourcePattern> ResourcePattern::parse(std::string_view expr) {
    const auto translated = translate(expr);
    if (!translated) {
        return std::nullopt;
    }
    QRegularExpression regex(
        QStringLiteral("(*LIMIT_MATCH=%1)").arg(kMaxSteps) +
            QRegularExpression::anchoredPattern(*translated),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    if (!regex.isValid()) {
        return std::nullopt;
    }
    return ResourcePattern(std::move(regex));
}

std::optional<bool> ResourcePattern::match(std::string_view name) const {
    if (name.size() > kMaxNameLength) {
        return std::nullopt;
    }
    const QRegularExpressionMatch result =
        regex_.match(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    // A match that ran out of steps is not valid (and has no match).
    if (!result.isValid()) {
        return std::nullopt;
    }
    return result.hasMatch();
}

std::optional<bool> matchesResourcePattern(std::string_view expr, std::string_view name) {
    const auto pattern = ResourcePattern::parse(expr);
    return pattern ? pattern->match(name) : std::nullopt;
}

}  // namespace tq::visa
