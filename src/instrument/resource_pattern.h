#pragma once

#include <QRegularExpression>
#include <cstddef>
#include <optional>
#include <string_view>

namespace tq::visa {

// A viFindRsrc expression (VISA regular-expression rules): "?" any one
// character, "*" zero or more and "+" one or more of the preceding character
// or group, "[list]" and "[^list]" with ranges, "(a|b)" groups, "|" the
// alternation of everything on either side, "\" takes the next character
// literally; everything else (".", ":") is itself. Matching ignores case and
// covers the whole resource name.
class ResourcePattern {
  public:
    // A descriptor VISA can hand back fits its find buffer with the NUL.
    static constexpr std::size_t kMaxNameLength = 255;
    // Backtracking budget of one match, a few milliseconds. The program's own
    // pattern needs a handful of steps; an expression that makes the matcher
    // retry the same positions over and over (nested repetitions) is given up
    // instead of running for minutes.
    static constexpr int kMaxSteps = 1'000'000;

    // nullopt for an expression VISA would reject (VI_ERROR_INV_EXPR): an
    // empty one, an unbalanced bracket or parenthesis, a quantifier with
    // nothing before it, a trailing backslash, a reversed range.
    static std::optional<ResourcePattern> parse(std::string_view expr);

    // nullopt when undecided: a name longer than kMaxNameLength, or one that
    // would take more than kMaxSteps.
    std::optional<bool> match(std::string_view name) const;
    bool matches(std::string_view name) const { return match(name).value_or(false); }

  private:
    explicit ResourcePattern(QRegularExpression regex) : regex_(std::move(regex)) {}

    QRegularExpression regex_;
};

// One-shot form: nullopt when the expression is invalid or the match
// undecided.
std::optional<bool> matchesResourcePattern(std::string_view expr, std::string_view name);

}  // namespace tq::visa
