#include "export/shared_strings.h"

#include <algorithm>

namespace tq::xls {
namespace {

// Excel keeps at most 32767 characters in a cell.
constexpr std::size_t kMaxTextUnits = 32767;
constexpr std::uint16_t kReplacement = 0xFFFD;
// EXTSST has at most 128 buckets and at least 8 strings in each.
constexpr std::size_t kMaxBuckets = 128;
constexpr std::size_t kMinBucketSize = 8;

bool isHighSurrogate(std::uint16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}

// Length of the valid UTF-8 sequence at s[i] and its code point; 0 when the
// bytes there are not one (overlong forms, surrogates and values past
// U+10FFFF included).
std::size_t decodeOne(std::string_view s, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<std::uint8_t>(s[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<std::uint8_t>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}

// A string's characters after its header, one or two bytes each; where the
// record is full they go on in a CONTINUE record that restates the flags.
void writeCharacters(RecordWriter& w, const std::vector<std::uint16_t>& units, bool wide) {
    const std::size_t charSize = wide ? 2 : 1;
    std::size_t done = 0;
    while (done < units.size()) {
        std::size_t take = std::min(w.roomLeft() / charSize, units.size() - done);
        if (take == 0) {
            w.end();
            w.begin(RecordId::Continue);
            w.u8(wide ? 1 : 0);
            continue;
        }
        if (take > 1 && done + take < units.size() && isHighSurrogate(units[done + take - 1])) {
            --take;  // keep a surrogate pair in one record
        }
        for (std::size_t k = done; k < done + take; ++k) {
            if (wide) {
                w.u16(units[k]);
            } else {
                w.u8(static_cast<std::uint8_t>(units[k]));
            }
        }
        done += take;
    }
}

}  // namespace

std::vector<std::uint16_t> utf16Units(std::string_view utf8) {
    std::vector<std::uint16_t> units;
    units.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        const std::size_t len = decodeOne(utf8, i, cp);
        if (len == 0) {
            units.push_back(kReplacement);
            ++i;
            continue;
        }
        i += len;
        if (cp < 0x10000) {
            units.push_back(static_cast<std::uint16_t>(cp));
        } else {
            cp -= 0x10000;
            units.push_back(static_cast<std::uint16_t>(0xD800 + (cp >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)));
        }
    }
    return units;
}

std::uint32_t SharedStrings::add(std::string_view utf8) {
    ++uses_;
    const auto [it, inserted] =
        index_.try_emplace(std::string(utf8), static_cast<std::uint32_t>(entries_.size()));
    if (inserted) {
        Entry e{.units = utf16Units(utf8)};
        if (e.units.size() > kMaxTextUnits) {
            const bool splitsPair = isHighSurrogate(e.units[kMaxTextUnits - 1]);
            e.units.resize(splitsPair ? kMaxTextUnits - 1 : kMaxTextUnits);
        }
        e.wide = std::any_of(e.units.begin(), e.units.end(), [](auto u) { return u > 0xFF; });
        entries_.push_back(std::move(e));
    }
    return it->second;
}

void SharedStrings::write(RecordWriter& w) const {
    const std::size_t bucketSize =
        std::max(kMinBucketSize, (entries_.size() + kMaxBuckets - 1) / kMaxBuckets);
    struct BucketStart {
        std::uint32_t streamOffset;
        std::uint16_t recordOffset;
    };
    std::vector<BucketStart> buckets;

    w.begin(RecordId::Sst);
    w.u32(uses_);
    w.u32(static_cast<std::uint32_t>(entries_.size()));
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        const std::size_t charSize = e.wide ? 2 : 1;
        const std::uint8_t flags = e.wide ? 1 : 0;
        // A string's header and its first character never straddle records.
        if (w.roomLeft() < 3 + (e.units.empty() ? 0 : charSize)) {
            w.end();
            w.begin(RecordId::Continue);
        }
        if (i % bucketSize == 0) {
            buckets.push_back({static_cast<std::uint32_t>(w.streamOffset()),
                               static_cast<std::uint16_t>(w.size() - w.recordStart())});
        }
        w.u16(static_cast<std::uint16_t>(e.units.size()));
        w.u8(flags);
        writeCharacters(w, e.units, e.wide);
    }
    w.end();

    w.begin(RecordId::ExtSst);
    w.u16(static_cast<std::uint16_t>(bucketSize));
    for (const BucketStart& b : buckets) {
        w.u32(b.streamOffset);
        w.u16(b.recordOffset);
        w.u16(0);
    }
    w.end();
}

}  // namespace tq::xls
