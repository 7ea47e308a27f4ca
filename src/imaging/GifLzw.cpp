#include "imaging/GifLzw.h"

#include "imaging/GifImage.h"
#include "imaging/ImageError.h"

#include <cassert>
#include <cstring>

namespace tintora::gif {

namespace {

constexpr int maxCodes = 4096;
constexpr int maxCodeBits = 12;

// Reads codes least significant bit first.
class CodeReader {
public:
    explicit CodeReader(std::span<const std::uint8_t> data) : m_data(data) {}

    // False when fewer than `bits` bits are left.
    bool next(int bits, unsigned& code)
    {
        if (m_count < bits) {
            refill();
            if (m_count < bits)
                return false;
        }
        code = unsigned(m_buffer & ((1u << bits) - 1));
        m_buffer >>= bits;
        m_count -= bits;
        return true;
    }

private:
    void refill()
    {
        while (m_count <= 56 && m_pos < m_data.size()) {
            m_buffer |= std::uint64_t(m_data[m_pos++]) << m_count;
            m_count += 8;
        }
    }

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    std::uint64_t m_buffer = 0;
    int m_count = 0;
};

// The string table. Every entry's prefix is an older code, so chains always
// end at a single-pixel code; `length` bounds every walk.
class StringTable {
public:
    explicit StringTable(int minCodeSize)
        : m_clear(1u << minCodeSize), m_end(m_clear + 1), m_minCodeSize(minCodeSize)
    {
        for (unsigned i = 0; i < m_clear && i < unsigned(maxCodes); ++i) {
            m_suffix[i] = std::uint8_t(i);
            m_first[i] = std::uint8_t(i);
            m_length[i] = 1;
        }
        reset();
    }

    void reset()
    {
        m_next = m_clear + 2;
        m_codeBits = m_minCodeSize + 1;
        m_limit = 2 * m_clear;
    }

    unsigned clearCode() const { return m_clear; }
    unsigned endCode() const { return m_end; }
    unsigned nextCode() const { return m_next; }
    int codeBits() const { return m_codeBits; }
    unsigned length(unsigned code) const { return m_length[code]; }
    std::uint8_t first(unsigned code) const { return m_first[code]; }

    // Adds previous string + `pixel`, growing the code size at each limit.
    void add(unsigned previous, std::uint8_t pixel)
    {
        if (m_next >= unsigned(maxCodes))
            return; // full: unchanged until the next clear code
        m_prefix[m_next] = std::uint16_t(previous);
        m_suffix[m_next] = pixel;
        m_first[m_next] = m_first[previous];
        m_length[m_next] = std::uint16_t(m_length[previous] + 1);
        ++m_next;
        if (m_next >= m_limit && m_limit <= unsigned(maxCodes - 1) && m_codeBits < maxCodeBits) {
            m_limit *= 2;
            ++m_codeBits;
        }
    }

    // Writes the string of `code`, or only its first `room` pixels.
    void write(unsigned code, std::uint8_t* out, unsigned room) const
    {
        unsigned n = m_length[code];
        while (n > room) { // the tail falls outside the frame
            code = m_prefix[code];
            --n;
        }
        while (n > 1) {
            out[--n] = m_suffix[code];
            code = m_prefix[code];
        }
        out[0] = m_suffix[code];
    }

private:
    unsigned m_clear, m_end;
    int m_minCodeSize;
    unsigned m_next = 0, m_limit = 0;
    int m_codeBits = 0;
    std::uint16_t m_prefix[maxCodes] = {};
    std::uint16_t m_length[maxCodes] = {};
    std::uint8_t m_suffix[maxCodes] = {};
    std::uint8_t m_first[maxCodes] = {};
};

[[noreturn]] void failCircular() { throw ImageError(gifTexts::circularEntry); }

} // namespace

LzwStop decodeLzw(std::span<const std::uint8_t> data, int minCodeSize, std::span<std::uint8_t> out)
{
    assert(minCodeSize >= 0 && minCodeSize < maxCodeBits);
    StringTable table(minCodeSize);
    CodeReader reader(data);
    const std::size_t total = out.size();
    std::size_t pos = 0;
    bool havePrevious = false;
    unsigned previous = 0, code = 0;
    while (pos < total) {
        if (!reader.next(table.codeBits(), code))
            return LzwStop::OutOfBits;
        if (code == table.clearCode()) {
            table.reset();
            havePrevious = false;
            continue;
        }
        if (code == table.endCode())
            return LzwStop::EndCode;
        if (!havePrevious) {
            // After a clear only single-pixel codes name a string.
            if (code > table.clearCode())
                failCircular();
        } else if (code < table.nextCode()) {
            table.add(previous, table.first(code));
        } else if (code == table.nextCode()) {
            table.add(previous, table.first(previous)); // the string that names itself
        } else {
            failCircular(); // a code beyond the table leads nowhere
        }
        const std::size_t room = total - pos;
        const unsigned n = table.length(code);
        table.write(code, out.data() + pos, room < n ? unsigned(room) : n);
        pos += room < n ? room : n;
        previous = code;
        havePrevious = true;
    }
    return LzwStop::Filled;
}

} // namespace tintora::gif
