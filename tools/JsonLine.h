// One JSON object per output line, pure ASCII: every character outside
// printable ASCII is written as a \uXXXX escape of its UTF-16 code unit, so
// the output reads the same whatever the console code page is.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

class JsonLine {
  public:
    JsonLine& Text(std::string_view key, std::wstring_view value) {
        Key(key);
        body_ += '"';
        for (const wchar_t unit : value)
            AppendUnit(static_cast<std::uint16_t>(unit));
        body_ += '"';
        return *this;
    }

    JsonLine& Number(std::string_view key, long long value) {
        Key(key);
        body_ += std::to_string(value);
        return *this;
    }

    JsonLine& Flag(std::string_view key, bool value) {
        Key(key);
        body_ += value ? "true" : "false";
        return *this;
    }

    JsonLine& Numbers(std::string_view key, std::initializer_list<long long> values) {
        Key(key);
        body_ += '[';
        bool first = true;
        for (const long long v : values) {
            if (!first)
                body_ += ',';
            body_ += std::to_string(v);
            first = false;
        }
        body_ += ']';
        return *this;
    }

    // The finished object followed by a line feed.
    std::string Finish() const { return "{" + body_ + "}\n"; }

  private:
    void Key(std::string_view key) {
        if (!body_.empty())
            body_ += ',';
        body_ += '"';
        body_ += key;
        body_ += "\":";
    }

    void AppendUnit(std::uint16_t unit) {
        constexpr std::uint16_t kFirstPrintable = 0x20;
        constexpr std::uint16_t kLastPrintable = 0x7E;
        if (unit == '"' || unit == '\\') {
            body_ += '\\';
            body_ += static_cast<char>(unit);
        } else if (unit >= kFirstPrintable && unit <= kLastPrintable) {
            body_ += static_cast<char>(unit);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unit);
            body_ += escape;
        }
    }

    std::string body_;
};
