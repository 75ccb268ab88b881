// Text of the program is UTF-8: its manifest makes UTF-8 the ANSI code page, so window titles and
// file names arrive that way. A character here is a code point: every byte that does not continue
// a sequence (10xxxxxx) begins one. Cuts made with these never split a character.
#pragma once

#include <cstddef>
#include <string_view>

inline bool IsUtf8Continuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

inline std::size_t Utf8Length(std::string_view text)
{
    std::size_t characters = 0;
    for (char byte : text)
        characters += IsUtf8Continuation(byte) ? 0 : 1;
    return characters;
}

// The bytes of the longest prefix of text that fits in maxBytes and ends between two characters.
inline std::size_t Utf8FitBytes(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text.size();
    std::size_t end = maxBytes;
    while (end > 0 && IsUtf8Continuation(text[end]))
        --end;
    return end;
}

// The bytes of text's first `characters` characters (all of text when it has fewer).
inline std::size_t Utf8PrefixBytes(std::string_view text, std::size_t characters)
{
    std::size_t end = 0;
    for (std::size_t seen = 0; end < text.size(); ++end) {
        if (!IsUtf8Continuation(text[end]) && seen++ == characters)
            break;
    }
    return end;
}

// Whether a text read into a buffer of `capacity` bytes (its terminating NUL included) and
// `length` bytes long is surely whole. A conversion into ANSI stops before a character that does
// not fit, so a cut text can end up to a whole UTF-8 sequence (4 bytes) short of the buffer.
inline bool ReadIsWhole(std::size_t length, std::size_t capacity)
{
    return length + 4 < capacity;
}
