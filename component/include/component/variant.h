// The value that crosses a control's dispatch interface: one typed slot, copied by value. Pointer
// kinds hold plain in-process addresses of the caller: nothing is reference-counted or freed, and
// they are valid only for the duration of the call that carries them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace comp {

enum class VarType : std::uint8_t {
    Empty,   // no value (void result)
    Bool,    // BOOL, kept as 0 or 1
    I2,      // short
    I4,      // long
    R4,      // float
    R8,      // double
    BStr,    // string, UTF-8
    Unknown, // raw in-process address (buffers, records, 64-bit variables of the caller)
    PtrI4,   // address of the caller's 32-bit long
    PtrBool, // address of the caller's 32-bit BOOL
    IntPtr,  // pointer-sized integer: item handles, node addresses, window handles
};

// "I4", "BSTR", "UNKNOWN" ...
const char* varTypeName(VarType type);

class Variant {
public:
    Variant() = default;

    static Variant fromBool(bool v);
    static Variant fromI2(std::int16_t v);
    static Variant fromI4(std::int32_t v);
    static Variant fromR4(float v);
    static Variant fromR8(double v);
    static Variant fromString(std::string_view v);
    // A BSTR that is no string at all (a null pointer), which some members tell from "".
    static Variant fromNullString();
    static Variant fromUnknown(void* p);
    static Variant fromPtrI4(std::int32_t* p);
    static Variant fromPtrBool(std::int32_t* p);
    static Variant fromIntPtr(std::intptr_t v);

    VarType type() const { return m_type; }
    bool isEmpty() const { return m_type == VarType::Empty; }
    bool isNullString() const { return m_type == VarType::BStr && m_int != 0; }

    // Read as the given kind; a value of another kind reads as 0 / empty / null. Callers check
    // type() first (the dispatcher does it against the member table).
    bool toBool() const { return m_type == VarType::Bool && m_int != 0; }
    std::int16_t toI2() const { return m_type == VarType::I2 ? static_cast<std::int16_t>(m_int) : 0; }
    std::int32_t toI4() const { return m_type == VarType::I4 ? static_cast<std::int32_t>(m_int) : 0; }
    float toR4() const { return m_type == VarType::R4 ? static_cast<float>(m_real) : 0.0f; }
    double toR8() const { return m_type == VarType::R8 ? m_real : 0.0; }
    const std::string& toString() const;
    void* toUnknown() const { return m_type == VarType::Unknown ? m_ptr : nullptr; }
    std::int32_t* toPtrI4() const;
    std::int32_t* toPtrBool() const;
    std::intptr_t toIntPtr() const { return m_type == VarType::IntPtr ? static_cast<std::intptr_t>(m_int) : 0; }

    // "I4 42", "BSTR \"text\"", "UNKNOWN 0x7ffd..." for log lines and test messages.
    std::string describe() const;

    friend bool operator==(const Variant& a, const Variant& b);

private:
    VarType m_type = VarType::Empty;
    std::int64_t m_int = 0;
    double m_real = 0.0;
    void* m_ptr = nullptr;
    std::string m_text;
};

} // namespace comp
