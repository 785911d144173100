#pragma once
// Host data-provider API 7.0: the owned UTF-8 string passed across the API.

class VXPString {
public:
    VXPString();
    VXPString(const VXPString& other);
    VXPString& operator=(const VXPString& other);
    ~VXPString();

    // Latin-1 text, stored as UTF-8.
    static VXPString fromChar(const char* text);
    // UTF-8 text, stored unchanged.
    static VXPString fromUtf8(const char* text);

    const char* utf8() const { return m_buffer; }

private:
    explicit VXPString(char* ownedBuffer);
    char* m_buffer;  // never null, null-terminated, allocated with new[]
};
