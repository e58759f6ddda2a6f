#include "sim/scpi_header.h"

#include <cctype>

#include "sim/scpi_parser.h"

namespace tq::sim::scpi {

namespace {

struct PatternNode {
    std::string_view mnemonic;
    bool optional = false;
};

std::vector<PatternNode> patternNodes(std::string_view pattern) {
    std::vector<PatternNode> nodes;
    bool optional = false;
    std::size_t start = std::string_view::npos;
    for (std::size_t i = 0; i <= pattern.size(); ++i) {
        const char c = i < pattern.size() ? pattern[i] : ':';
        if (c == ':' || c == '[' || c == ']') {
            if (start != std::string_view::npos) {
                nodes.push_back(
                    {.mnemonic = pattern.substr(start, i - start), .optional = optional});
                start = std::string_view::npos;
            }
            if (c == '[') {
                optional = true;
            } else if (c == ']') {
                optional = false;
            }
        } else if (start == std::string_view::npos) {
            start = i;
        }
    }
    return nodes;
}

bool matchFrom(const std::vector<PatternNode>& pattern, std::size_t p,
               const std::vector<std::string>& nodes, std::size_t n) {
    if (p == pattern.size()) {
        return n == nodes.size();
    }
    if (pattern[p].optional && matchFrom(pattern, p + 1, nodes, n)) {
        return true;
    }
    return n < nodes.size() && mnemonicMatches(pattern[p].mnemonic, nodes[n]) &&
           matchFrom(pattern, p + 1, nodes, n + 1);
}

}  // namespace

bool headerMatches(std::string_view pattern, const std::vector<std::string>& nodes) {
    if (!pattern.empty() && pattern.front() == '*') {
        // Common headers have one form only.
        if (nodes.size() != 1 || nodes[0].size() != pattern.size()) {
            return false;
        }
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(nodes[0][i])) != pattern[i]) {
                return false;
            }
        }
        return true;
    }
    return matchFrom(patternNodes(pattern), 0, nodes, 0);
}

}  // namespace tq::sim::scpi
