#include "byte_buffer.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zrcomm {

CByteBuffer::CByteBuffer(const char* text)
{
    if (text)
        Assign(text, static_cast<std::uint32_t>(std::strlen(text)));
}

CByteBuffer::CByteBuffer(const CByteBuffer& other)
{
    Assign(other.m_data.get(), other.m_length);
}

CByteBuffer::CByteBuffer(CByteBuffer&& other) noexcept
    : m_data(std::move(other.m_data)), m_capacity(other.m_capacity), m_length(other.m_length)
{
    other.m_capacity = 0;
    other.m_length = 0;
}

CByteBuffer& CByteBuffer::operator=(const CByteBuffer& other)
{
    if (this != &other)
        Assign(other.m_data.get(), other.m_length);
    return *this;
}

CByteBuffer& CByteBuffer::operator=(CByteBuffer&& other) noexcept
{
    if (this != &other) {
        m_data = std::move(other.m_data);
        m_capacity = other.m_capacity;
        m_length = other.m_length;
        other.m_capacity = 0;
        other.m_length = 0;
    }
    return *this;
}

void CByteBuffer::Assign(const void* bytes, std::uint32_t n)
{
    if (!bytes || n == 0) {
        Clear();
        return;
    }
    const auto* src = static_cast<const std::uint8_t*>(bytes);
    // Bytes out of our own block must survive the growth below.
    if (m_data && src >= m_data.get() && src <= m_data.get() + m_capacity) {
        std::vector<std::uint8_t> copy(src, src + n);
        Assign(copy.data(), n);
        return;
    }
    if (m_capacity < n)
        Resize(n);
    std::memcpy(m_data.get(), src, n);
    m_data[n] = 0;
    m_length = n;
}

void CByteBuffer::Append(const void* bytes, std::uint32_t n)
{
    if (!bytes || n == 0)
        return;
    const auto* src = static_cast<const std::uint8_t*>(bytes);
    if (m_data && src >= m_data.get() && src <= m_data.get() + m_capacity) {
        std::vector<std::uint8_t> copy(src, src + n);
        Append(copy.data(), n);
        return;
    }
    // Grown by at least half again, not just by n: a buffer filled in many small pieces (a long
    // reply read as it trickles in) then costs its length, not its length squared.
    if (m_capacity - m_length < n)
        Resize(std::max(m_capacity + n, m_capacity + m_capacity / 2));
    std::memcpy(m_data.get() + m_length, src, n);
    m_length += n;
    m_data[m_length] = 0;
}

void CByteBuffer::Resize(std::uint32_t capacity)
{
    auto block = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(capacity) + 1);
    const std::uint32_t keep = std::min(m_length, capacity);
    if (keep)
        std::memcpy(block.get(), m_data.get(), keep);
    block[keep] = 0;
    m_data = std::move(block);
    m_capacity = capacity;
    m_length = keep;
}

void CByteBuffer::Mid(std::uint32_t start, std::uint32_t count)
{
    if (start >= m_length) {
        Clear();
        return;
    }
    count = std::min(count, m_length - start);
    if (start)
        std::memmove(m_data.get(), m_data.get() + start, count);
    m_length = count;
    m_data[m_length] = 0;
}

void CByteBuffer::Clear()
{
    m_length = 0;
    if (m_data)
        m_data[0] = 0;
}

std::int32_t CByteBuffer::Find(std::uint32_t start, const void* pattern, std::uint32_t n) const
{
    if (!pattern || n == 0 || start >= m_length || m_length - start < n)
        return -1;
    const auto* p = static_cast<const std::uint8_t*>(pattern);
    for (std::uint32_t i = start; i <= m_length - n; ++i)
        if (std::memcmp(m_data.get() + i, p, n) == 0)
            return static_cast<std::int32_t>(i);
    return -1;
}

bool CByteBuffer::CompareAt(std::uint32_t position, const void* pattern, std::uint32_t n) const
{
    if (!pattern || n == 0 || position >= m_length || m_length - position < n)
        return false;
    return std::memcmp(m_data.get() + position, pattern, n) == 0;
}

bool CByteBuffer::StartsWith(const char* text) const
{
    return text && CompareAt(0, text, static_cast<std::uint32_t>(std::strlen(text)));
}

std::string CByteBuffer::ToString() const
{
    return m_length ? std::string(reinterpret_cast<const char*>(m_data.get()), m_length) : std::string();
}

std::uint32_t CByteBuffer::CopyOutReply(char* destination, std::uint32_t size) const
{
    const std::uint32_t n = std::min(m_length, size);
    if (n > 0 && destination) {
        std::memcpy(destination, m_data.get(), n);
        destination[n - 1] = 0;
    }
    return n;
}

} // namespace zrcomm
