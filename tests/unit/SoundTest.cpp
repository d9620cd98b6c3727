// The sound output over a stand-in waveOut device that plays only when the test says
// so and refuses the block it is told to: every refusal and a device that stops playing
// end the sound with a cause, and a stop fades out from where the sound stands.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "system/WaveSound.h"

namespace {

struct Device {
    std::mutex lock;
    HANDLE event = nullptr;
    std::deque<WAVEHDR*> queued;
    std::vector<std::vector<int16_t>> writes;  // every block written, in order
    size_t failingWrite = 0;                   // the write refused, counted from 1; 0: none
    uint32_t position = 0;                     // samples played since the start or a reset
    bool reset = false;                        // after a reset, blocks are played at once
    int prepared = 0;
    bool closed = false;
} device;

MMRESULT WINAPI deviceOpen(LPHWAVEOUT out, UINT, LPCWAVEFORMATEX, DWORD_PTR callback, DWORD_PTR, DWORD) {
    *out = reinterpret_cast<HWAVEOUT>(&device);
    device.event = reinterpret_cast<HANDLE>(callback);
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI devicePrepare(HWAVEOUT, LPWAVEHDR header, UINT) {
    header->dwFlags |= WHDR_PREPARED;
    ++device.prepared;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI deviceUnprepare(HWAVEOUT, LPWAVEHDR header, UINT) {
    header->dwFlags &= ~WHDR_PREPARED;
    --device.prepared;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI deviceWrite(HWAVEOUT, LPWAVEHDR header, UINT) {
    std::lock_guard hold(device.lock);
    const auto* samples = reinterpret_cast<const int16_t*>(header->lpData);
    device.writes.emplace_back(samples, samples + header->dwBufferLength / 2);
    if (device.writes.size() == device.failingWrite) return MMSYSERR_NODRIVER;
    if (device.reset) {
        header->dwFlags |= WHDR_DONE;
        SetEvent(device.event);
    } else {
        device.queued.push_back(header);
    }
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI devicePosition(HWAVEOUT, LPMMTIME time, UINT) {
    std::lock_guard hold(device.lock);
    time->wType = TIME_SAMPLES;
    time->u.sample = device.position;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI deviceReset(HWAVEOUT) {
    std::lock_guard hold(device.lock);
    for (WAVEHDR* header : device.queued) header->dwFlags |= WHDR_DONE;
    device.queued.clear();
    device.position = 0;
    device.reset = true;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI deviceClose(HWAVEOUT) {
    device.closed = true;
    return MMSYSERR_NOERROR;
}

// The device plays the next queued block to its end.
bool playBlock() {
    std::lock_guard hold(device.lock);
    if (device.queued.empty()) return false;
    WAVEHDR* header = device.queued.front();
    device.queued.pop_front();
    device.position += header->dwBufferLength / 2;
    header->dwFlags |= WHDR_DONE;
    SetEvent(device.event);
    return true;
}

bool within(unsigned milliseconds, const std::function<bool()>& condition) {
    for (const ULONGLONG until = GetTickCount64() + milliseconds; GetTickCount64() < until; Sleep(1))
        if (condition()) return true;
    return condition();
}

struct Sound : ::testing::Test {
    sys::WaveOut out{deviceOpen,  devicePrepare,   deviceWrite, devicePosition,
                     deviceReset, deviceUnprepare, deviceClose, 60000};
    std::vector<int16_t> sound;

    void SetUp() override {
        device.queued.clear();
        device.writes.clear();
        device.failingWrite = 0;
        device.position = 0;
        device.reset = false;
        device.prepared = 0;
        device.closed = false;
    }

    // A sound of `blocks` full blocks whose every sample differs from its neighbours'.
    std::unique_ptr<sys::Sound> play(size_t blocks) {
        sound.resize(blocks * sys::kSoundBlock);
        for (size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<int16_t>(1000 + i % 5000);
        auto given = std::make_shared<size_t>(0);
        uint32_t error = 0;
        auto playing = sys::playOn(
            out,
            [this, given](int16_t* block, size_t capacity) {
                const size_t count = std::min(capacity, sound.size() - *given);
                std::copy_n(sound.begin() + static_cast<ptrdiff_t>(*given), count, block);
                *given += count;
                return count;
            },
            error);
        EXPECT_EQ(error, 0u);
        return playing;
    }

    // The sound is given back whole: the device closed, every block unprepared.
    void expectReleased() const {
        EXPECT_TRUE(device.closed);
        EXPECT_EQ(device.prepared, 0);
    }
};

TEST_F(Sound, EveryBlockIsPlayedInOrderAndThePositionIsTheDevices) {
    auto playing = play(6);
    ASSERT_TRUE(playing);
    ASSERT_TRUE(within(2000, [] { return playBlock(); }));
    EXPECT_EQ(playing->position(), sys::kSoundBlock);
    ASSERT_TRUE(within(5000, [&] { return playBlock(), playing->finished(); }));
    EXPECT_TRUE(playing->failure().empty());
    std::vector<int16_t> written;
    for (const auto& block : device.writes) written.insert(written.end(), block.begin(), block.end());
    EXPECT_EQ(written, sound);
    playing.reset();
    EXPECT_EQ(device.writes.size(), 6u) << "a sound played to its end needs no fade";
    expectReleased();
}

TEST_F(Sound, ABlockTheDeviceRefusesEndsTheSoundWithTheDevicesWords) {
    for (const size_t failing : {size_t{1}, size_t{3}, size_t{6}}) {
        SetUp();
        device.failingWrite = failing;
        auto playing = play(6);
        ASSERT_TRUE(playing);
        ASSERT_TRUE(within(5000, [&] { return playBlock(), playing->finished(); })) << "write " << failing;
        EXPECT_FALSE(playing->failure().empty()) << "write " << failing;
        EXPECT_EQ(device.writes.size(), failing) << "nothing is written after the refusal";
        playing.reset();
        expectReleased();
    }
}

TEST_F(Sound, ADeviceThatStopsPlayingCountsAsGone) {
    out.stallMilliseconds = 100;
    auto playing = play(6);
    ASSERT_TRUE(playing);
    ASSERT_TRUE(within(3000, [&] { return playing->finished(); }));
    EXPECT_NE(playing->failure().find(L"停止"), std::wstring::npos);
    playing.reset();
    expectReleased();
}

TEST_F(Sound, AStopFadesOutFromWhereTheSoundStands) {
    auto playing = play(20);
    ASSERT_TRUE(playing);
    ASSERT_TRUE(within(2000, [] { return playBlock(); }));
    ASSERT_TRUE(within(2000, [] {
        std::lock_guard hold(device.lock);
        return device.writes.size() == 5;  // the played block holds the next samples
    }));
    const size_t before = device.writes.size();
    playing.reset();
    ASSERT_EQ(device.writes.size(), before + 1);
    const std::vector<int16_t>& fade = device.writes.back();
    ASSERT_EQ(fade.size(), sys::kSoundFade);
    for (size_t k = 0; k < fade.size(); ++k) {
        const long heard = sound[sys::kSoundBlock + k];  // the sound goes on where it stood
        EXPECT_EQ(fade[k], heard * static_cast<long>(fade.size() - k) / static_cast<long>(fade.size())) << k;
    }
    EXPECT_LT(std::abs(fade.back()), 20) << "it ends near silence";
    expectReleased();
}

}  // namespace
