#pragma once

#include <bitset>
#include <optional>
#include <string_view>
#include <vector>

namespace tq::visa {

// A viFindRsrc expression (VISA regular-expression rules): "?" any one
// character, "*" zero or more and "+" one or more of the preceding character
// or group, "[list]" and "[^list]" with ranges, "(a|b)" groups, "|" the
// alternation of everything on either side, "\" takes the next character
// literally; everything else (".", ":") is itself. Matching ignores case and
// covers the whole resource name.
class ResourcePattern {
  public:
    // nullopt for an expression VISA would reject (VI_ERROR_INV_EXPR): an
    // empty one, an unbalanced bracket or parenthesis, a quantifier with
    // nothing before it, a trailing backslash, a reversed range.
    static std::optional<ResourcePattern> parse(std::string_view expr);

    bool matches(std::string_view name) const;

  private:
    enum class Kind { Literal, Any, Set, Sequence, Alternation, Star, Plus };
    struct Node {
        Kind kind;
        std::bitset<256> set;       // Literal (both cases) and Set
        std::vector<int> children;  // Sequence, Alternation; Star and Plus have one
    };
    using Positions = std::vector<bool>;

    ResourcePattern() = default;
    Positions advance(int node, const Positions& from, std::string_view name) const;

    std::vector<Node> nodes_;
    int root_ = -1;

    friend class PatternParser;
};

// One-shot form: nullopt when the expression is invalid.
std::optional<bool> matchesResourcePattern(std::string_view expr, std::string_view name);

}  // namespace tq::visa
