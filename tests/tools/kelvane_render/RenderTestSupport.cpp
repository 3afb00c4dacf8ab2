#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace KelvaneRenderTest
{
ScratchFolder::ScratchFolder()
    // A unique name: test processes run side by side, and a name that merely does not exist yet
    // could be taken by two of them at once.
    : folder (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("kelvane-render-test-" + juce::Uuid().toString()))
{
    folder.createDirectory();
}

ScratchFolder::~ScratchFolder()
{
    folder.setReadOnly (false, true);
    folder.deleteRecursively();
}

juce::StringArray ScratchFolder::listFiles() const
{
    juce::StringArray names;

    for (const auto& entry : juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFilesAndDirectories))
        names.add (entry.getFile().getFileName());

    names.sort (false);
    return names;
}

namespace
{
    std::unique_ptr<juce::AudioFormat> formatFor (const juce::File& file)
    {
        const auto extension = file.getFileExtension().toLowerCase();

        if (extension == ".flac")
            return std::make_unique<juce::FlacAudioFormat>();

        if (extension == ".aif" || extension == ".aiff")
            return std::make_unique<juce::AiffAudioFormat>();

        return std::make_unique<juce::WavAudioFormat>();
    }
} // namespace

void writeAudioFile (const juce::File& file, const juce::AudioBuffer<double>& audio, double sampleRate, int bitsPerSample)
{
    file.deleteFile();
    auto format = formatFor (file);
    auto stream = std::make_unique<juce::FileOutputStream> (file);
    ASSERT_TRUE (stream->openedOk());

    std::unique_ptr<juce::AudioFormatWriter> writer (format->createWriterFor (
        stream.get(), sampleRate, static_cast<unsigned int> (audio.getNumChannels()), bitsPerSample, {}, 0));
    ASSERT_NE (writer, nullptr);
    stream.release();

    const auto channels = audio.getNumChannels();
    const auto length = audio.getNumSamples();
    std::vector<std::vector<int>> data (static_cast<size_t> (channels), std::vector<int> (static_cast<size_t> (length)));
    std::vector<const int*> pointers;

    for (int c = 0; c < channels; ++c)
    {
        auto& samples = data[static_cast<size_t> (c)];

        for (int i = 0; i < length; ++i)
        {
            const auto x = audio.getSample (c, i);

            if (bitsPerSample == 32)
            {
                const auto f = static_cast<float> (x);
                std::memcpy (&samples[static_cast<size_t> (i)], &f, sizeof (f));
            }
            else
            {
                const auto scale = std::ldexp (1.0, bitsPerSample - 1);
                const auto step = juce::jlimit (-scale, scale - 1.0, std::round (x * scale));
                samples[static_cast<size_t> (i)] = static_cast<int> (static_cast<std::uint32_t> (static_cast<std::int32_t> (step)) << (32 - bitsPerSample));
            }
        }

        pointers.push_back (samples.data());
    }

    pointers.push_back (nullptr);
    ASSERT_TRUE (writer->write (pointers.data(), length));
}

AudioFileContents readAudioFile (const juce::File& file)
{
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
    AudioFileContents contents;

    if (reader == nullptr)
    {
        ADD_FAILURE() << "cannot read " << file.getFullPathName();
        return contents;
    }

    const auto length = static_cast<int> (reader->lengthInSamples);
    const auto channels = static_cast<int> (reader->numChannels);
    juce::AudioBuffer<float> samples (channels, length);
    reader->read (&samples, 0, length, 0, true, true);

    contents.audio.setSize (channels, length);

    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < length; ++i)
            contents.audio.setSample (c, i, static_cast<double> (samples.getSample (c, i)));

    contents.sampleRate = reader->sampleRate;
    contents.bitsPerSample = static_cast<int> (reader->bitsPerSample);
    contents.floatingPoint = reader->usesFloatingPointData;
    contents.formatName = reader->getFormatName();
    return contents;
}

juce::AudioBuffer<double> silence (int numChannels, int numSamples)
{
    juce::AudioBuffer<double> audio (numChannels, numSamples);
    audio.clear();
    return audio;
}

void addSine (juce::AudioBuffer<double>& audio, double frequency, double sampleRate, double amplitude, double phase)
{
    for (int c = 0; c < audio.getNumChannels(); ++c)
        for (int i = 0; i < audio.getNumSamples(); ++i)
            audio.getWritePointer (c)[i] += amplitude * std::sin (2.0 * pi * frequency * i / sampleRate + phase);
}

void addNoise (juce::AudioBuffer<double>& audio, int start, int length, double amplitude, int seed)
{
    std::mt19937 generator (static_cast<std::mt19937::result_type> (seed));
    std::uniform_real_distribution<double> uniform (-1.0, 1.0);

    for (int c = 0; c < audio.getNumChannels(); ++c)
        for (int i = start; i < std::min (start + length, audio.getNumSamples()); ++i)
            audio.getWritePointer (c)[i] += amplitude * uniform (generator);
}

ProgramRun runRender (const juce::StringArray& arguments)
{
    juce::StringArray command;
    command.add (KELVANE_RENDER_PROGRAM);
    command.addArray (arguments);

    juce::ChildProcess process;
    ProgramRun run;

    if (! process.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
    {
        ADD_FAILURE() << "cannot start " << KELVANE_RENDER_PROGRAM;
        return run;
    }

    run.output = process.readAllProcessOutput();
    process.waitForProcessToFinish (600000);
    run.exitCode = static_cast<int> (process.getExitCode());
    return run;
}

int indexOfPeak (const juce::AudioBuffer<double>& audio, int channel)
{
    int best = 0;

    for (int i = 1; i < audio.getNumSamples(); ++i)
        if (std::abs (audio.getSample (channel, i)) > std::abs (audio.getSample (channel, best)))
            best = i;

    return best;
}

int bestLag (const juce::AudioBuffer<double>& input, const juce::AudioBuffer<double>& output, int channel, int start,
             int length, int maxLag)
{
    int best = 0;
    double bestCorrelation = -1.0;

    for (int lag = -maxLag; lag <= maxLag; ++lag)
    {
        double sum = 0.0;

        for (int i = start; i < start + length; ++i)
            if (i + lag >= 0 && i + lag < output.getNumSamples())
                sum += input.getSample (channel, i) * output.getSample (channel, i + lag);

        if (sum > bestCorrelation)
        {
            bestCorrelation = sum;
            best = lag;
        }
    }

    return best;
}

juce::MemoryBlock fileBytes (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block;
}

} // namespace KelvaneRenderTest
