#include "vxp/VXPString.h"

#include <cstring>

namespace {
char* copyOf(const char* text) {
    const size_t length = text ? std::strlen(text) : 0;
    char* buffer = new char[length + 1];
    if (length) std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return buffer;
}
}  // namespace

VXPString::VXPString() : m_buffer(copyOf(nullptr)) {}

VXPString::VXPString(char* ownedBuffer) : m_buffer(ownedBuffer) {}

VXPString::VXPString(const VXPString& other) : m_buffer(copyOf(other.m_buffer)) {}

VXPString& VXPString::operator=(const VXPString& other) {
    if (this != &other) {
        char* copy = copyOf(other.m_buffer);
        delete[] m_buffer;
        m_buffer = copy;
    }
    return *this;
}

VXPString::~VXPString() { delete[] m_buffer; }

VXPString VXPString::fromChar(const char* text) {
    if (!text) return VXPString();
    size_t length = 0;
    for (const char* p = text; *p; ++p) length += static_cast<unsigned char>(*p) < 0x80 ? 1 : 2;
    char* buffer = new char[length + 1];
    char* out = buffer;
    for (const char* p = text; *p; ++p) {
        const unsigned char byte = static_cast<unsigned char>(*p);
        if (byte < 0x80) {
            *out++ = static_cast<char>(byte);
        } else {
            *out++ = static_cast<char>(0xC0 | (byte >> 6));
            *out++ = static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    *out = '\0';
    return VXPString(buffer);
}

VXPString VXPString::fromUtf8(const char* text) { return VXPString(copyOf(text)); }
