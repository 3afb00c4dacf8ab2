// A small LV2 host that measures how much CPU time chains of LV2 plug-ins need.
//
// It plays one deterministic stereo file (generated here, or read from a WAV) through one or
// more chains of plug-ins in fixed-size blocks and times every lilv_instance_run () call with
// the calling thread's CPU clock, so the figure is "one core's worth of work" no matter how busy
// the rest of the machine is. The chains are measured in the same process, interleaved repeat by
// repeat, so a load spike on a shared machine hits all of them alike; the best repeat counts.
//
// It gives plug-ins what JUCE's LV2 wrapper insists on (URID map, options with the block length
// and sample rate, bounded block length) and well-formed atom sequences on atom ports, which is
// why lilv's own lv2apply cannot be used: it leaves atom ports unconnected.
//
// Usage: lv2-bench-host [options] [--chain NAME] --plugin URI [SYMBOL=VALUE ...]
//                       [--preset LABEL] [--patch PROPERTY_URI=VALUE] [--plugin ...] [--chain ...]
// Run with --help for the options.

#include <lilv/lilv.h>

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/patch/patch.h>
#include <lv2/presets/presets.h>
#include <lv2/resize-port/resize-port.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <regex>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace
{
//==============================================================================
// Command line

struct ControlSetting
{
    std::string symbol;
    float value = 0.0f;
};

struct PatchSetting
{
    std::string property;
    float value = 0.0f;
};

struct PluginRequest
{
    std::string uri;
    std::vector<ControlSetting> controls;
    std::vector<PatchSetting> patches;
    std::string preset;
};

struct ChainRequest
{
    std::string name;
    std::vector<PluginRequest> plugins;
};

struct Options
{
    double sampleRate = 44100.0;
    uint32_t blockSize = 512;
    double seconds = 30.0;
    double warmUpSeconds = 3.0;
    int repeats = 3;
    std::string inputPath;
    std::string writeInputPath;
    std::string writeOutputPrefix;
    std::string reportOutputs;
    std::vector<ChainRequest> chains;
};

[[noreturn]] void fail (const std::string& message)
{
    throw std::runtime_error (message);
}

void printUsage()
{
    std::puts (
        "usage: lv2-bench-host [options] [--chain NAME] --plugin URI [SYMBOL=VALUE ...]\n"
        "                      [--preset LABEL] [--patch PROPERTY_URI=VALUE] [--plugin ...] [--chain ...]\n"
        "\n"
        "Each --chain starts a chain of plug-ins run in series; each --plugin adds one to it.\n"
        "SYMBOL=VALUE sets a control input port, --preset restores a preset by its label,\n"
        "--patch sends a patch:Set message with a float value in the very first block.\n"
        "\n"
        "options:\n"
        "  --rate HZ             sample rate of the generated signal (default 44100)\n"
        "  --block N             frames per run () call (default 512)\n"
        "  --seconds S           length of the generated signal (default 30)\n"
        "  --input FILE.wav      play this stereo WAV instead of the generated signal\n"
        "  --write-input F.wav   write the signal that is played (32-bit float)\n"
        "  --write-output PFX    write each chain's output to PFX<chain>.wav (last repeat)\n"
        "  --warm-up S           seconds played through every chain before timing (default 3)\n"
        "  --repeats N           timed passes over the whole file per chain (default 3)\n"
        "  --report-outputs RE   print min/max of control outputs and patch:Set properties\n"
        "                        whose symbol or name matches this regular expression\n");
}

double parseNumber (const std::string& text, const char* what)
{
    char* end = nullptr;
    const double value = std::strtod (text.c_str(), &end);

    if (text.empty() || end == nullptr || *end != '\0' || ! std::isfinite (value))
        fail (std::string ("invalid ") + what + ": '" + text + "'");

    return value;
}

Options parseCommandLine (int argc, char** argv)
{
    Options options;
    ChainRequest* chain = nullptr;
    PluginRequest* plugin = nullptr;

    const auto next = [&] (int& i) -> std::string
    {
        if (i + 1 >= argc)
            fail (std::string ("missing value after ") + argv[i]);

        return argv[++i];
    };

    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];

        if (arg == "--help" || arg == "-h")
        {
            printUsage();
            std::exit (0);
        }
        else if (arg == "--rate")
            options.sampleRate = parseNumber (next (i), "rate");
        else if (arg == "--block")
            options.blockSize = static_cast<uint32_t> (parseNumber (next (i), "block size"));
        else if (arg == "--seconds")
            options.seconds = parseNumber (next (i), "length");
        else if (arg == "--warm-up")
            options.warmUpSeconds = parseNumber (next (i), "warm-up");
        else if (arg == "--repeats")
            options.repeats = static_cast<int> (parseNumber (next (i), "repeat count"));
        else if (arg == "--input")
            options.inputPath = next (i);
        else if (arg == "--write-input")
            options.writeInputPath = next (i);
        else if (arg == "--write-output")
            options.writeOutputPrefix = next (i);
        else if (arg == "--report-outputs")
            options.reportOutputs = next (i);
        else if (arg == "--chain")
        {
            options.chains.push_back ({ next (i), {} });
            chain = &options.chains.back();
            plugin = nullptr;
        }
        else if (arg == "--plugin")
        {
            if (chain == nullptr)
            {
                options.chains.push_back ({ "chain" + std::to_string (options.chains.size() + 1), {} });
                chain = &options.chains.back();
            }

            chain->plugins.push_back ({});
            plugin = &chain->plugins.back();
            plugin->uri = next (i);
        }
        else if (arg == "--preset" || arg == "--patch" || arg.find ('=') != std::string::npos)
        {
            if (plugin == nullptr)
                fail ("'" + arg + "' must follow a --plugin URI");

            if (arg == "--preset")
            {
                plugin->preset = next (i);
                continue;
            }

            const std::string setting = arg == "--patch" ? next (i) : arg;
            const auto equals = setting.rfind ('=');

            if (equals == std::string::npos || equals == 0)
                fail ("expected NAME=VALUE, got '" + setting + "'");

            const std::string name = setting.substr (0, equals);
            const float value = static_cast<float> (parseNumber (setting.substr (equals + 1), name.c_str()));

            if (arg == "--patch")
                plugin->patches.push_back ({ name, value });
            else
                plugin->controls.push_back ({ name, value });
        }
        else
            fail ("unknown argument '" + arg + "' (try --help)");
    }

    if (options.chains.empty())
        fail ("no plug-in given (try --help)");

    for (const auto& c : options.chains)
        if (c.plugins.empty())
            fail ("chain '" + c.name + "' has no plug-in");

    if (options.blockSize < 1 || options.blockSize > 65536)
        fail ("the block size must be between 1 and 65536");

    if (options.repeats < 1)
        fail ("at least one repeat is needed");

    if (options.sampleRate < 8000.0 || options.sampleRate > 768000.0)
        fail ("unsupported sample rate");

    return options;
}

//==============================================================================
// Audio: a deterministic test signal and minimal WAV input/output

struct StereoSignal
{
    double sampleRate = 44100.0;
    std::vector<float> left, right;

    size_t frames() const { return left.size(); }
};

/** xorshift64*: the same noise on every machine and every run. */
struct Random
{
    uint64_t state = 0x9E3779B97F4A7C15ull;

    double uniform() // in [-1, 1)
    {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        const uint64_t x = state * 0x2545F4914F6CDD1Dull;
        return static_cast<double> (x >> 11) * (2.0 / 9007199254740992.0) - 1.0;
    }
};

/** Something with the statistics of a mastered pop mix rather than a sine: a kick, a snare, hats,
    a bass line, a chord pad with stereo width, a quiet bridge (so an expander has something to
    do) and a long decaying tail, at 120 beats per minute. Dynamics processors and equalisers
    whose cost depends on the material then see realistic material. */
StereoSignal generateTestSignal (double sampleRate, double seconds)
{
    constexpr double pi = 3.14159265358979323846;
    const size_t frames = static_cast<size_t> (std::llround (seconds * sampleRate));
    StereoSignal signal;
    signal.sampleRate = sampleRate;
    signal.left.assign (frames, 0.0f);
    signal.right.assign (frames, 0.0f);

    Random random;
    const double beat = 0.5;
    const double bassNotes[] = { 55.0, 55.0, 65.41, 49.0, 55.0, 73.42, 61.74, 49.0 };
    const double chordRoots[] = { 220.0, 174.61, 261.63, 196.0 };
    double snareNoise = 0.0, hatPrevious = 0.0;
    double kickPhase = 0.0, bassPhase = 0.0;
    std::vector<double> padPhase (12, 0.0);

    for (size_t n = 0; n < frames; ++n)
    {
        const double t = static_cast<double> (n) / sampleRate;
        const double inBeat = std::fmod (t, beat);
        const long beatIndex = static_cast<long> (t / beat);
        const double inEighth = std::fmod (t, beat / 2.0);

        // Kick: a falling sine on every beat.
        const double kickFrequency = 45.0 + 75.0 * std::exp (-inBeat / 0.03);
        kickPhase += 2.0 * pi * kickFrequency / sampleRate;
        const double kick = 0.55 * std::exp (-inBeat / 0.12) * std::sin (kickPhase);

        // Snare on the back beats: low-passed noise plus a short tone.
        const double white = random.uniform();
        snareNoise += 0.35 * (white - snareNoise);
        const bool backBeat = (beatIndex % 2) == 1;
        const double snare = backBeat ? std::exp (-inBeat / 0.08) * (0.35 * snareNoise + 0.15 * std::sin (2.0 * pi * 190.0 * inBeat))
                                      : 0.0;

        // Hats on the eighths: differentiated noise, so mostly treble.
        const double hiss = random.uniform();
        const double hat = 0.12 * std::exp (-inEighth / 0.025) * (hiss - hatPrevious);
        hatPrevious = hiss;

        // Bass: a few harmonics, one note per beat, plucked.
        const double bassFrequency = bassNotes[beatIndex % 8];
        bassPhase += 2.0 * pi * bassFrequency / sampleRate;
        const double bassEnvelope = 0.3 * (0.35 + 0.65 * std::exp (-inBeat / 0.2));
        const double bass = bassEnvelope * (std::sin (bassPhase) + 0.4 * std::sin (2.0 * bassPhase) + 0.2 * std::sin (3.0 * bassPhase));

        // Pad: a triad per two bars, detuned between the sides to give it width.
        const long chordIndex = static_cast<long> (t / (8.0 * beat)) % 4;
        const double inChord = std::fmod (t, 8.0 * beat);
        const double padEnvelope = 0.05 * (1.0 - std::exp (-inChord / 0.3));
        double padLeft = 0.0, padRight = 0.0;

        for (int voice = 0; voice < 3; ++voice)
        {
            static const double intervals[] = { 1.0, 1.259921, 1.498307 };
            const double f = chordRoots[chordIndex] * intervals[voice];

            for (int side = 0; side < 2; ++side)
            {
                double& phase = padPhase[static_cast<size_t> (voice * 2 + side)];
                phase += 2.0 * pi * f * (side == 0 ? 0.998 : 1.002) / sampleRate;
                phase = std::fmod (phase, 2.0 * pi);
                const double v = std::sin (phase) + 0.3 * std::sin (2.0 * phase) + 0.1 * std::sin (5.0 * phase);
                (side == 0 ? padLeft : padRight) += padEnvelope * v;
            }
        }

        kickPhase = std::fmod (kickPhase, 2.0 * pi);
        bassPhase = std::fmod (bassPhase, 2.0 * pi);

        // Song form: full, then a quiet bridge at -30 dB, back to full, then a decaying tail.
        double level = 1.0;

        if (t >= 18.0 && t < 22.0)
            level = 0.0316;
        else if (t >= seconds - 4.0)
            level = std::exp (-(t - (seconds - 4.0)) / 0.8);

        const double centre = kick + snare + bass;
        signal.left[n] = static_cast<float> (level * (centre + 0.7 * hat + padLeft));
        signal.right[n] = static_cast<float> (level * (centre + 1.0 * hat + padRight));
    }

    // Normalise to a -3 dBFS peak so the dynamics see a hot but unclipped mix.
    float peak = 0.0f;

    for (size_t n = 0; n < frames; ++n)
        peak = std::max ({ peak, std::fabs (signal.left[n]), std::fabs (signal.right[n]) });

    if (peak > 0.0f)
    {
        const float gain = 0.70794578f / peak;

        for (size_t n = 0; n < frames; ++n)
        {
            signal.left[n] *= gain;
            signal.right[n] *= gain;
        }
    }

    return signal;
}

void writeLittleEndian (std::ofstream& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.put (static_cast<char> ((value >> (8 * i)) & 0xFF));
}

void writeWav (const std::string& path, const std::vector<float>& left, const std::vector<float>& right, double sampleRate)
{
    std::ofstream out (path, std::ios::binary);

    if (! out)
        fail ("cannot write " + path);

    const uint32_t frames = static_cast<uint32_t> (left.size());
    const uint32_t dataBytes = frames * 2u * 4u;
    out.write ("RIFF", 4);
    writeLittleEndian (out, 4 + (8 + 18) + (8 + 4) + (8 + dataBytes), 4);
    out.write ("WAVE", 4);
    out.write ("fmt ", 4);
    writeLittleEndian (out, 18, 4);
    writeLittleEndian (out, 3, 2); // IEEE float
    writeLittleEndian (out, 2, 2);
    writeLittleEndian (out, static_cast<uint32_t> (sampleRate), 4);
    writeLittleEndian (out, static_cast<uint32_t> (sampleRate) * 8u, 4);
    writeLittleEndian (out, 8, 2);
    writeLittleEndian (out, 32, 2);
    writeLittleEndian (out, 0, 2);
    out.write ("fact", 4);
    writeLittleEndian (out, 4, 4);
    writeLittleEndian (out, frames, 4);
    out.write ("data", 4);
    writeLittleEndian (out, dataBytes, 4);

    std::vector<float> interleaved (static_cast<size_t> (frames) * 2);

    for (size_t n = 0; n < frames; ++n)
    {
        interleaved[2 * n] = left[n];
        interleaved[2 * n + 1] = right[n];
    }

    // WAV is little-endian, as is every machine this runs on.
    out.write (reinterpret_cast<const char*> (interleaved.data()), static_cast<std::streamsize> (interleaved.size() * 4));

    if (! out)
        fail ("error writing " + path);
}

uint32_t readLittleEndian (const unsigned char* p, int bytes)
{
    uint32_t value = 0;

    for (int i = 0; i < bytes; ++i)
        value |= static_cast<uint32_t> (p[i]) << (8 * i);

    return value;
}

/** Reads 16/24/32-bit integer or 32/64-bit float PCM, mono or stereo. */
StereoSignal readWav (const std::string& path)
{
    std::ifstream in (path, std::ios::binary);

    if (! in)
        fail ("cannot read " + path);

    std::vector<unsigned char> bytes ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char>());

    if (bytes.size() < 12 || std::memcmp (bytes.data(), "RIFF", 4) != 0 || std::memcmp (bytes.data() + 8, "WAVE", 4) != 0)
        fail (path + " is not a RIFF/WAVE file");

    uint32_t format = 0, channels = 0, rate = 0, bits = 0;
    const unsigned char* data = nullptr;
    size_t dataSize = 0;

    for (size_t pos = 12; pos + 8 <= bytes.size();)
    {
        const uint32_t size = readLittleEndian (&bytes[pos + 4], 4);
        const unsigned char* body = &bytes[pos + 8];
        const size_t available = std::min<size_t> (size, bytes.size() - pos - 8);

        if (std::memcmp (&bytes[pos], "fmt ", 4) == 0 && available >= 16)
        {
            format = readLittleEndian (body, 2);
            channels = readLittleEndian (body + 2, 2);
            rate = readLittleEndian (body + 4, 4);
            bits = readLittleEndian (body + 14, 2);

            if (format == 0xFFFE && available >= 26) // WAVE_FORMAT_EXTENSIBLE: the sub-format decides
                format = readLittleEndian (body + 24, 2);
        }
        else if (std::memcmp (&bytes[pos], "data", 4) == 0)
        {
            data = body;
            dataSize = available;
        }

        pos += 8 + static_cast<size_t> (size) + (size & 1u);
    }

    if (data == nullptr || (channels != 1 && channels != 2) || rate == 0)
        fail (path + ": unsupported WAV (needs a mono or stereo PCM or float data chunk)");

    const bool isFloat = format == 3;

    if (! ((format == 1 && (bits == 16 || bits == 24 || bits == 32)) || (isFloat && (bits == 32 || bits == 64))))
        fail (path + ": unsupported sample format");

    const size_t frameBytes = channels * (bits / 8);
    const size_t frames = dataSize / frameBytes;
    StereoSignal signal;
    signal.sampleRate = rate;
    signal.left.resize (frames);
    signal.right.resize (frames);

    for (size_t n = 0; n < frames; ++n)
    {
        for (uint32_t c = 0; c < 2; ++c)
        {
            const unsigned char* p = data + n * frameBytes + std::min (c, channels - 1) * (bits / 8);
            double v = 0.0;

            if (isFloat && bits == 32)
            {
                float f;
                std::memcpy (&f, p, 4);
                v = f;
            }
            else if (isFloat)
            {
                std::memcpy (&v, p, 8);
            }
            else
            {
                const uint32_t raw = readLittleEndian (p, static_cast<int> (bits / 8));
                const uint32_t shift = 32 - bits;
                v = static_cast<double> (static_cast<int32_t> (raw << shift)) / 2147483648.0;
            }

            (c == 0 ? signal.left : signal.right)[n] = static_cast<float> (v);
        }
    }

    return signal;
}

double toDecibels (double gain)
{
    return gain > 0.0 ? 20.0 * std::log10 (gain) : -std::numeric_limits<double>::infinity();
}

//==============================================================================
// Host features

class UridMap
{
public:
    LV2_URID map (const char* uri)
    {
        // JUCE's wrapper may map from its message thread while we map from this one.
        std::lock_guard<std::mutex> lock (mutex);
        const auto it = ids.find (uri);

        if (it != ids.end())
            return it->second;

        uris.emplace_back (uri);
        const auto id = static_cast<LV2_URID> (uris.size());
        ids.emplace (uris.back(), id);
        return id;
    }

    const char* unmap (LV2_URID id)
    {
        std::lock_guard<std::mutex> lock (mutex);
        return id >= 1 && id <= uris.size() ? uris[id - 1].c_str() : nullptr;
    }

    LV2_URID_Map mapFeature { this, [] (LV2_URID_Map_Handle h, const char* uri) { return static_cast<UridMap*> (h)->map (uri); } };
    LV2_URID_Unmap unmapFeature { this, [] (LV2_URID_Unmap_Handle h, LV2_URID id) { return static_cast<UridMap*> (h)->unmap (id); } };

private:
    std::mutex mutex;
    std::unordered_map<std::string, LV2_URID> ids;
    std::deque<std::string> uris; // a deque never moves its strings, so unmap ()'s pointers stay valid
};

int logPrintf (LV2_Log_Handle, LV2_URID, const char* format, ...)
{
    va_list args;
    va_start (args, format);
    std::fputs ("  [plug-in log] ", stderr);
    const int n = std::vfprintf (stderr, format, args);
    va_end (args);
    return n;
}

int logVprintf (LV2_Log_Handle, LV2_URID, const char* format, va_list args)
{
    std::fputs ("  [plug-in log] ", stderr);
    return std::vfprintf (stderr, format, args);
}

/** Everything instantiate () receives; it must outlive every instance. */
struct HostFeatures
{
    HostFeatures (UridMap& uridMap, double sampleRate, uint32_t blockSize)
        : map (uridMap)
        , maxBlock (static_cast<int32_t> (blockSize))
        , nominalBlock (static_cast<int32_t> (blockSize))
        , rate (static_cast<float> (sampleRate))
    {
        const LV2_URID atomInt = map.map (LV2_ATOM__Int);
        const LV2_URID atomFloat = map.map (LV2_ATOM__Float);

        // The last block of a file is shorter, so the minimum is one frame, not the block size.
        options = {
            { LV2_OPTIONS_INSTANCE, 0, map.map (LV2_BUF_SIZE__maxBlockLength), sizeof (int32_t), atomInt, &maxBlock },
            { LV2_OPTIONS_INSTANCE, 0, map.map (LV2_BUF_SIZE__minBlockLength), sizeof (int32_t), atomInt, &minBlock },
            { LV2_OPTIONS_INSTANCE, 0, map.map (LV2_BUF_SIZE__nominalBlockLength), sizeof (int32_t), atomInt, &nominalBlock },
            { LV2_OPTIONS_INSTANCE, 0, map.map (LV2_PARAMETERS__sampleRate), sizeof (float), atomFloat, &rate },
            { LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr },
        };

        log.handle = nullptr;
        log.printf = logPrintf;
        log.vprintf = logVprintf;

        features = {
            { LV2_URID__map, &map.mapFeature },
            { LV2_URID__unmap, &map.unmapFeature },
            { LV2_OPTIONS__options, options.data() },
            { LV2_BUF_SIZE__boundedBlockLength, nullptr },
            { LV2_LOG__log, &log },
        };

        for (auto& f : features)
            featurePointers.push_back (&f);

        featurePointers.push_back (nullptr);
    }

    bool supports (const std::string& uri) const
    {
        if (uri == LV2_CORE__hardRTCapable || uri == LV2_CORE_PREFIX "isLive")
            return true;

        for (const auto& f : features)
            if (uri == f.URI)
                return true;

        return false;
    }

    UridMap& map;
    int32_t maxBlock, minBlock = 1, nominalBlock;
    float rate;
    std::vector<LV2_Options_Option> options;
    LV2_Log_Log log {};
    std::vector<LV2_Feature> features;
    std::vector<const LV2_Feature*> featurePointers;
};

/** The lilv nodes and URIDs the host asks about, created once. */
struct Vocabulary
{
    Vocabulary (LilvWorld* w, UridMap& map)
        : world (w)
    {
        audioPort = lilv_new_uri (world, LV2_CORE__AudioPort);
        controlPort = lilv_new_uri (world, LV2_CORE__ControlPort);
        cvPort = lilv_new_uri (world, LV2_CORE__CVPort);
        atomPort = lilv_new_uri (world, LV2_ATOM__AtomPort);
        inputPort = lilv_new_uri (world, LV2_CORE__InputPort);
        outputPort = lilv_new_uri (world, LV2_CORE__OutputPort);
        connectionOptional = lilv_new_uri (world, LV2_CORE__connectionOptional);
        reportsLatency = lilv_new_uri (world, LV2_CORE__reportsLatency);
        designation = lilv_new_uri (world, LV2_CORE__designation);
        latency = lilv_new_uri (world, LV2_CORE__latency);
        minimumSize = lilv_new_uri (world, LV2_RESIZE_PORT__minimumSize);
        preset = lilv_new_uri (world, LV2_PRESETS__Preset);
        label = lilv_new_uri (world, "http://www.w3.org/2000/01/rdf-schema#label");
        requiredOption = lilv_new_uri (world, LV2_OPTIONS__requiredOption);

        atomSequence = map.map (LV2_ATOM__Sequence);
        atomChunk = map.map (LV2_ATOM__Chunk);
        atomObject = map.map (LV2_ATOM__Object);
        atomBlank = map.map (LV2_ATOM__Blank);
        atomFloat = map.map (LV2_ATOM__Float);
        atomDouble = map.map (LV2_ATOM__Double);
        atomInt = map.map (LV2_ATOM__Int);
        atomUrid = map.map (LV2_ATOM__URID);
        patchSet = map.map (LV2_PATCH__Set);
        patchProperty = map.map (LV2_PATCH__property);
        patchValue = map.map (LV2_PATCH__value);
    }

    ~Vocabulary()
    {
        for (auto* node : { audioPort, controlPort, cvPort, atomPort, inputPort, outputPort, connectionOptional,
                            reportsLatency, designation, latency, minimumSize, preset, label, requiredOption })
            lilv_node_free (node);
    }

    LilvWorld* world;
    LilvNode *audioPort, *controlPort, *cvPort, *atomPort, *inputPort, *outputPort, *connectionOptional,
        *reportsLatency, *designation, *latency, *minimumSize, *preset, *label, *requiredOption;
    LV2_URID atomSequence, atomChunk, atomObject, atomBlank, atomFloat, atomDouble, atomInt, atomUrid,
        patchSet, patchProperty, patchValue;
};

//==============================================================================
// One plug-in instance with its port buffers

struct AtomBuffer
{
    uint32_t port = 0;
    uint32_t capacity = 0; // bytes, header included
    std::vector<uint64_t> storage; // 64-bit words keep the sequence 8-byte aligned

    LV2_Atom_Sequence* sequence() { return reinterpret_cast<LV2_Atom_Sequence*> (storage.data()); }
};

struct Range
{
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    double last = 0.0;

    void add (double v)
    {
        lo = std::min (lo, v);
        hi = std::max (hi, v);
        last = v;
    }

    bool seen() const { return lo <= hi; }
};

struct ControlOutput
{
    uint32_t port = 0;
    std::string symbol;
    bool isLatency = false;
    Range range;
};

struct LevelStats
{
    double peak = 0.0, sumSquares = 0.0;
    uint64_t samples = 0, nonFinite = 0;

    void add (const float* data, uint32_t n)
    {
        for (uint32_t i = 0; i < n; ++i)
        {
            const double v = data[i];

            if (! std::isfinite (v))
            {
                ++nonFinite;
                continue;
            }

            peak = std::max (peak, std::fabs (v));
            sumSquares += v * v;
        }

        samples += n;
    }

    double rms() const { return samples > 0 ? std::sqrt (sumSquares / static_cast<double> (samples)) : 0.0; }
};

class PluginInstance
{
public:
    PluginInstance (LilvWorld* world, const LilvPlugins* all, const PluginRequest& requestIn, Vocabulary& v,
                    HostFeatures& host, double sampleRate, uint32_t blockSize)
        : request (requestIn)
        , vocab (v)
        , map (host.map)
        , block (blockSize)
    {
        LilvNode* uri = lilv_new_uri (world, request.uri.c_str());
        plugin = lilv_plugins_get_by_uri (all, uri);
        lilv_node_free (uri);

        if (plugin == nullptr)
            fail ("plug-in <" + request.uri + "> not found; is its bundle on LV2_PATH?");

        LilvNode* nameNode = lilv_plugin_get_name (plugin);
        name = nameNode != nullptr ? lilv_node_as_string (nameNode) : request.uri;
        lilv_node_free (nameNode);

        checkRequirements (host);
        createPortBuffers();
        applyControlSettings();

        instance = lilv_plugin_instantiate (plugin, sampleRate, host.featurePointers.data());

        if (instance == nullptr)
            fail ("could not instantiate " + name + " <" + request.uri + ">");

        connectPorts();

        if (! request.preset.empty())
            restorePreset (world, host);

        resolvePatches();
        lilv_instance_activate (instance);
    }

    ~PluginInstance()
    {
        if (instance != nullptr)
        {
            lilv_instance_deactivate (instance);
            lilv_instance_free (instance);
        }
    }

    PluginInstance (const PluginInstance&) = delete;
    PluginInstance& operator= (const PluginInstance&) = delete;

    /** Points the audio ports at the chain's stage buffers; called once, before any run. */
    void connectAudio (float* const inputs[2], float* const outputs[2])
    {
        for (size_t i = 0; i < audioInputs.size(); ++i)
            lilv_instance_connect_port (instance, audioInputs[i], inputs[std::min<size_t> (i, 1)]);

        for (size_t i = 0; i < audioOutputs.size(); ++i)
            lilv_instance_connect_port (instance, audioOutputs[i], i < 2 ? outputs[i] : spareOutput.data());
    }

    /** Resets the atom buffers as the atom extension asks before each run (that part is the
        host's work, so it stays outside the timed call), then runs and returns the thread CPU
        time of run () alone in nanoseconds. */
    int64_t run (uint32_t frames)
    {
        for (auto& in : atomInputs)
        {
            auto* seq = in.sequence();
            seq->atom.type = vocab.atomSequence;
            seq->atom.size = sizeof (LV2_Atom_Sequence_Body);
            seq->body.unit = 0;
            seq->body.pad = 0;
        }

        if (! pendingPatches.empty())
            writePendingPatches();

        for (auto& out : atomOutputs)
        {
            // An output's size holds its capacity until the plug-in writes the real one.
            auto* seq = out.sequence();
            seq->atom.type = vocab.atomChunk;
            seq->atom.size = out.capacity - static_cast<uint32_t> (sizeof (LV2_Atom));
        }

        timespec start {}, end {};
        clock_gettime (CLOCK_THREAD_CPUTIME_ID, &start);
        lilv_instance_run (instance, frames);
        clock_gettime (CLOCK_THREAD_CPUTIME_ID, &end);

        return (end.tv_sec - start.tv_sec) * 1000000000LL + (end.tv_nsec - start.tv_nsec);
    }

    /** Collects what the plug-in reported after a run: control outputs and patch:Set values. */
    void observeOutputs()
    {
        for (auto& c : controlOutputs)
            c.range.add (controlValues[c.port]);

        for (auto& out : atomOutputs)
        {
            auto* seq = out.sequence();

            if (seq->atom.type != vocab.atomSequence || seq->atom.size + sizeof (LV2_Atom) > out.capacity)
                continue;

            LV2_ATOM_SEQUENCE_FOREACH (seq, ev)
            {
                if (ev->body.type != vocab.atomObject && ev->body.type != vocab.atomBlank)
                    continue;

                const auto* object = reinterpret_cast<const LV2_Atom_Object*> (&ev->body);

                if (object->body.otype != vocab.patchSet)
                    continue;

                const LV2_Atom* property = nullptr;
                const LV2_Atom* value = nullptr;
                lv2_atom_object_get (object, vocab.patchProperty, &property, vocab.patchValue, &value, 0);

                if (property == nullptr || value == nullptr || property->type != vocab.atomUrid)
                    continue;

                const LV2_URID key = reinterpret_cast<const LV2_Atom_URID*> (property)->body;

                if (value->type == vocab.atomFloat)
                    patchOutputs[key].add (reinterpret_cast<const LV2_Atom_Float*> (value)->body);
                else if (value->type == vocab.atomDouble)
                    patchOutputs[key].add (reinterpret_cast<const LV2_Atom_Double*> (value)->body);
                else if (value->type == vocab.atomInt)
                    patchOutputs[key].add (reinterpret_cast<const LV2_Atom_Int*> (value)->body);
            }
        }
    }

    void clearObservations()
    {
        for (auto& c : controlOutputs)
            c.range = {};

        patchOutputs.clear();
    }

    double latency() const
    {
        for (const auto& c : controlOutputs)
            if (c.isLatency)
                return controlValues[c.port];

        return 0.0;
    }

    bool hasLatencyPort() const
    {
        return std::any_of (controlOutputs.begin(), controlOutputs.end(), [] (const ControlOutput& c) { return c.isLatency; });
    }

    void printObservations (const std::string& pattern) const
    {
        if (pattern.empty())
            return;

        const std::regex re (pattern);

        for (const auto& c : controlOutputs)
        {
            if (c.isLatency || ! c.range.seen() || ! std::regex_search (c.symbol, re))
                continue;

            // Meters of this kind are linear gains; the decibel figure is what one compares.
            std::printf ("      output %-24s min %-10.6g max %-10.6g last %-10.6g", c.symbol.c_str(), c.range.lo, c.range.hi, c.range.last);

            if (c.range.lo > 0.0)
                std::printf ("  (%.2f .. %.2f dB)", toDecibels (c.range.lo), toDecibels (c.range.hi));

            std::printf ("\n");
        }

        for (const auto& [key, range] : patchOutputs)
        {
            const char* uri = map.unmap (key);
            std::string shortName = uri != nullptr ? uri : "?";
            const auto cut = shortName.find_last_of (":#/");

            if (cut != std::string::npos)
                shortName = shortName.substr (cut + 1);

            if (! std::regex_search (shortName, re))
                continue;

            std::printf ("      patch  %-24s min %-10.6g max %-10.6g last %-10.6g\n", shortName.c_str(), range.lo, range.hi, range.last);
        }
    }

    const std::string& getName() const { return name; }
    const std::string& getUri() const { return request.uri; }
    const std::string& getPreset() const { return request.preset; }
    const std::vector<std::string>& getSettingsText() const { return settingsText; }

private:
    void checkRequirements (const HostFeatures& host)
    {
        LilvNodes* required = lilv_plugin_get_required_features (plugin);

        LILV_FOREACH (nodes, i, required)
        {
            const std::string feature = lilv_node_as_uri (lilv_nodes_get (required, i));

            if (! host.supports (feature))
            {
                lilv_nodes_free (required);
                fail (name + " requires the feature <" + feature + ">, which this host does not provide");
            }
        }

        lilv_nodes_free (required);

        LilvNodes* options = lilv_plugin_get_value (plugin, vocab.requiredOption);

        LILV_FOREACH (nodes, i, options)
        {
            const std::string option = lilv_node_as_uri (lilv_nodes_get (options, i));
            const bool provided = option == LV2_BUF_SIZE__maxBlockLength || option == LV2_BUF_SIZE__minBlockLength
                               || option == LV2_BUF_SIZE__nominalBlockLength || option == LV2_PARAMETERS__sampleRate;

            if (! provided)
                std::fprintf (stderr, "warning: %s requires the option <%s>, which this host does not set\n", name.c_str(), option.c_str());
        }

        lilv_nodes_free (options);
    }

    void createPortBuffers()
    {
        const uint32_t numPorts = lilv_plugin_get_num_ports (plugin);
        std::vector<float> mins (numPorts), maxs (numPorts), defaults (numPorts);
        lilv_plugin_get_port_ranges_float (plugin, mins.data(), maxs.data(), defaults.data());

        controlValues.assign (numPorts, 0.0f);
        portMinimum = mins;
        portMaximum = maxs;
        spareOutput.assign (block, 0.0f);
        spareInput.assign (block, 0.0f);

        for (uint32_t p = 0; p < numPorts; ++p)
        {
            const LilvPort* port = lilv_plugin_get_port_by_index (plugin, p);
            const std::string symbol = lilv_node_as_string (lilv_port_get_symbol (plugin, port));
            const bool isInput = lilv_port_is_a (plugin, port, vocab.inputPort);
            symbols[symbol] = p;

            if (lilv_port_is_a (plugin, port, vocab.audioPort))
            {
                (isInput ? audioInputs : audioOutputs).push_back (p);
            }
            else if (lilv_port_is_a (plugin, port, vocab.controlPort))
            {
                controlValues[p] = std::isnan (defaults[p]) ? (std::isnan (mins[p]) ? 0.0f : mins[p]) : defaults[p];

                if (! isInput)
                {
                    ControlOutput out;
                    out.port = p;
                    out.symbol = symbol;
                    LilvNodes* designations = lilv_port_get_value (plugin, port, vocab.designation);
                    out.isLatency = lilv_port_has_property (plugin, port, vocab.reportsLatency)
                                 || (designations != nullptr && lilv_nodes_contains (designations, vocab.latency));
                    lilv_nodes_free (designations);
                    controlOutputs.push_back (out);
                }
            }
            else if (lilv_port_is_a (plugin, port, vocab.atomPort))
            {
                // JUCE asks for about 12 kB; a generous floor also fits chatty plug-ins' UI traffic.
                uint32_t capacity = 65536;
                LilvNodes* sizes = lilv_port_get_value (plugin, port, vocab.minimumSize);

                LILV_FOREACH (nodes, i, sizes)
                {
                    const LilvNode* size = lilv_nodes_get (sizes, i);

                    if (lilv_node_is_int (size))
                        capacity = std::max (capacity, static_cast<uint32_t> (lilv_node_as_int (size)));
                }

                lilv_nodes_free (sizes);
                AtomBuffer buffer;
                buffer.port = p;
                buffer.capacity = (capacity + 7u) & ~7u;
                buffer.storage.assign (buffer.capacity / 8u, 0);
                (isInput ? atomInputs : atomOutputs).push_back (std::move (buffer));
            }
            else if (lilv_port_is_a (plugin, port, vocab.cvPort))
            {
                (isInput ? cvInputs : cvOutputs).push_back (p);
            }
            else if (! lilv_port_has_property (plugin, port, vocab.connectionOptional))
            {
                fail (name + ": port '" + symbol + "' has a type this host does not know");
            }
        }
    }

    void applyControlSettings()
    {
        for (const auto& setting : request.controls)
        {
            const auto it = symbols.find (setting.symbol);
            const LilvPort* port = it != symbols.end() ? lilv_plugin_get_port_by_index (plugin, it->second) : nullptr;

            if (port == nullptr || ! lilv_port_is_a (plugin, port, vocab.controlPort) || ! lilv_port_is_a (plugin, port, vocab.inputPort))
                fail (name + " has no control input port '" + setting.symbol + "'");

            const uint32_t p = it->second;

            if ((! std::isnan (portMinimum[p]) && setting.value < portMinimum[p]) || (! std::isnan (portMaximum[p]) && setting.value > portMaximum[p]))
                fail (name + ": " + setting.symbol + "=" + std::to_string (setting.value) + " is outside the port's range ["
                      + std::to_string (portMinimum[p]) + ", " + std::to_string (portMaximum[p]) + "]");

            controlValues[p] = setting.value;
            char text[128];
            std::snprintf (text, sizeof (text), "%s=%g", setting.symbol.c_str(), static_cast<double> (setting.value));
            settingsText.emplace_back (text);
        }
    }

    void connectPorts()
    {
        for (uint32_t p = 0; p < controlValues.size(); ++p)
        {
            const LilvPort* port = lilv_plugin_get_port_by_index (plugin, p);

            if (lilv_port_is_a (plugin, port, vocab.controlPort))
                lilv_instance_connect_port (instance, p, &controlValues[p]);
        }

        for (auto& buffer : atomInputs)
            lilv_instance_connect_port (instance, buffer.port, buffer.storage.data());

        for (auto& buffer : atomOutputs)
            lilv_instance_connect_port (instance, buffer.port, buffer.storage.data());

        for (auto p : cvInputs)
            lilv_instance_connect_port (instance, p, spareInput.data());

        for (auto p : cvOutputs)
            lilv_instance_connect_port (instance, p, spareOutput.data());
    }

    static void setPortValue (const char* symbol, void* user, const void* value, uint32_t size, uint32_t type)
    {
        auto* self = static_cast<PluginInstance*> (user);
        const auto it = self->symbols.find (symbol);

        if (it == self->symbols.end())
            return;

        float v = 0.0f;

        if (type == self->vocab.atomFloat && size == sizeof (float))
            std::memcpy (&v, value, sizeof (float));
        else if (type == self->vocab.atomDouble && size == sizeof (double))
        {
            double d;
            std::memcpy (&d, value, sizeof (double));
            v = static_cast<float> (d);
        }
        else if (type == self->vocab.atomInt && size == sizeof (int32_t))
        {
            int32_t i;
            std::memcpy (&i, value, sizeof (int32_t));
            v = static_cast<float> (i);
        }
        else
            return;

        self->controlValues[it->second] = v;
    }

    void restorePreset (LilvWorld* world, HostFeatures& host)
    {
        LilvNodes* presets = lilv_plugin_get_related (plugin, vocab.preset);
        const LilvNode* found = nullptr;
        std::string labels;

        LILV_FOREACH (nodes, i, presets)
        {
            const LilvNode* preset = lilv_nodes_get (presets, i);
            lilv_world_load_resource (world, preset);
            LilvNodes* names = lilv_world_find_nodes (world, preset, vocab.label, nullptr);

            if (names != nullptr && lilv_nodes_size (names) > 0)
            {
                const std::string label = lilv_node_as_string (lilv_nodes_get_first (names));
                labels += (labels.empty() ? "" : ", ") + label;

                if (label == request.preset && found == nullptr)
                    found = preset;
            }

            lilv_nodes_free (names);
        }

        if (found == nullptr)
        {
            lilv_nodes_free (presets);
            fail (name + " has no preset labelled '" + request.preset + "' (it has: " + labels + ")");
        }

        LilvState* state = lilv_state_new_from_world (world, &map.mapFeature, found);
        lilv_nodes_free (presets);

        if (state == nullptr)
            fail (name + ": could not load preset '" + request.preset + "'");

        lilv_state_restore (state, instance, setPortValue, this, 0, host.featurePointers.data());
        lilv_state_free (state);

        // A preset's port values override the defaults but not what the command line set.
        for (const auto& setting : request.controls)
            controlValues[symbols[setting.symbol]] = setting.value;
    }

    void resolvePatches()
    {
        if (! request.patches.empty() && atomInputs.empty())
            fail (name + " has no atom input port to send patch:Set messages to");

        for (const auto& patch : request.patches)
        {
            pendingPatches.push_back ({ map.map (patch.property.c_str()), patch.value });
            char text[512];
            std::snprintf (text, sizeof (text), "<%s>=%g", patch.property.c_str(), static_cast<double> (patch.value));
            settingsText.emplace_back (text);
        }
    }

    /** Sends the requested patch:Set messages once, at frame 0 of the first (warm-up) block. */
    void writePendingPatches()
    {
        auto& in = atomInputs.front();
        LV2_Atom_Forge forge;
        lv2_atom_forge_init (&forge, &map.mapFeature);
        lv2_atom_forge_set_buffer (&forge, reinterpret_cast<uint8_t*> (in.storage.data()), in.capacity);
        LV2_Atom_Forge_Frame sequenceFrame;
        lv2_atom_forge_sequence_head (&forge, &sequenceFrame, 0);

        for (const auto& [property, value] : pendingPatches)
        {
            LV2_Atom_Forge_Frame objectFrame;
            lv2_atom_forge_frame_time (&forge, 0);
            lv2_atom_forge_object (&forge, &objectFrame, 0, vocab.patchSet);
            lv2_atom_forge_key (&forge, vocab.patchProperty);
            lv2_atom_forge_urid (&forge, property);
            lv2_atom_forge_key (&forge, vocab.patchValue);
            lv2_atom_forge_float (&forge, value);
            lv2_atom_forge_pop (&forge, &objectFrame);
        }

        lv2_atom_forge_pop (&forge, &sequenceFrame);
        pendingPatches.clear();
    }

    PluginRequest request;
    Vocabulary& vocab;
    UridMap& map;
    uint32_t block;
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;
    std::string name;
    std::map<std::string, uint32_t> symbols;
    std::vector<float> controlValues, portMinimum, portMaximum, spareOutput, spareInput;
    std::vector<uint32_t> audioInputs, audioOutputs, cvInputs, cvOutputs;
    std::vector<AtomBuffer> atomInputs, atomOutputs;
    std::vector<ControlOutput> controlOutputs;
    std::map<LV2_URID, Range> patchOutputs;
    std::vector<std::pair<LV2_URID, float>> pendingPatches;
    std::vector<std::string> settingsText;
};

//==============================================================================
// A chain of instances and its measurements

struct PassResult
{
    std::vector<int64_t> pluginNs;
    int64_t totalNs = 0;
    int64_t processNs = 0; // all threads of the process, this one included
    int64_t mainThreadNs = 0;
    int64_t wallNs = 0;
};

int64_t nowNs (clockid_t clock)
{
    timespec t {};
    clock_gettime (clock, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

/** What one timed interval around nothing measures. The thread CPU clock is a system call, so
    each interval carries some 100-300 ns of it; a chain of four plug-ins pays that four times per
    block where a single plug-in pays it once, so it is subtracted. The least of several batch
    means is the figure least disturbed by other work. */
double measureClockOverheadNs()
{
    double best = std::numeric_limits<double>::infinity();

    for (int batch = 0; batch < 5; ++batch)
    {
        constexpr int count = 20000;
        int64_t sum = 0;

        for (int i = 0; i < count; ++i)
        {
            timespec start {}, end {};
            clock_gettime (CLOCK_THREAD_CPUTIME_ID, &start);
            clock_gettime (CLOCK_THREAD_CPUTIME_ID, &end);
            sum += (end.tv_sec - start.tv_sec) * 1000000000LL + (end.tv_nsec - start.tv_nsec);
        }

        best = std::min (best, static_cast<double> (sum) / count);
    }

    return best;
}

class Chain
{
public:
    Chain (const ChainRequest& requestIn, LilvWorld* world, const LilvPlugins* all, Vocabulary& vocab,
           HostFeatures& host, double sampleRate, uint32_t blockSize)
        : request (requestIn)
        , block (blockSize)
    {
        const size_t stages = request.plugins.size() + 1;
        buffers.assign (stages * 2, std::vector<float> (block, 0.0f));

        for (size_t i = 0; i < request.plugins.size(); ++i)
        {
            plugins.push_back (std::make_unique<PluginInstance> (world, all, request.plugins[i], vocab, host, sampleRate, block));

            // Separate buffers between stages, so plug-ins that cannot work in place are fine too.
            float* const in[2] = { buffers[2 * i].data(), buffers[2 * i + 1].data() };
            float* const out[2] = { buffers[2 * i + 2].data(), buffers[2 * i + 3].data() };
            plugins.back()->connectAudio (in, out);
        }

        stageLevels.resize (plugins.size());
    }

    /** Plays frames [begin, end) of the signal; when measuring, adds each plug-in's CPU time. */
    PassResult play (const StereoSignal& signal, size_t begin, size_t end, double clockOverheadNs, bool observe,
                     std::vector<float>* outLeft, std::vector<float>* outRight)
    {
        PassResult result;
        result.pluginNs.assign (plugins.size(), 0);

        if (observe)
        {
            for (auto& p : plugins)
                p->clearObservations();

            std::fill (stageLevels.begin(), stageLevels.end(), LevelStats {});
        }

        const int64_t process0 = nowNs (CLOCK_PROCESS_CPUTIME_ID);
        const int64_t thread0 = nowNs (CLOCK_THREAD_CPUTIME_ID);
        const int64_t wall0 = nowNs (CLOCK_MONOTONIC);

        for (size_t frame = begin; frame < end; frame += block)
        {
            const uint32_t n = static_cast<uint32_t> (std::min<size_t> (block, end - frame));
            std::copy_n (signal.left.data() + frame, n, buffers[0].data());
            std::copy_n (signal.right.data() + frame, n, buffers[1].data());

            for (size_t i = 0; i < plugins.size(); ++i)
            {
                result.pluginNs[i] += plugins[i]->run (n);

                if (observe)
                {
                    plugins[i]->observeOutputs();
                    stageLevels[i].add (buffers[2 * i + 2].data(), n);
                    stageLevels[i].add (buffers[2 * i + 3].data(), n);
                }
            }

            if (outLeft != nullptr)
            {
                const size_t last = 2 * plugins.size();
                std::copy_n (buffers[last].data(), n, outLeft->data() + (frame - begin));
                std::copy_n (buffers[last + 1].data(), n, outRight->data() + (frame - begin));
            }
        }

        const double blocks = std::ceil (static_cast<double> (end - begin) / block);

        for (auto& ns : result.pluginNs)
            ns = std::max<int64_t> (0, ns - static_cast<int64_t> (std::llround (blocks * clockOverheadNs)));

        result.wallNs = nowNs (CLOCK_MONOTONIC) - wall0;
        result.mainThreadNs = nowNs (CLOCK_THREAD_CPUTIME_ID) - thread0;
        result.processNs = nowNs (CLOCK_PROCESS_CPUTIME_ID) - process0;

        for (auto ns : result.pluginNs)
            result.totalNs += ns;

        return result;
    }

    const ChainRequest request;
    uint32_t block;
    std::vector<std::unique_ptr<PluginInstance>> plugins;
    std::vector<std::vector<float>> buffers; // [stage * 2 + channel]
    std::vector<LevelStats> stageLevels;
    std::vector<PassResult> passes;
};

std::string levelText (const LevelStats& s)
{
    char text[96];
    std::snprintf (text, sizeof (text), "%6.1f / %6.1f", toDecibels (s.peak), toDecibels (s.rms()));
    std::string result = text;

    if (s.nonFinite > 0)
        result += "  (" + std::to_string (s.nonFinite) + " non-finite samples!)";

    return result;
}

/** lilv turns every LV2_PATH entry into a file: URI and crashes on a relative one, so relative
    entries are made absolute first. */
void makeLv2PathAbsolute()
{
    const char* value = std::getenv ("LV2_PATH");

    if (value == nullptr)
        return;

    std::string result, rest = value;

    while (! rest.empty())
    {
        const auto colon = rest.find (':');
        std::string entry = rest.substr (0, colon);
        rest = colon == std::string::npos ? std::string() : rest.substr (colon + 1);

        if (entry.empty())
            continue;

        if (entry[0] != '/' && entry[0] != '~')
        {
            if (char* real = realpath (entry.c_str(), nullptr))
            {
                entry = real;
                std::free (real);
            }
            else
            {
                std::fprintf (stderr, "warning: LV2_PATH entry '%s' does not exist; ignored\n", entry.c_str());
                continue;
            }
        }

        result += (result.empty() ? "" : ":") + entry;
    }

    setenv ("LV2_PATH", result.c_str(), 1);
}

int runHost (const Options& options)
{
    StereoSignal signal;

    if (options.inputPath.empty())
    {
        signal = generateTestSignal (options.sampleRate, options.seconds);
    }
    else
    {
        signal = readWav (options.inputPath);

        if (std::fabs (signal.sampleRate - options.sampleRate) > 0.5)
            std::printf ("note: %s is at %.0f Hz; running at that rate\n", options.inputPath.c_str(), signal.sampleRate);
    }

    if (signal.frames() == 0)
        fail ("the input signal is empty");

    if (! options.writeInputPath.empty())
        writeWav (options.writeInputPath, signal.left, signal.right, signal.sampleRate);

    const double audioSeconds = static_cast<double> (signal.frames()) / signal.sampleRate;

    makeLv2PathAbsolute();
    LilvWorld* world = lilv_world_new();
    lilv_world_load_all (world);
    const LilvPlugins* all = lilv_world_get_all_plugins (world);

    UridMap map;
    HostFeatures host (map, signal.sampleRate, options.blockSize);
    int status = 0;

    {
        Vocabulary vocab (world, map);
        std::vector<std::unique_ptr<Chain>> chains;

        for (const auto& request : options.chains)
            chains.push_back (std::make_unique<Chain> (request, world, all, vocab, host, signal.sampleRate, options.blockSize));

        LevelStats inputLevel;
        inputLevel.add (signal.left.data(), static_cast<uint32_t> (signal.frames()));
        inputLevel.add (signal.right.data(), static_cast<uint32_t> (signal.frames()));

        std::printf ("LV2 benchmark host: %.0f Hz, %u-frame blocks, %.3f s stereo %s (%zu frames)\n", signal.sampleRate,
                     options.blockSize, audioSeconds, options.inputPath.empty() ? "test signal" : options.inputPath.c_str(), signal.frames());
        std::printf ("input peak / RMS: %s dBFS; warm-up %.1f s per chain, best of %d timed passes\n",
                     levelText (inputLevel).c_str(), options.warmUpSeconds, options.repeats);

        // Warm-up: first kernels, lazily allocated tables and the caches settle before timing.
        const size_t warmUpFrames = std::min (signal.frames(), static_cast<size_t> (options.warmUpSeconds * signal.sampleRate));

        for (auto& chain : chains)
            if (warmUpFrames > 0)
                chain->play (signal, 0, warmUpFrames, 0.0, false, nullptr, nullptr);

        const double clockOverheadNs = measureClockOverheadNs();
        std::printf ("timer: %.0f ns per CPU-clock reading pair, subtracted from every run () measured\n\n", clockOverheadNs);

        std::vector<float> outLeft (signal.frames()), outRight (signal.frames());

        for (int r = 0; r < options.repeats; ++r)
        {
            std::printf ("pass %d:", r + 1);

            // Alternate the order so neither chain always runs right after the other.
            for (size_t k = 0; k < chains.size(); ++k)
            {
                const size_t c = (r % 2 == 0) ? k : chains.size() - 1 - k;
                auto& chain = *chains[c];
                const bool last = r == options.repeats - 1;
                const bool record = last && ! options.writeOutputPrefix.empty();
                chain.passes.push_back (chain.play (signal, 0, signal.frames(), clockOverheadNs, last, record ? &outLeft : nullptr, record ? &outRight : nullptr));
                const double cpu = static_cast<double> (chain.passes.back().totalNs) * 1e-9;
                std::printf ("  %s %.4f s CPU (%.1fx)", chain.request.name.c_str(), cpu, audioSeconds / cpu);

                if (record)
                    writeWav (options.writeOutputPrefix + chain.request.name + ".wav", outLeft, outRight, signal.sampleRate);
            }

            std::printf ("\n");
            std::fflush (stdout);
        }

        for (auto& chain : chains)
        {
            const auto best = std::min_element (chain->passes.begin(), chain->passes.end(),
                                                [] (const PassResult& a, const PassResult& b) { return a.totalNs < b.totalNs; });
            const double frames = static_cast<double> (signal.frames());

            std::printf ("\nchain \"%s\": best of %d passes (CPU time of run () on this thread)\n", chain->request.name.c_str(), options.repeats);
            std::printf ("  %-38s %10s %12s %12s %9s  %s\n", "plug-in", "CPU s", "ns/frame", "x real time", "latency", "output peak / RMS dBFS");

            for (size_t i = 0; i < chain->plugins.size(); ++i)
            {
                const auto& p = *chain->plugins[i];
                const double cpu = static_cast<double> (best->pluginNs[i]) * 1e-9;
                const std::string latency = p.hasLatencyPort() ? std::to_string (static_cast<long> (p.latency())) : "-";
                std::printf ("  %-38s %10.4f %12.1f %12.1f %9s  %s\n", p.getName().c_str(), cpu, cpu * 1e9 / frames, audioSeconds / cpu,
                             latency.c_str(), levelText (chain->stageLevels[i]).c_str());
                std::printf ("      <%s>", p.getUri().c_str());

                if (! p.getPreset().empty())
                    std::printf ("  preset \"%s\"", p.getPreset().c_str());

                std::printf ("\n");

                if (! p.getSettingsText().empty())
                {
                    std::string line = "      settings:";

                    for (const auto& s : p.getSettingsText())
                    {
                        if (line.size() + s.size() > 110)
                        {
                            std::printf ("%s\n", line.c_str());
                            line = "               ";
                        }

                        line += " " + s;
                    }

                    std::printf ("%s\n", line.c_str());
                }

                p.printObservations (options.reportOutputs);
            }

            const double total = static_cast<double> (best->totalNs) * 1e-9;
            const double others = static_cast<double> (best->processNs - best->mainThreadNs) * 1e-9;
            std::printf ("  %-38s %10.4f %12.1f %12.1f\n", "total", total, total * 1e9 / frames, audioSeconds / total);

            // Every chain's instances live in this process, so these threads (JUCE's message
            // thread, for one) run during every pass; the share of wall time shows their rate.
            const double wall = static_cast<double> (best->wallNs) * 1e-9;
            std::printf ("  other threads of the process, shared by all chains: %.4f s CPU during that pass, %.1f%% of its\n"
                         "  %.4f s wall time; not included above\n", others, 100.0 * others / wall, wall);

            for (const auto& level : chain->stageLevels)
                if (level.nonFinite > 0)
                    status = 3;

            // Machine-readable lines for scripts: one per plug-in, one per chain.
            for (size_t i = 0; i < chain->plugins.size(); ++i)
            {
                const auto& p = *chain->plugins[i];
                const double cpu = static_cast<double> (best->pluginNs[i]) * 1e-9;
                std::printf ("PLUGIN chain=%s index=%zu uri=%s cpu_seconds=%.6f realtime_factor=%.3f latency=%ld\n",
                             chain->request.name.c_str(), i + 1, p.getUri().c_str(), cpu, audioSeconds / cpu,
                             p.hasLatencyPort() ? static_cast<long> (p.latency()) : -1L);
            }

            std::printf ("RESULT chain=%s audio_seconds=%.6f cpu_seconds=%.6f realtime_factor=%.3f\n", chain->request.name.c_str(),
                         audioSeconds, total, audioSeconds / total);
        }

        chains.clear();
    }

    lilv_world_free (world);
    return status;
}

} // namespace

int main (int argc, char** argv)
{
    try
    {
        return runHost (parseCommandLine (argc, argv));
    }
    catch (const std::exception& e)
    {
        std::fprintf (stderr, "lv2-bench-host: %s\n", e.what());
        return 2;
    }
}
