// Bad contents for every file the programs read, generated from a seed that the test
// prints (ORVANE_SEED=<n> repeats a run): random bytes, invalid GBK, NUL bytes, lone
// CRs, zero length. Ten megabytes come once per file, apart from the generated cases.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

class BadFiles {
public:
    static constexpr int kCases = 200;

    explicit BadFiles(const char* reader) {
        const char* given = std::getenv("ORVANE_SEED");
        seed_ = given ? static_cast<uint32_t>(std::strtoul(given, nullptr, 10)) : std::random_device{}();
        random_.seed(seed_);
        std::cout << reader << ": seed " << seed_ << " (ORVANE_SEED=" << seed_ << " repeats it)\n";
    }
    uint32_t seed() const { return seed_; }

    // Case i: its kind is i % 5, its bytes drawn from the seed.
    std::string next(int i) {
        std::string bytes;
        const size_t length = pick(0, 600);
        switch (i % 5) {
            case 0:  // random bytes
                for (size_t n = 0; n < length; ++n) bytes += static_cast<char>(pick(0, 255));
                break;
            case 1:  // lead bytes with no valid trail, lone 0x80 and 0xFF, some text
                for (size_t n = 0; n < length; ++n) {
                    const char pieces[][3] = {"\x81\x7f", "\xfe\x0d", "\x80", "\xff",
                                              "\xd3",     "0",        "1",    "\r\n"};
                    bytes += pieces[pick(0, 7)];
                }
                break;
            case 2:  // NUL bytes among values
                for (size_t n = 0; n < length; ++n) bytes += "\0\x30\x31\r\n"[pick(0, 4)];
                break;
            case 3:  // lone CRs and LFs
                for (size_t n = 0; n < length; ++n) bytes += "01\r\na "[pick(0, 5)];
                break;
            default:  // zero length
                break;
        }
        return bytes;
    }

    // Ten megabytes of text in lines of 78 characters and CR LF, each line starting with
    // the value.
    static std::string tenMegabytes(char value) {
        std::string line(78, '7');
        line[0] = value;
        line[5] = '\n';
        line += "\r\n";
        std::string bytes;
        bytes.reserve(10 * 1024 * 1024 + line.size());
        while (bytes.size() < 10 * 1024 * 1024) bytes += line;
        return bytes;
    }

    // The first line by the line rules, written out here again for the readers' checks.
    static std::string firstLine(const std::string& bytes) { return bytes.substr(0, bytes.find('\r')); }

private:
    size_t pick(size_t low, size_t high) { return std::uniform_int_distribution<size_t>(low, high)(random_); }
    uint32_t seed_;
    std::mt19937 random_;
};
