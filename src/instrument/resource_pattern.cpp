#include "instrument/resource_pattern.h"

#include <cctype>
#include <cstddef>
#include <utility>

namespace tq::visa {

// Recursive descent over
//   alternation := sequence ('|' sequence)*
//   sequence    := (atom ('*' | '+')*)+
//   atom        := '?' | '[' list ']' | '(' alternation ')' | '\' char | char
class PatternParser {
  public:
    explicit PatternParser(std::string_view expr) : expr_(expr) {}

    std::optional<ResourcePattern> run() {
        const int root = alternation();
        if (root < 0 || pos_ != expr_.size()) {
            return std::nullopt;
        }
        pattern_.accept_ = pattern_.addState({});
        pattern_.start_ = pattern_.compile(root, pattern_.accept_);
        return std::move(pattern_);
    }

  private:
    using Kind = ResourcePattern::Kind;

    int add(Kind kind, std::bitset<256> set = {}, std::vector<int> children = {}) {
        pattern_.nodes_.push_back({.kind = kind, .set = set, .children = std::move(children)});
        return static_cast<int>(pattern_.nodes_.size()) - 1;
    }

    bool atEnd() const { return pos_ >= expr_.size(); }
    char peek() const { return expr_[pos_]; }

    static std::bitset<256> caseless(unsigned char c) {
        std::bitset<256> set;
        set.set(c);
        set.set(static_cast<unsigned char>(std::tolower(c)));
        set.set(static_cast<unsigned char>(std::toupper(c)));
        return set;
    }

    int alternation() {
        std::vector<int> options;
        while (true) {
            const int option = sequence();
            if (option < 0) {
                return -1;
            }
            options.push_back(option);
            if (atEnd() || peek() != '|') {
                break;
            }
            ++pos_;
        }
        return options.size() == 1 ? options.front() : add(Kind::Alternation, {}, options);
    }

    int sequence() {
        std::vector<int> items;
        while (!atEnd() && peek() != '|' && peek() != ')') {
            int item = atom();
            if (item < 0) {
                return -1;
            }
            while (!atEnd() && (peek() == '*' || peek() == '+')) {
                item = add(peek() == '*' ? Kind::Star : Kind::Plus, {}, {item});
                ++pos_;
            }
            items.push_back(item);
        }
        if (items.empty()) {
            return -1;
        }
        return items.size() == 1 ? items.front() : add(Kind::Sequence, {}, items);
    }

    int atom() {
        const char c = expr_[pos_++];
        switch (c) {
            case '?':
                return add(Kind::Any);
            case '*':
            case '+':
                return -1;  // nothing to repeat
            case '[':
                return list();
            case '(': {
                const int inner = alternation();
                if (inner < 0 || atEnd() || peek() != ')') {
                    return -1;
                }
                ++pos_;
                return inner;
            }
            case '\\':
                if (atEnd()) {
                    return -1;
                }
                return add(Kind::Literal, caseless(static_cast<unsigned char>(expr_[pos_++])));
            default:
                return add(Kind::Literal, caseless(static_cast<unsigned char>(c)));
        }
    }

    // After "[": items up to the closing "]". A "]" right after "[" or "[^"
    // and a "-" at either end stand for themselves.
    int list() {
        bool negated = false;
        if (!atEnd() && peek() == '^') {
            negated = true;
            ++pos_;
        }
        std::bitset<256> set;
        bool first = true;
        while (true) {
            if (atEnd()) {
                return -1;
            }
            if (peek() == ']' && !first) {
                ++pos_;
                break;
            }
            first = false;
            const auto low = listChar();
            if (!low) {
                return -1;
            }
            unsigned char high = *low;
            if (pos_ + 1 < expr_.size() && peek() == '-' && expr_[pos_ + 1] != ']') {
                ++pos_;
                const auto end = listChar();
                if (!end || *end < *low) {
                    return -1;
                }
                high = *end;
            }
            for (unsigned c = *low; c <= high; ++c) {
                set |= caseless(static_cast<unsigned char>(c));
            }
        }
        return add(Kind::Set, negated ? ~set : set);
    }

    std::optional<unsigned char> listChar() {
        if (peek() == '\\') {
            ++pos_;
            if (atEnd()) {
                return std::nullopt;
            }
        }
        return static_cast<unsigned char>(expr_[pos_++]);
    }

    std::string_view expr_;
    std::size_t pos_ = 0;
    ResourcePattern pattern_;
};

std::optional<ResourcePattern> ResourcePattern::parse(std::string_view expr) {
    return PatternParser(expr).run();
}

int ResourcePattern::addState(State state) {
    states_.push_back(std::move(state));
    return static_cast<int>(states_.size()) - 1;
}

int ResourcePattern::compile(int index, int next) {
    const Node& node = nodes_[static_cast<std::size_t>(index)];
    switch (node.kind) {
        case Kind::Literal:
        case Kind::Set:
        case Kind::Any:
            return addState({.node = index, .next = next, .empty = {}});
        case Kind::Sequence:
            for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) {
                next = compile(*child, next);
            }
            return next;
        case Kind::Alternation: {
            std::vector<int> starts;
            for (const int child : node.children) {
                starts.push_back(compile(child, next));
            }
            return addState({.node = -1, .next = -1, .empty = std::move(starts)});
        }
        case Kind::Star:
        case Kind::Plus: {
            // A fork after the child: round again or go on. Star may skip
            // the child by starting at the fork.
            const int fork = addState({});
            const int body = compile(node.children.front(), fork);
            states_[static_cast<std::size_t>(fork)].empty = {body, next};
            return node.kind == Kind::Star ? fork : body;
        }
    }
    return next;
}

void ResourcePattern::addReached(int state, std::vector<bool>& reached) const {
    std::vector<int> pending{state};
    while (!pending.empty()) {
        const auto s = static_cast<std::size_t>(pending.back());
        pending.pop_back();
        if (!reached[s]) {
            reached[s] = true;
            pending.insert(pending.end(), states_[s].empty.begin(), states_[s].empty.end());
        }
    }
}

bool ResourcePattern::matches(std::string_view name) const {
    std::vector<bool> current(states_.size(), false);
    addReached(start_, current);
    for (const char c : name) {
        std::vector<bool> next(states_.size(), false);
        for (std::size_t s = 0; s < states_.size(); ++s) {
            const State& state = states_[s];
            if (!current[s] || state.node < 0) {
                continue;
            }
            const Node& node = nodes_[static_cast<std::size_t>(state.node)];
            if (node.kind == Kind::Any || node.set.test(static_cast<unsigned char>(c))) {
                addReached(state.next, next);
            }
        }
        current = std::move(next);
    }
    return current[static_cast<std::size_t>(accept_)];
}

std::optional<bool> matchesResourcePattern(std::string_view expr, std::string_view name) {
    const auto pattern = ResourcePattern::parse(expr);
    if (!pattern) {
        return std::nullopt;
    }
    return pattern->matches(name);
}

}  // namespace tq::visa
