#include "component/variant.h"

#include <cstdio>

namespace comp {

const char* varTypeName(VarType type)
{
    switch (type) {
    case VarType::Empty: return "EMPTY";
    case VarType::Bool: return "BOOL";
    case VarType::I2: return "I2";
    case VarType::I4: return "I4";
    case VarType::R4: return "R4";
    case VarType::R8: return "R8";
    case VarType::BStr: return "BSTR";
    case VarType::Unknown: return "UNKNOWN";
    case VarType::PtrI4: return "PTR I4";
    case VarType::PtrBool: return "PTR BOOL";
    case VarType::IntPtr: return "INT_PTR";
    }
    return "?";
}

Variant Variant::fromBool(bool v)
{
    Variant r;
    r.m_type = VarType::Bool;
    r.m_int = v ? 1 : 0;
    return r;
}

Variant Variant::fromI2(std::int16_t v)
{
    Variant r;
    r.m_type = VarType::I2;
    r.m_int = v;
    return r;
}

Variant Variant::fromI4(std::int32_t v)
{
    Variant r;
    r.m_type = VarType::I4;
    r.m_int = v;
    return r;
}

Variant Variant::fromR4(float v)
{
    Variant r;
    r.m_type = VarType::R4;
    r.m_real = v;
    return r;
}

Variant Variant::fromR8(double v)
{
    Variant r;
    r.m_type = VarType::R8;
    r.m_real = v;
    return r;
}

Variant Variant::fromString(std::string_view v)
{
    Variant r;
    r.m_type = VarType::BStr;
    r.m_text = v;
    return r;
}

Variant Variant::fromNullString()
{
    Variant r;
    r.m_type = VarType::BStr;
    r.m_int = 1;
    return r;
}

Variant Variant::fromUnknown(void* p)
{
    Variant r;
    r.m_type = VarType::Unknown;
    r.m_ptr = p;
    return r;
}

Variant Variant::fromPtrI4(std::int32_t* p)
{
    Variant r;
    r.m_type = VarType::PtrI4;
    r.m_ptr = p;
    return r;
}

Variant Variant::fromPtrBool(std::int32_t* p)
{
    Variant r;
    r.m_type = VarType::PtrBool;
    r.m_ptr = p;
    return r;
}

Variant Variant::fromIntPtr(std::intptr_t v)
{
    Variant r;
    r.m_type = VarType::IntPtr;
    r.m_int = v;
    return r;
}

const std::string& Variant::toString() const
{
    static const std::string empty;
    return m_type == VarType::BStr ? m_text : empty;
}

std::int32_t* Variant::toPtrI4() const
{
    return m_type == VarType::PtrI4 ? static_cast<std::int32_t*>(m_ptr) : nullptr;
}

std::int32_t* Variant::toPtrBool() const
{
    return m_type == VarType::PtrBool ? static_cast<std::int32_t*>(m_ptr) : nullptr;
}

std::string Variant::describe() const
{
    char buf[64];
    switch (m_type) {
    case VarType::Empty: return "EMPTY";
    case VarType::Bool:
    case VarType::I2:
    case VarType::I4:
    case VarType::IntPtr:
        std::snprintf(buf, sizeof buf, "%s %lld", varTypeName(m_type), static_cast<long long>(m_int));
        return buf;
    case VarType::R4:
    case VarType::R8:
        std::snprintf(buf, sizeof buf, "%s %g", varTypeName(m_type), m_real);
        return buf;
    case VarType::BStr: return m_int != 0 ? "BSTR null" : "BSTR \"" + m_text + "\"";
    case VarType::Unknown:
    case VarType::PtrI4:
    case VarType::PtrBool:
        std::snprintf(buf, sizeof buf, "%s %p", varTypeName(m_type), m_ptr);
        return buf;
    }
    return "?";
}

bool operator==(const Variant& a, const Variant& b)
{
    if (a.m_type != b.m_type)
        return false;
    switch (a.m_type) {
    case VarType::Empty: return true;
    case VarType::R4:
    case VarType::R8: return a.m_real == b.m_real;
    case VarType::BStr: return a.m_text == b.m_text && a.m_int == b.m_int;
    case VarType::Unknown:
    case VarType::PtrI4:
    case VarType::PtrBool: return a.m_ptr == b.m_ptr;
    default: return a.m_int == b.m_int;
    }
}

} // namespace comp
