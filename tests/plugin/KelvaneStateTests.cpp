#include "plugin/KelvaneProcessor.h"

#include <gtest/gtest.h>

#include <cstring>

using OSK::KelvaneProcessor;

namespace
{
juce::MemoryBlock blobOf (const juce::String& xml, int declaredLength = -1)
{
    juce::MemoryOutputStream out;
    out.write ("VC2!", 4);
    out.writeInt (declaredLength >= 0 ? declaredLength : static_cast<int> (xml.getNumBytesAsUTF8()) + 1);
    out << xml;
    out.writeByte (0);
    return out.getMemoryBlock();
}

juce::String stateXml (const juce::String& params, const juce::String& root = "OK")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <" + root + ">" + params + "</" + root + ">";
}

float valueOf (KelvaneProcessor& p, const juce::String& id) { return p.valueTreeState.getParameter (id)->getValue(); }

void set (KelvaneProcessor& p, const juce::String& id, float normalised)
{
    p.valueTreeState.getParameter (id)->setValueNotifyingHost (normalised);
}

void apply (KelvaneProcessor& p, const juce::MemoryBlock& blob)
{
    p.setStateInformation (blob.getData(), static_cast<int> (blob.getSize()));
}

/** Every parameter's normalised value, in host order. */
std::vector<float> snapshot (KelvaneProcessor& p)
{
    std::vector<float> values;

    for (auto* parameter : p.getParameters())
        values.push_back (parameter->getValue());

    return values;
}
} // namespace

TEST (State, BlobLayout)
{
    KelvaneProcessor processor;
    juce::MemoryBlock blob;
    processor.getStateInformation (blob);

    const auto* bytes = static_cast<const char*> (blob.getData());
    ASSERT_GT (blob.getSize(), 9u);
    EXPECT_EQ (std::memcmp (bytes, "VC2!", 4), 0);
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes + 4), blob.getSize() - 9);
    EXPECT_EQ (bytes[blob.getSize() - 1], 0);

    const juce::String xml (juce::CharPointer_UTF8 (bytes + 8), blob.getSize() - 9);
    EXPECT_TRUE (xml.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <OK>"));
    EXPECT_FALSE (xml.containsChar ('\n'));

    // One child per parameter and meter, keyed by ID, holding the raw value.
    const auto parsed = juce::parseXML (xml);
    ASSERT_NE (parsed, nullptr);
    EXPECT_EQ (parsed->getNumChildElements(), 59);

    for (auto* child : parsed->getChildIterator())
        EXPECT_EQ (child->getTagName(), "PARAM");

    EXPECT_EQ (parsed->getChildByAttribute ("id", "L/R|M/S")->getStringAttribute ("value"), "0.0");
    EXPECT_EQ (parsed->getChildByAttribute ("id", "MetSwi")->getDoubleAttribute ("value"), 0.0);
    EXPECT_EQ (parsed->getChildByAttribute ("id", "CompThr")->getDoubleAttribute ("value"), 1.0);
}

TEST (State, RoundTripRestoresEveryParameterExactly)
{
    KelvaneProcessor source;
    juce::Random random (42);

    for (auto* parameter : source.getParameters())
        parameter->setValueNotifyingHost (random.nextFloat());

    const auto expected = snapshot (source);
    juce::MemoryBlock blob;
    source.getStateInformation (blob);

    // Restored over other values, with every link on: each parameter lands on its saved value.
    KelvaneProcessor target;
    target.ignoreNextProgramChange = false;
    target.setCurrentProgram (5);
    apply (target, blob);

    EXPECT_EQ (snapshot (target), expected);
}

TEST (State, AcceptanceRules)
{
    struct Case
    {
        const char* what;
        juce::MemoryBlock blob;
        bool accepted;
    };

    const auto thresh = "<PARAM id=\"Thresh\" value=\"0.25\"/>";
    juce::MemoryBlock eightBytes ("VC2!\x05\x00\x00\x00", 8);
    auto wrongMagic = blobOf (stateXml (thresh));
    static_cast<char*> (wrongMagic.getData())[3] = '?';

    const Case cases[] = {
        { "valid", blobOf (stateXml (thresh)), true },
        { "root in lower case", blobOf (stateXml (thresh, "ok")), true },
        { "length beyond the data", blobOf (stateXml (thresh), 100000), true },
        { "other root", blobOf (stateXml (thresh, "KO")), false },
        { "wrong magic", wrongMagic, false },
        { "length 0", blobOf (stateXml (thresh), 0), false },
        { "eight bytes", eightBytes, false },
        { "not XML", blobOf ("<<<>"), false },
        { "empty", juce::MemoryBlock(), false },
    };

    for (const auto& c : cases)
    {
        KelvaneProcessor processor;
        set (processor, "Ratio", 0.5f);
        apply (processor, c.blob);

        EXPECT_EQ (valueOf (processor, "Thresh"), c.accepted ? 0.25f : 0.0f) << c.what;
        EXPECT_EQ (valueOf (processor, "Ratio"), 0.5f) << c.what << ": parameters without a child keep their value";
    }
}

TEST (State, MissingValueGivesTheDefault)
{
    KelvaneProcessor processor;
    set (processor, "Ratio", 0.5f);
    set (processor, "Attack", 0.5f);
    apply (processor, blobOf (stateXml ("<PARAM id=\"Ratio\"/><PARAM id=\"Thresh\" value=\"1\"/>")));

    EXPECT_EQ (valueOf (processor, "Ratio"), 0.0f);
    EXPECT_EQ (valueOf (processor, "Thresh"), 1.0f);
    EXPECT_EQ (valueOf (processor, "Attack"), 0.5f);
}

TEST (State, ValuesAreKeptWithinTheirParameters)
{
    struct Case
    {
        const char* id;
        const char* value;
        float expected; ///< normalised
    };

    const Case cases[] = {
        { "Thresh", "abc", 0.0f },      // not a number: the default
        { "MGain", "nan", 0.5f },
        { "MGain", "inf", 0.5f },
        { "MGain", "-inf", 0.5f },
        { "MGain", "", 0.5f },
        { "MGain", "0.5x", 0.5f },
        { "MGain", "1e999", 0.5f },     // beyond a double
        { "MGain", "7", 1.0f },         // limited to the range
        { "MGain", "-3", 0.0f },
        { "MGain", " 0.25 ", 0.25f },
        { "MGain", "2.5e-1", 0.25f },
        { "MetSwi", "7", 1.0f },        // the last choice
        { "MetSwi", "-1", 0.0f },
        { "MetSwi", "1", 0.5f },
        { "GR Limiter", "3", 1.0f },
    };

    for (const auto& c : cases)
    {
        KelvaneProcessor processor;
        set (processor, c.id, 0.75f);
        apply (processor, blobOf (stateXml (juce::String ("<PARAM id=\"") + c.id + "\" value=\"" + c.value + "\"/>")));
        EXPECT_EQ (valueOf (processor, c.id), c.expected) << c.id << " = \"" << c.value << "\"";

        for (auto* parameter : processor.getParameters())
            EXPECT_TRUE (std::isfinite (parameter->getValue()));
    }
}

TEST (State, DeeplyNestedXmlIsRefused)
{
    juce::String nested;

    for (int i = 0; i < 100000; ++i)
        nested << "<a>";

    KelvaneProcessor processor;
    apply (processor, blobOf (stateXml ("<PARAM id=\"Thresh\" value=\"1\"/>" + nested)));
    EXPECT_EQ (valueOf (processor, "Thresh"), 0.0f);
}

TEST (State, RestoredLinkSwitchesActAtTheNextBlock)
{
    KelvaneProcessor processor;
    processor.prepareToPlay (48000.0, 64);
    apply (processor, blobOf (stateXml ("<PARAM id=\"GainLnk\" value=\"0\"/>")));
    EXPECT_TRUE (processor.bandLinks[5].gain->enabled.load());

    juce::AudioBuffer<float> buffer (2, 16);
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
    EXPECT_FALSE (processor.bandLinks[5].gain->enabled.load());
}

TEST (State, BlobsTheFuzzerFoundAreIgnoredSafely)
{
    // Each of these once crashed or misbehaved; none is a state, so none may change anything.
    struct Case
    {
        const char* what;
        std::vector<unsigned char> bytes;
    };

    const Case cases[] = {
        // A huge declared length and text ending in the lead byte of a three-byte UTF-8 sequence:
        // stepping over it ran past the end of the text.
        { "truncated UTF-8", { 0x56, 0x43, 0x32, 0x21, 0x56, 0x43, 0x79, 0x32, 0x21, 0xef } },
        { "invalid continuation byte", { 'V', 'C', '2', '!', 6, 0, 0, 0, '<', 'O', 'K', 0xc3, 0x28, '>' } },
    };

    for (const auto& c : cases)
    {
        KelvaneProcessor processor;
        processor.ignoreNextProgramChange = false;
        processor.setCurrentProgram (4);
        const auto before = snapshot (processor);

        processor.setStateInformation (c.bytes.data(), static_cast<int> (c.bytes.size()));
        EXPECT_EQ (snapshot (processor), before) << c.what;
    }
}
