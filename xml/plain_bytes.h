#pragma once
// Telling the bytes of a text that need escaping from the plain ones, up to
// sixteen at a time, with the SSE2 instructions every x86-64 has. Elsewhere
// the escaper looks at one byte at a time.
//
// A byte may need a look when it is a control (below 0x20: TAB, LF and CR
// among them), starts or continues a multi-byte sequence (0x80 and up), or
// is '&', '<', '>', or '"' in an attribute value.

#include "xml/xml_text.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>

// Bit i set when byte i of bytes may need a look in place. As signed bytes,
// the controls and every byte from 0x80 are below 0x20; b is '<' or '>' when
// b | 2 is '>', and '"' or '&' when b | 4 is '&'.
template <XmlPlace place>
unsigned xml_candidate_mask(__m128i bytes) {
    __m128i candidates = _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20));
    candidates = _mm_or_si128(
        candidates, _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(2)), _mm_set1_epi8('>')));
    const __m128i ampersand =
        place == XmlPlace::Attribute
            ? _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(4)), _mm_set1_epi8('&'))
            : _mm_cmpeq_epi8(bytes, _mm_set1_epi8('&'));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(candidates, ampersand)));
}

// The size bytes at p (1 to 8) in the low half, the first in the lowest
// byte; read without going past p + size.
inline __m128i xml_load_short(const unsigned char* p, std::size_t size) {
    std::uint64_t word;
    if (size == 8) {
        std::memcpy(&word, p, 8);
    } else if (size >= 4) {
        std::uint32_t low;
        std::uint32_t high;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + size - 4, 4);
        word = low | static_cast<std::uint64_t>(high) << (8 * (size - 4));
    } else {
        word = p[0] | static_cast<std::uint64_t>(p[size / 2]) << (8 * (size / 2)) |
               static_cast<std::uint64_t>(p[size - 1]) << (8 * (size - 1));
    }
    return _mm_cvtsi64_si128(static_cast<long long>(word));
}

// Writes a text of 1 to 16 bytes to out, which has room for 16, and tells
// whether it is plain, so that the bytes written are its escaped form (the
// bytes past it are left over).
template <XmlPlace place>
bool xml_copy_plain_short(char* out, std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    const __m128i bytes =
        size <= 8 ? xml_load_short(p, size)
                  : _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                       xml_load_short(p + 8, size - 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
    return (xml_candidate_mask<place>(bytes) & ((1u << size) - 1)) == 0;
}

#else

template <XmlPlace place>
bool xml_copy_plain_short(char*, std::string_view) {
    return false;  // the escaper will look at each byte
}

#endif
