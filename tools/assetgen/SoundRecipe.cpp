// Sound recipes: "[sound out.wav|out.ogg seconds rate=22050 channels=1]" followed by notes.
//   note t dur f0 [f1] vol= wave= decay= pan=   one tone (sliding from f0 to f1 Hz)
//   seq t step note... wave= vol= len= decay=   a run of notes ("C5", "F#4", "-" for a rest)
// Waves: sine, square, triangle, saw, noise. The mix is written as 16-bit PCM WAV or, for
// ".ogg", encoded with Vorbis. Noise comes from a fixed seed, so the files never change.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "Generator.h"
#include "OggEncoder.h"

namespace assetgen {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Mix {
  int rate = 22050;
  int channels = 1;
  std::vector<float> left, right;
  uint32_t noiseState = 0x1234567u;

  float Noise() {
    noiseState = noiseState * 1664525u + 1013904223u;
    return static_cast<float>((noiseState >> 8) & 0xFFFF) / 32768.0f - 1.0f;
  }
};

double Wave(const std::string& wave, double phase, Mix& mix, const RecipeLine& line) {
  double p = phase - std::floor(phase);
  if (wave == "sine") return std::sin(2 * kPi * p);
  if (wave == "square") return p < 0.5 ? 0.6 : -0.6;
  if (wave == "triangle") return p < 0.5 ? 4 * p - 1 : 3 - 4 * p;
  if (wave == "saw") return 0.7 * (2 * p - 1);
  if (wave == "noise") return mix.Noise();
  line.Fail("unknown wave '" + wave + "'");
}

double NoteFrequency(const std::string& name, const RecipeLine& line) {
  static const char* kNames = "C D EF G A B";
  if (name.size() < 2) line.Fail("'" + name + "' is not a note");
  const char* at = std::strchr(kNames, name[0]);
  if (at == nullptr || name[0] == ' ') line.Fail("'" + name + "' is not a note");
  int semitone = static_cast<int>(at - kNames);
  size_t i = 1;
  if (name[i] == '#') {
    ++semitone;
    ++i;
  } else if (name[i] == 'b') {
    --semitone;
    ++i;
  }
  if (i >= name.size() || !std::isdigit(static_cast<unsigned char>(name[i]))) line.Fail("'" + name + "' is not a note");
  int octave = name[i] - '0';
  int midi = (octave + 1) * 12 + semitone;
  return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

void AddTone(Mix& mix, const RecipeLine& line, double start, double duration, double f0, double f1) {
  const std::string wave = line.Option("wave", std::string("sine"));
  const double volume = line.Option("vol", 0.5);
  const double decay = line.Option("decay", 0.0);
  const double pan = line.Option("pan", 0.0);
  const double attack = 0.004, release = std::min(0.02, duration / 3);
  size_t first = static_cast<size_t>(start * mix.rate);
  size_t count = static_cast<size_t>(duration * mix.rate);
  double phase = 0;
  for (size_t n = 0; n < count && first + n < mix.left.size(); ++n) {
    double t = static_cast<double>(n) / mix.rate;
    double f = f0 + (f1 - f0) * (t / duration);
    phase += f / mix.rate;
    double envelope = std::min(1.0, t / attack) * std::exp(-decay * t);
    if (duration - t < release) envelope *= (duration - t) / release;
    double v = volume * envelope * Wave(wave, phase, mix, line);
    mix.left[first + n] += static_cast<float>(v * std::min(1.0, 1 - pan));
    mix.right[first + n] += static_cast<float>(v * std::min(1.0, 1 + pan));
  }
}

void AddLine(Mix& mix, const RecipeLine& line) {
  const std::string& op = line.Text(0);
  if (op == "note") {
    double f0 = line.Number(3);
    AddTone(mix, line, line.Number(1), line.Number(2), f0, line.Count() > 4 ? line.Number(4) : f0);
  } else if (op == "seq") {
    double t = line.Number(1), step = line.Number(2), length = line.Option("len", 0.9);
    for (size_t i = 3; i < line.Count(); ++i, t += step) {
      if (line.Text(i) == "-") continue;
      double f = NoteFrequency(line.Text(i), line);
      AddTone(mix, line, t, step * length, f, f);
    }
  } else {
    line.Fail("unknown sound operation '" + op + "'");
  }
}

// Scales the mix down when it would clip, then converts it to interleaved 16-bit samples.
std::vector<int16_t> ToPcm(const Mix& mix) {
  float peak = 0;
  for (size_t i = 0; i < mix.left.size(); ++i) peak = std::max({peak, std::abs(mix.left[i]), std::abs(mix.right[i])});
  float gain = peak > 0.95f ? 0.95f / peak : 1.0f;
  std::vector<int16_t> pcm;
  for (size_t i = 0; i < mix.left.size(); ++i) {
    float l = mix.left[i] * gain, r = mix.right[i] * gain;
    if (mix.channels == 1) {
      pcm.push_back(static_cast<int16_t>(std::lround((l + r) / 2 * 32767)));
    } else {
      pcm.push_back(static_cast<int16_t>(std::lround(l * 32767)));
      pcm.push_back(static_cast<int16_t>(std::lround(r * 32767)));
    }
  }
  return pcm;
}

void PutLe(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void WriteWav(const std::string& path, const Mix& mix, const std::vector<int16_t>& pcm) {
  std::ofstream out(path, std::ios::binary);
  const uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
  const uint32_t blockAlign = static_cast<uint32_t>(mix.channels * 2);
  out.write("RIFF", 4);
  PutLe(out, 36 + dataBytes, 4);
  out.write("WAVEfmt ", 8);
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);  // PCM
  PutLe(out, static_cast<uint32_t>(mix.channels), 2);
  PutLe(out, static_cast<uint32_t>(mix.rate), 4);
  PutLe(out, static_cast<uint32_t>(mix.rate) * blockAlign, 4);
  PutLe(out, blockAlign, 2);
  PutLe(out, 16, 2);
  out.write("data", 4);
  PutLe(out, dataBytes, 4);
  for (int16_t s : pcm) PutLe(out, static_cast<uint16_t>(s), 2);
  if (!out) throw RecipeError(path + ": could not be written");
}

void WriteOgg(const std::string& path, const Mix& mix, const std::vector<int16_t>& pcm) {
  if (!EncodeOgg(path, mix.channels, mix.rate, pcm))
    throw RecipeError(path + ": Vorbis refused the format, or the file could not be written");
}

}  // namespace

void MakeSound(Generator& gen, const Recipe& recipe) {
  const RecipeLine& h = recipe.header;
  Mix mix;
  mix.rate = static_cast<int>(h.Option("rate", 22050.0));
  mix.channels = static_cast<int>(h.Option("channels", 1.0));
  double seconds = h.Number(2);
  if (mix.channels < 1 || mix.channels > 2 || mix.rate < 8000 || seconds <= 0 || seconds > 120)
    h.Fail("a sound has 1 or 2 channels, a rate of at least 8000 and lasts up to 120 seconds");
  size_t samples = static_cast<size_t>(seconds * mix.rate);
  mix.left.assign(samples, 0.0f);
  mix.right.assign(samples, 0.0f);
  for (const RecipeLine& line : recipe.lines) AddLine(mix, line);
  std::vector<int16_t> pcm = ToPcm(mix);
  std::string ext = LowerCase(recipe.Output().substr(recipe.Output().find_last_of('.') + 1));
  if (ext == "wav") WriteWav(gen.OutputPath(recipe.Output()), mix, pcm);
  else if (ext == "ogg") WriteOgg(gen.OutputPath(recipe.Output()), mix, pcm);
  else h.Fail("sounds are written as .wav or .ogg");
}

}  // namespace assetgen
