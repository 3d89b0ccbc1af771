#pragma once
// Fixed-capacity, zero-terminated text of at most N characters in N+1 bytes.
// Assigning a longer value cuts it to N characters; it can never overflow.
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

template <std::size_t N>
struct Text {
    static constexpr std::size_t capacity = N;
    char s[N + 1]{};

    Text() = default;
    Text(const char* v) { assign(v); }
    Text(std::string_view v) { assign(v); }
    template <std::size_t M>
    Text(const Text<M>& o) {
        assign(o.view());
    }

    Text& operator=(const char* v) {
        assign(v);
        return *this;
    }
    Text& operator=(std::string_view v) {
        assign(v);
        return *this;
    }
    template <std::size_t M>
    Text& operator=(const Text<M>& o) {
        assign(o.view());
        return *this;
    }

    void assign(const char* v) { assign(v ? std::string_view(v, strnlen(v, N)) : std::string_view()); }
    void assign(std::string_view v) {
        std::size_t n = v.size() < N ? v.size() : N;
        if (n) std::memmove(s, v.data(), n);
        std::memset(s + n, 0, N + 1 - n);
    }
    void clear() { std::memset(s, 0, N + 1); }

    const char* c_str() const { return s; }
    char* data() { return s; }
    std::size_t size() const { return strnlen(s, N); }
    bool empty() const { return s[0] == '\0'; }
    std::string_view view() const { return std::string_view(s, size()); }
    std::string str() const { return std::string(view()); }

    bool operator==(std::string_view v) const { return view() == v; }
    bool operator==(const char* v) const { return view() == std::string_view(v ? v : ""); }
    template <std::size_t M>
    bool operator==(const Text<M>& o) const {
        return view() == o.view();
    }
};
