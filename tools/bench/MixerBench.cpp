// Cost of the sound mixer: 16 looping buffers (mono and stereo, at the output rate and at 44100 Hz,
// so half of them are resampled) mixed into 22050 Hz stereo, 512 frames per call as the SDL
// callback asks for them.
#include <dsound/DSound.h>
#include <dsound/Mixer.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

IDirectSoundBuffer* MakeLoopingBuffer(IDirectSound8* sound, DWORD rate, WORD channels)
{
    const WORD align = static_cast<WORD>(channels * 2);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, channels, rate, rate * align, align, 16, 0};
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_CTRLVOLUME, rate * align, 0, &format, {}};
    IDirectSoundBuffer* buffer = nullptr;
    sound->CreateSoundBuffer(&desc, &buffer, nullptr);
    void* audio = nullptr;
    DWORD bytes = 0;
    buffer->Lock(0, 0, &audio, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
    auto* samples = static_cast<int16_t*>(audio);
    for (DWORD i = 0; i < bytes / 2; ++i)
        samples[i] = static_cast<int16_t>(8000 * std::sin(i * 0.05));
    buffer->Unlock(audio, bytes, nullptr, 0);
    buffer->SetVolume(-600);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    return buffer;
}

void BM_Mix16Sounds(benchmark::State& state)
{
    platform::dsound::UseManualMixer(true);
    IDirectSound8* sound = nullptr;
    DirectSoundCreate8(nullptr, &sound, nullptr);
    sound->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
    std::vector<IDirectSoundBuffer*> buffers;
    for (int i = 0; i < 16; ++i)
        buffers.push_back(MakeLoopingBuffer(sound, i % 2 ? 44100 : 22050, static_cast<WORD>(i % 4 < 2 ? 1 : 2)));

    constexpr uint32_t kFrames = 512;
    std::vector<int16_t> out(kFrames * 2);
    for (auto _ : state) {
        platform::dsound::Mix(out.data(), kFrames);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    for (IDirectSoundBuffer* buffer : buffers)
        buffer->Release();
    sound->Release();
    platform::dsound::UseManualMixer(false);
}
BENCHMARK(BM_Mix16Sounds);

} // namespace
