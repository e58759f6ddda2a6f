// VISA resource patterns: arbitrary expressions and names must translate and
// match without harm; expressions built from the grammar must match what a
// plain set-of-positions reading of the same grammar matches on short names,
// so a slip in the translation (an escape, a list, a stacked repetition)
// shows as a difference.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <bitset>
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "instrument/resource_pattern.h"

namespace {

using tq::fuzz::check;
using tq::visa::ResourcePattern;

// Letters in both cases, digits, and every character the grammar gives a
// meaning, so generated names hit the edges of sets and escapes.
constexpr std::string_view kAlphabet = "aAbBzZ09:.-^*?+[]()|\\ ";
constexpr std::size_t kMaxName = 10;

// A generated expression: its text and its tree.
struct Expr {
    enum class Kind { Char, Any, Set, Sequence, Alternation, Star, Plus };
    Kind kind = Kind::Sequence;
    std::string text;
    char c = 0;
    bool negated = false;
    std::vector<std::pair<char, char>> ranges;
    std::vector<Expr> children;
};

// Positions in the name reached so far (name length <= kMaxName).
using Ends = std::bitset<kMaxName + 1>;

bool sameIgnoringCase(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

bool inSet(const Expr& e, char ch) {
    bool found = false;
    for (const auto& [low, high] : e.ranges) {
        for (int c = low; c <= high; ++c) {
            found = found || sameIgnoringCase(static_cast<char>(c), ch);
        }
    }
    return found != e.negated;
}

Ends ends(const Expr& e, std::string_view name, Ends from) {
    Ends to;
    switch (e.kind) {
        case Expr::Kind::Char:
        case Expr::Kind::Any:
        case Expr::Kind::Set:
            for (std::size_t p = 0; p < name.size(); ++p) {
                const bool takes = e.kind == Expr::Kind::Any ||
                                   (e.kind == Expr::Kind::Char ? sameIgnoringCase(e.c, name[p])
                                                               : inSet(e, name[p]));
                to[p + 1] = from[p] && takes;
            }
            return to;
        case Expr::Kind::Sequence:
            for (const Expr& child : e.children) {
                from = ends(child, name, from);
            }
            return from;
        case Expr::Kind::Alternation:
            for (const Expr& child : e.children) {
                to |= ends(child, name, from);
            }
            return to;
        case Expr::Kind::Star:
        case Expr::Kind::Plus: {
            Ends frontier = e.kind == Expr::Kind::Star ? from : ends(e.children[0], name, from);
            to = frontier;
            while (frontier.any()) {
                frontier = ends(e.children[0], name, frontier) & ~to;
                to |= frontier;
            }
            return to;
        }
    }
    return to;
}

bool isSpecial(char c) {
    return std::string_view("?*+[]()|\\").find(c) != std::string_view::npos;
}

// A list item: "\" keeps "]", "^", "-" and "\" themselves inside a list.
std::string listChar(char c) {
    return std::string_view("]^-\\").find(c) != std::string_view::npos ? std::string("\\") + c
                                                                       : std::string(1, c);
}

constexpr std::array<char, 10> kListChars = {'a', 'B', 'z', '0', '9', ':', '-', ']', '^', '\\'};

Expr list(FuzzedDataProvider& in) {
    Expr e{.kind = Expr::Kind::Set, .text = "["};
    e.negated = in.ConsumeBool();
    e.text += e.negated ? "^" : "";
    for (int n = in.ConsumeIntegralInRange(1, 3); n > 0; --n) {
        char low = in.PickValueInArray(kListChars);
        char high = in.ConsumeBool() ? low : in.PickValueInArray(kListChars);
        if (low > high) {
            std::swap(low, high);
        }
        e.ranges.emplace_back(low, high);
        e.text += listChar(low) + (low == high ? "" : "-" + listChar(high));
    }
    e.text += ']';
    return e;
}

Expr alternation(FuzzedDataProvider& in, int depth);

Expr atom(FuzzedDataProvider& in, int depth) {
    switch (in.ConsumeIntegralInRange(0, depth > 0 ? 3 : 2)) {
        case 0: {
            const char c = in.PickValueInArray({'a', 'B', '0', ':', '*', '?', '[', '\\'});
            return {.kind = Expr::Kind::Char,
                    .text = isSpecial(c) ? std::string("\\") + c : std::string(1, c),
                    .c = c};
        }
        case 1:
            return {.kind = Expr::Kind::Any, .text = "?"};
        case 2:
            return list(in);
        default: {
            Expr inner = alternation(in, depth - 1);
            inner.text = "(" + inner.text + ")";
            return inner;
        }
    }
}

Expr sequence(FuzzedDataProvider& in, int depth) {
    Expr e{.kind = Expr::Kind::Sequence};
    for (int n = in.ConsumeIntegralInRange(1, 4); n > 0; --n) {
        Expr item = atom(in, depth);
        // Stacked quantifiers ("a*+") repeat the repetition.
        for (int q = in.ConsumeIntegralInRange(0, 2); q > 0; --q) {
            const bool star = in.ConsumeBool();
            std::string text = item.text + (star ? "*" : "+");
            item = {.kind = star ? Expr::Kind::Star : Expr::Kind::Plus,
                    .text = std::move(text),
                    .children = {std::move(item)}};
        }
        e.text += item.text;
        e.children.push_back(std::move(item));
    }
    return e;
}

Expr alternation(FuzzedDataProvider& in, int depth) {
    Expr e{.kind = Expr::Kind::Alternation};
    for (int n = in.ConsumeIntegralInRange(1, 3); n > 0; --n) {
        Expr option = sequence(in, depth);
        e.text += (e.text.empty() ? "" : "|") + option.text;
        e.children.push_back(std::move(option));
    }
    return e;
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

void checkArbitrary(FuzzedDataProvider& in) {
    const std::string expr = in.ConsumeRandomLengthString(256);
    const std::string name = in.ConsumeRandomLengthString(256);
    if (const auto pattern = ResourcePattern::parse(expr)) {
        const auto matched = pattern->match(name);
        if (matched) {
            const auto upperMatched = pattern->match(upper(name));
            check(!upperMatched || *upperMatched == *matched, "matching depends on case", expr);
        }
    }
}

void checkGenerated(FuzzedDataProvider& in) {
    const Expr e = alternation(in, 2);
    const auto pattern = ResourcePattern::parse(e.text);
    check(pattern.has_value(), "generated expression refused", e.text);
    for (int n = in.ConsumeIntegralInRange(1, 4); n > 0; --n) {
        std::string name;
        for (auto k = in.ConsumeIntegralInRange<std::size_t>(0, kMaxName); k > 0; --k) {
            name += kAlphabet[in.ConsumeIntegralInRange<std::size_t>(0, kAlphabet.size() - 1)];
        }
        const bool expected = ends(e, name, Ends(1))[name.size()];
        // Nested repetitions may run over the step budget and stay
        // undecided; an answer given must be the grammar's.
        const auto matched = pattern->match(name);
        check(!matched || *matched == expected, "match differs from the grammar",
              e.text + " on " + name);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool()) {
        checkArbitrary(in);
    } else {
        checkGenerated(in);
    }
    return 0;
}
