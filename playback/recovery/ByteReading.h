#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace velomira::recovery {

// Bounds-checked big-endian reads over bytes nobody vouches for: a read past the end
// gives 0 and marks the reader failed, so a caller checks once after a run of reads.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::byte> bytes, size_t offset = 0)
        : m_bytes(bytes)
        , m_pos(offset)
    { }

    uint64_t Read(int count)
    {
        if (m_pos > m_bytes.size() || static_cast<size_t>(count) > m_bytes.size() - m_pos) {
            m_failed = true;
            m_pos = m_bytes.size();
            return 0;
        }
        uint64_t value = 0;
        for (int i = 0; i < count; ++i)
            value = value << 8 | std::to_integer<uint64_t>(m_bytes[m_pos++]);
        return value;
    }
    uint8_t U8() { return static_cast<uint8_t>(Read(1)); }
    uint16_t U16() { return static_cast<uint16_t>(Read(2)); }
    uint32_t U32() { return static_cast<uint32_t>(Read(4)); }
    uint64_t U64() { return Read(8); }
    void Skip(size_t count)
    {
        if (m_pos > m_bytes.size() || count > m_bytes.size() - m_pos) {
            m_failed = true;
            m_pos = m_bytes.size();
        } else {
            m_pos += count;
        }
    }
    size_t Position() const { return m_pos; }
    size_t Left() const { return m_pos < m_bytes.size() ? m_bytes.size() - m_pos : 0; }
    bool Failed() const { return m_failed; }

private:
    std::span<const std::byte> m_bytes;
    size_t m_pos = 0;
    bool m_failed = false;
};

// Reads bits most significant first. For an H.264 RBSP (`rbsp`) it drops the
// emulation-prevention bytes (00 00 03) of the NAL as it goes. Past the end it reads zeros
// and marks itself failed.
class BitReader {
public:
    explicit BitReader(std::span<const std::byte> bytes, bool rbsp = true)
        : m_bytes(bytes)
        , m_rbsp(rbsp)
    { }

    uint32_t Bit()
    {
        if (m_bit == 0) {
            if (!NextByte())
                return 0;
        }
        --m_bit;
        return (m_current >> m_bit) & 1u;
    }
    uint32_t Bits(int count)
    {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i)
            value = value << 1 | Bit();
        return value;
    }
    // Exp-Golomb codes; more than 31 leading zeros is corrupt.
    uint32_t Ue()
    {
        int zeros = 0;
        while (Bit() == 0) {
            if (m_failed || ++zeros > 31) {
                m_failed = true;
                return 0;
            }
        }
        return static_cast<uint32_t>((uint64_t { 1 } << zeros) - 1 + Bits(zeros));
    }
    int32_t Se()
    {
        const uint32_t code = Ue();
        return (code & 1) ? static_cast<int32_t>((code + 1) / 2) : -static_cast<int32_t>(code / 2);
    }
    bool Failed() const { return m_failed; }

private:
    bool NextByte()
    {
        if (m_pos >= m_bytes.size()) {
            m_failed = true;
            m_current = 0;
            m_bit = 8;
            return false;
        }
        uint8_t byte = std::to_integer<uint8_t>(m_bytes[m_pos++]);
        if (m_rbsp && byte == 3 && m_zeros >= 2) {
            m_zeros = 0;
            if (m_pos >= m_bytes.size()) {
                m_failed = true;
                m_current = 0;
                m_bit = 8;
                return false;
            }
            byte = std::to_integer<uint8_t>(m_bytes[m_pos++]);
        }
        m_zeros = byte == 0 ? m_zeros + 1 : 0;
        m_current = byte;
        m_bit = 8;
        return true;
    }

    std::span<const std::byte> m_bytes;
    bool m_rbsp = true;
    size_t m_pos = 0;
    int m_zeros = 0;
    uint32_t m_current = 0;
    int m_bit = 0;
    bool m_failed = false;
};

} // namespace velomira::recovery
