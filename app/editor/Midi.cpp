#include "editor/Midi.h"

#include <cstdint>

#include "editor/Rendering.h"

namespace midi {

namespace {

constexpr uint8_t kVelocity = 80;  // mezzo-forte: the samples are all struck alike

// A delta time or length as the file carries it: seven bits a byte, the highest first,
// every byte but the last with its top bit set.
void putQuantity(std::string& out, uint32_t value) {
    char bytes[5];
    int count = 0;
    do {
        bytes[count++] = static_cast<char>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) out += static_cast<char>(bytes[--count] | 0x80);
    out += bytes[0];
}

void putBigEndian(std::string& out, uint32_t value, int size) {
    for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

// The MIDI note of a digit "1" to "7"; -1 for the rest "0".
int noteOf(wchar_t digit) {
    static constexpr int kNotes[] = {-1, 60, 62, 64, 65, 67, 69, 59};
    return kNotes[digit - L'0'];
}

}  // namespace

std::string fromScore(std::wstring_view score) {
    const std::wstring digits = rendering::noteDigits(score);
    if (digits.empty()) return {};

    std::string track;
    // At the start: 4/4 (24 MIDI clocks a click, 8 thirty-seconds a quarter), the tempo
    // of 500,000 microseconds a quarter, and the marimba on channel 1.
    track += std::string("\x00\xFF\x58\x04\x04\x02\x18\x08", 8);
    track += std::string("\x00\xFF\x51\x03\x07\xA1\x20", 7);
    track += std::string("\x00\xC0", 2) + static_cast<char>(kMarimba);
    uint32_t waited = 0;  // ticks since the last event: the rests before a note
    for (const wchar_t digit : digits) {
        const int note = noteOf(digit);
        if (note < 0) {
            waited += kTicksPerQuarter;
            continue;
        }
        putQuantity(track, waited);
        track += static_cast<char>(0x90);
        track += static_cast<char>(note);
        track += static_cast<char>(kVelocity);
        putQuantity(track, kTicksPerQuarter);
        track += static_cast<char>(0x80);
        track += static_cast<char>(note);
        track += static_cast<char>(0x40);
        waited = 0;
    }
    putQuantity(track, waited);
    track += std::string("\xFF\x2F\x00", 3);

    std::string file("MThd\x00\x00\x00\x06\x00\x00\x00\x01", 12);
    putBigEndian(file, kTicksPerQuarter, 2);
    file += "MTrk";
    putBigEndian(file, static_cast<uint32_t>(track.size()), 4);
    return file + track;
}

}  // namespace midi
