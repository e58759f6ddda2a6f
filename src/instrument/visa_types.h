#pragma once

#include <cstdint>
#include <string>

// The VISA types and values the front panel uses, with the numbers of the
// IVI VISA specification (VPP-4.3) so that a system VISA library and the
// built-in provider speak the same language.
namespace tq::visa {

using ViStatus = std::int32_t;
using ViUInt32 = std::uint32_t;
using ViObject = ViUInt32;
using ViSession = ViObject;
using ViFindList = ViObject;
using ViAttr = ViUInt32;
// 64-bit on 64-bit platforms (visatype.h: ViAttrState is ViUInt64 there).
using ViAttrState = std::uint64_t;

inline constexpr ViObject VI_NULL = 0;
inline constexpr ViUInt32 VI_NO_LOCK = 0;
inline constexpr ViUInt32 VI_FIND_BUFLEN = 256;
inline constexpr ViUInt32 VI_TMO_INFINITE = 0xFFFFFFFFu;

// A status is an error when negative; the success codes above zero are
// warnings or completion reasons and must not be read as failures.
inline constexpr ViStatus VI_SUCCESS = 0;
inline constexpr ViStatus VI_SUCCESS_TERM_CHAR = 0x3FFF0005;
inline constexpr ViStatus VI_SUCCESS_MAX_CNT = 0x3FFF0006;
inline constexpr ViStatus VI_WARN_NULL_OBJECT = 0x3FFF0082;

constexpr ViStatus errorStatus(std::uint32_t bits) {
    return static_cast<ViStatus>(bits);
}
inline constexpr ViStatus VI_ERROR_SYSTEM_ERROR = errorStatus(0xBFFF0000u);
inline constexpr ViStatus VI_ERROR_INV_OBJECT = errorStatus(0xBFFF000Eu);
inline constexpr ViStatus VI_ERROR_INV_SESSION = VI_ERROR_INV_OBJECT;
inline constexpr ViStatus VI_ERROR_INV_EXPR = errorStatus(0xBFFF0010u);
inline constexpr ViStatus VI_ERROR_RSRC_NFOUND = errorStatus(0xBFFF0011u);
inline constexpr ViStatus VI_ERROR_INV_RSRC_NAME = errorStatus(0xBFFF0012u);
inline constexpr ViStatus VI_ERROR_TMO = errorStatus(0xBFFF0015u);
inline constexpr ViStatus VI_ERROR_NSUP_ATTR = errorStatus(0xBFFF001Du);
inline constexpr ViStatus VI_ERROR_IO = errorStatus(0xBFFF003Eu);
inline constexpr ViStatus VI_ERROR_RSRC_BUSY = errorStatus(0xBFFF0072u);
inline constexpr ViStatus VI_ERROR_CONN_LOST = errorStatus(0xBFFF00A6u);
inline constexpr ViStatus VI_ERROR_NPERMISSION = errorStatus(0xBFFF00A8u);

inline constexpr ViAttr VI_ATTR_TMO_VALUE = 0x3FFF001Au;
inline constexpr ViAttr VI_ATTR_TERMCHAR = 0x3FFF0018u;
inline constexpr ViAttr VI_ATTR_TERMCHAR_EN = 0x3FFF0038u;
inline constexpr ViAttr VI_ATTR_SUPPRESS_END_EN = 0x3FFF0036u;

constexpr bool failed(ViStatus status) {
    return status < 0;
}

// The status's VISA name ("VI_ERROR_TMO"), or its value in hex
// ("0xBFFF0099") for one this table does not know.
std::string statusName(ViStatus status);
// What the status means, in a few words ("timed out").
std::string statusWords(ViStatus status);

}  // namespace tq::visa
