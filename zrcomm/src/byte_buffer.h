// The library's growable byte string: counts its bytes, allows any byte value, and keeps a NUL after
// them so the contents can also be read as a C string.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace zrcomm {

class CByteBuffer {
public:
    CByteBuffer() = default;
    explicit CByteBuffer(const char* text);
    CByteBuffer(const void* bytes, std::uint32_t n) { Assign(bytes, n); }
    CByteBuffer(const CByteBuffer& other);
    CByteBuffer(CByteBuffer&& other) noexcept;
    CByteBuffer& operator=(const CByteBuffer& other);
    CByteBuffer& operator=(CByteBuffer&& other) noexcept;
    virtual ~CByteBuffer() = default;

    void Assign(const void* bytes, std::uint32_t n);
    void Assign(std::uint8_t byte) { Assign(&byte, 1); }
    void Append(const void* bytes, std::uint32_t n);
    void Append(std::uint8_t byte) { Append(&byte, 1); }
    void Append(const CByteBuffer& other) { Append(other.m_data.get(), other.m_length); }

    // Keeps count bytes from start (all remaining when count is larger); a start at or past the end
    // empties the buffer. Mid(n, kAll) drops the first n bytes.
    static constexpr std::uint32_t kAll = 0xFFFFFFFFu;
    void Mid(std::uint32_t start, std::uint32_t count = kAll);
    void Clear();
    bool IsEmpty() const { return m_length == 0; }
    std::uint32_t GetLength() const { return m_length; }
    std::uint32_t GetCapacity() const { return m_capacity; }
    // The bytes, or nullptr while the buffer is empty.
    const std::uint8_t* GetData() const { return m_length ? m_data.get() : nullptr; }
    // Grows the block to hold capacity bytes (and the NUL); the held bytes stay. Append grows the
    // block by what it appends, and by half its capacity when that is more.
    void Resize(std::uint32_t capacity);

    // Index of the first match at or after start, or -1.
    std::int32_t Find(std::uint32_t start, const void* pattern, std::uint32_t n) const;
    std::int32_t Find(std::uint32_t start, const CByteBuffer& pattern) const
    {
        return Find(start, pattern.m_data.get(), pattern.m_length);
    }
    bool CompareAt(std::uint32_t position, const void* pattern, std::uint32_t n) const;
    bool StartsWith(const char* text) const;
    bool StartsWith(const CByteBuffer& other) const { return CompareAt(0, other.m_data.get(), other.m_length); }
    std::string ToString() const;
    std::uint8_t ByteAt(std::uint32_t position) const { return position < m_length ? m_data[position] : 0; }

    // The copy a caller gets of a command's reply: n = min(length, size) bytes are copied and the
    // n-th copied byte is then overwritten by NUL, so a whole reply arrives without its final carriage
    // return. Callers rely on exactly this, so it stays as it is; it has no other use.
    std::uint32_t CopyOutReply(char* destination, std::uint32_t size) const;

private:
    std::unique_ptr<std::uint8_t[]> m_data; // m_capacity + 1 bytes, or none
    std::uint32_t m_capacity = 0;
    std::uint32_t m_length = 0;
};

} // namespace zrcomm
