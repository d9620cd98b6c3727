#include "system/WaveSound.h"

#include <array>
#include <atomic>
#include <mutex>
#include <thread>

#include "system/Scoped.h"

namespace sys {

namespace {

std::wstring describeWaveOut(MMRESULT result) {
    std::array<wchar_t, MAXERRORLENGTH> text{};
    if (waveOutGetErrorTextW(result, text.data(), static_cast<UINT>(text.size())) != MMSYSERR_NOERROR ||
        text[0] == L'\0')
        return L"waveOut 错误 " + std::to_wstring(result);
    return text.data();
}

class WaveSound final : public Sound {
public:
    WaveSound(const WaveOut& out, SoundSource source) : out_(out), source_(std::move(source)) {}

    uint32_t open() {
        event_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!event_) return GetLastError();
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 1;
        format.nSamplesPerSec = 44100;
        format.wBitsPerSample = 16;
        format.nBlockAlign = 2;
        format.nAvgBytesPerSec = 44100 * 2;
        const MMRESULT opened = out_.open(&device_, WAVE_MAPPER, &format,
                                          reinterpret_cast<DWORD_PTR>(event_.get()), 0, CALLBACK_EVENT);
        if (opened != MMSYSERR_NOERROR) {
            device_ = nullptr;
            return opened == MMSYSERR_NODRIVER || opened == MMSYSERR_BADDEVICEID ? ERROR_DEV_NOT_EXIST
                                                                                 : ERROR_NOT_READY;
        }
        for (WAVEHDR& header : headers_) {
            header.lpData = reinterpret_cast<LPSTR>(blocks_[prepared_].data());
            header.dwBufferLength = kSoundBlock * 2;
            if (out_.prepare(device_, &header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
                release();
                return ERROR_NOT_READY;
            }
            ++prepared_;
            header.dwFlags |= WHDR_DONE;  // free for the first fill
            header.dwBufferLength = 0;    // and holding nothing yet
        }
        lastProgress_ = GetTickCount64();
        {
            std::lock_guard lock(mutex_);
            refill();
        }
        worker_ = std::thread([this] {
            while (!stop_ && !finished_) {
                WaitForSingleObject(event_, 20);
                std::lock_guard lock(mutex_);
                refill();
            }
        });
        return 0;
    }

    ~WaveSound() override {
        stop_ = true;
        if (worker_.joinable()) worker_.join();
        if (!device_) return;
        if (!finished_) fadeOut();
        release();
    }

    bool finished() const override { return finished_; }

    uint64_t position() const override {
        std::lock_guard lock(mutex_);
        return played();
    }

    std::wstring failure() const override {
        std::lock_guard lock(mutex_);
        return failure_;
    }

private:
    static constexpr size_t kBlocks = 4;  // the fifth block is the fade of a stop

    void release() {
        out_.reset(device_);
        for (size_t i = 0; i < prepared_; ++i) out_.unprepare(device_, &headers_[i], sizeof(WAVEHDR));
        out_.close(device_);
        device_ = nullptr;
    }

    // The samples the device reports as played since the start (the last known count
    // once it has failed or cannot say).
    uint64_t played() const {
        if (!failure_.empty()) return lastPlayed_;
        MMTIME time{};
        time.wType = TIME_SAMPLES;
        if (out_.position(device_, &time, sizeof(MMTIME)) != MMSYSERR_NOERROR) return lastPlayed_;
        if (time.wType == TIME_SAMPLES) return time.u.sample;
        if (time.wType == TIME_BYTES) return time.u.cb / 2;
        return lastPlayed_;
    }

    void fail(std::wstring why) {
        failure_ = std::move(why);
        finished_ = true;
    }

    // Under the lock: each block the device has played takes the next samples.
    void refill() {
        if (finished_) return;
        bool queued = false;
        for (size_t i = 0; i < kBlocks; ++i) {
            WAVEHDR& header = headers_[i];
            if (!(header.dwFlags & WHDR_DONE)) {
                queued = true;
                continue;
            }
            if (ended_) continue;
            const size_t filled = source_(blocks_[i].data(), kSoundBlock);
            if (filled == 0) {
                ended_ = true;
                continue;
            }
            header.dwBufferLength = static_cast<DWORD>(filled * 2);
            header.dwFlags &= ~WHDR_DONE;
            starts_[i] = written_;
            written_ += filled;
            if (const MMRESULT result = out_.write(device_, &header, sizeof(WAVEHDR));
                result != MMSYSERR_NOERROR) {
                header.dwFlags |= WHDR_DONE;
                header.dwBufferLength = 0;
                return fail(describeWaveOut(result));
            }
            queued = true;
        }
        if (ended_ && !queued) {
            finished_ = true;
            return;
        }
        // A device that plays nothing more while blocks wait is gone: a write it took
        // may never come back as done.
        const uint64_t now = GetTickCount64(), at = played();
        if (at != lastPlayed_) {
            lastPlayed_ = at;
            lastProgress_ = now;
        } else if (now - lastProgress_ > out_.stallMilliseconds) {
            fail(L"声音输出设备停止了播放");
        }
    }

    // The samples that would have come next, falling to silence, instead of the cut of
    // a reset mid-wave.
    void fadeOut() {
        std::lock_guard lock(mutex_);
        const uint64_t from = played();
        if (out_.reset(device_) != MMSYSERR_NOERROR) return;
        int16_t* fade = blocks_[kBlocks].data();
        size_t count = 0;
        for (uint64_t at = from; count < kSoundFade; ++at) {
            size_t i = 0;
            while (i < kBlocks && !(starts_[i] <= at && at < starts_[i] + headers_[i].dwBufferLength / 2))
                ++i;
            if (i == kBlocks) break;
            fade[count++] = blocks_[i][at - starts_[i]];
        }
        if (count == 0) return;
        for (size_t k = 0; k < count; ++k)
            fade[k] = static_cast<int16_t>(fade[k] * static_cast<long>(count - k) / static_cast<long>(count));
        WAVEHDR& header = headers_[kBlocks];
        header.dwBufferLength = static_cast<DWORD>(count * 2);
        header.dwFlags &= ~WHDR_DONE;
        if (out_.write(device_, &header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return;
        // The fade is a few milliseconds; a device that does not hand it back soon is cut.
        const ULONGLONG until = GetTickCount64() + 200;
        while (!(header.dwFlags & WHDR_DONE) && GetTickCount64() < until) WaitForSingleObject(event_, 10);
    }

    WaveOut out_;
    SoundSource source_;
    HWAVEOUT device_ = nullptr;
    Handle event_;
    std::array<std::array<int16_t, kSoundBlock>, kBlocks + 1> blocks_{};
    std::array<WAVEHDR, kBlocks + 1> headers_{};
    std::array<uint64_t, kBlocks + 1> starts_{};  // the first sample of each block, counted from the start
    size_t prepared_ = 0;
    uint64_t written_ = 0;
    std::thread worker_;
    mutable std::mutex mutex_;
    mutable uint64_t lastPlayed_ = 0;
    uint64_t lastProgress_ = 0;
    bool ended_ = false;
    std::wstring failure_;
    std::atomic<bool> stop_{false}, finished_{false};
};

}  // namespace

std::unique_ptr<Sound> playOn(const WaveOut& out, SoundSource source, uint32_t& error) {
    auto sound = std::make_unique<WaveSound>(out, std::move(source));
    error = sound->open();
    if (error) return nullptr;
    return sound;
}

}  // namespace sys
