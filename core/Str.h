#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace vx {

// The string type used for every name, path, keyword and message: a sequence of
// 32-bit character codes with %1-style message argument substitution.
class Str {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    Str() = default;
    // Text is UTF-8: each sequence becomes one character; a byte outside any valid sequence is
    // kept as it is, so converting back gives the same bytes.
    Str(const char* text);
    Str(const std::string& text);
    Str(const Str&) = default;
    Str(Str&&) noexcept = default;
    Str& operator=(const Str&) = default;
    Str& operator=(Str&&) noexcept = default;

    // The same as Str(text).
    static Str fromUtf8(const std::string& text);

    bool operator==(const Str& other) const { return m_chars == other.m_chars; }
    bool operator!=(const Str& other) const { return m_chars != other.m_chars; }
    bool operator<(const Str& other) const { return m_chars < other.m_chars; }

    Str& operator+=(const Str& other);
    Str operator+(const Str& other) const;

    // Both give the UTF-8 bytes (the bytes the Str was made from).
    std::string toStdString() const;
    std::string toUtf8() const;
    const char32_t* c_str() const { return m_chars.c_str(); }
    size_t size() const { return m_chars.size(); }
    bool isEmpty() const { return m_chars.empty(); }
    char32_t at(size_t i) const { return m_chars[i]; }

    double toDouble(bool* ok = nullptr) const;
    double toDouble(double defaultValue) const;
    int toInt(bool* ok = nullptr) const;
    int toInt(int defaultValue) const;
    unsigned int toUInt(bool* ok = nullptr) const;

    size_t find(const Str& sub, size_t start = 0) const;
    bool startsWith(const Str& prefix) const;
    bool endsWith(const Str& suffix) const;
    bool contains(const Str& sub) const { return find(sub) != npos; }

    Str& replace(const Str& before, const Str& after);
    Str toUpper() const;
    Str toLower() const;
    Str trimmed() const;
    Str subStr(size_t start, size_t length = npos) const;
    std::vector<Str> split(const Str& separators) const;

    static Str number(double value, char format = 'g', int precision = -1);

    Str arg(const Str& a, int fieldWidth = 0, char fillChar = ' ') const;
    Str arg(const char* a, int fieldWidth = 0, char fillChar = ' ') const { return arg(Str(a), fieldWidth, fillChar); }
    Str arg(const std::string& a, int fieldWidth = 0, char fillChar = ' ') const { return arg(Str(a), fieldWidth, fillChar); }
    Str arg(int a, int fieldWidth = 0, char fillChar = ' ') const;
    Str arg(long long a, int fieldWidth = 0, char fillChar = ' ') const;
    Str arg(unsigned long long a, int fieldWidth = 0, char fillChar = ' ') const;
    Str arg(long a, int fieldWidth = 0, char fillChar = ' ') const { return arg(static_cast<long long>(a), fieldWidth, fillChar); }
    Str arg(unsigned long a, int fieldWidth = 0, char fillChar = ' ') const { return arg(static_cast<unsigned long long>(a), fieldWidth, fillChar); }
    Str arg(unsigned int a, int fieldWidth = 0, char fillChar = ' ') const { return arg(static_cast<unsigned long long>(a), fieldWidth, fillChar); }
    Str arg(double a, int fieldWidth = 0, char format = 'g', int precision = -1, char fillChar = ' ') const;

private:
    explicit Str(std::u32string chars) : m_chars(std::move(chars)) {}
    std::u32string m_chars;
};

Str operator+(const char* left, const Str& right);

}  // namespace vx
