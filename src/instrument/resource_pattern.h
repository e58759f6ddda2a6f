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
    // The expression as an automaton (Thompson's construction): matching
    // carries the set of states reached, so it costs states x length
    // whatever the nesting of repetitions.
    struct State {
        int node = -1;           // a Literal, Set or Any node that takes one character
        int next = -1;           // the state after that character
        std::vector<int> empty;  // states reached without taking a character
    };

    ResourcePattern() = default;
    int addState(State state);
    // The states for node, continuing at next; returns the first.
    int compile(int node, int next);
    void addReached(int state, std::vector<bool>& reached) const;

    std::vector<Node> nodes_;
    std::vector<State> states_;
    int start_ = -1;
    int accept_ = -1;

    friend class PatternParser;
};

// One-shot form: nullopt when the expression is invalid.
std::optional<bool> matchesResourcePattern(std::string_view expr, std::string_view name);

}  // namespace tq::visa
