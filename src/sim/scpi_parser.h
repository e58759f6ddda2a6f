#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The program-message syntax of IEEE 488.2 (chapter 7) as the meter reads
// it: units separated by ";", a header of ":"-separated mnemonics or a
// common "*" header, an optional "?", then parameters after white space,
// separated by ",". No I/O here: text in, parsed units or an error number
// out.
namespace tq::sim::scpi {

enum class ParamKind { Number, String, Word };

struct Param {
    ParamKind kind = ParamKind::Word;
    double number = 0;  // for Number
    std::string text;   // String: the contents without quotes; Word and Number: as typed
};

struct ProgramUnit {
    std::vector<std::string> nodes;  // mnemonics as typed; a common header is one node "*IDN"
    bool common = false;
    bool absolute = false;  // a leading ":" resets the header path
    bool query = false;
    std::vector<Param> params;
};

// An error number of the meter's error queue (-102, -113, ...).
struct ParseFailure {
    int code;
};

using ParseResult = std::variant<ProgramUnit, ParseFailure>;

// The units of one message, split at ";" outside quoted strings. Empty units
// (white space only) are left out.
std::vector<std::string_view> splitUnits(std::string_view message);

ParseResult parseUnit(std::string_view unit);

// A decimal numeric parameter (488.2 7.7.2): optional sign, mantissa with
// at most one ".", optional exponent. The error number when it is not one.
std::variant<double, ParseFailure> parseNumber(std::string_view text);

// Whether a typed mnemonic names a pattern mnemonic such as "RANGe": either
// the short form (its upper-case part, "RANG") or the whole, in any case.
bool mnemonicMatches(std::string_view pattern, std::string_view typed);

}  // namespace tq::sim::scpi
