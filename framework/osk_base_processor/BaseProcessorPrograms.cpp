#include "osk_base_processor/BaseProcessor.h"
#include "osk_base_processor/NumberText.h"

#include <cmath>
#include <cstring>
#include <optional>

namespace OSK
{
namespace
{
    int clampProgramIndex (int index, int count) noexcept
    {
        return juce::jlimit (0, juce::jmax (0, count - 1), index);
    }

    /** The deepest element nesting of an XML text, counted roughly (tags only, quotes respected).
        A state is two levels deep; a text nested thousands deep would exhaust the stack of the
        recursive parser, so it is refused before parsing. */
    int elementDepth (const juce::String& text, int limit)
    {
        int depth = 0, deepest = 0;
        auto p = text.getCharPointer();

        while (! p.isEmpty())
        {
            if (*p++ != '<')
                continue;

            const auto first = *p;

            if (first == '/')
            {
                --depth;
                continue;
            }

            if (first == '?' || first == '!')
                continue;

            // Scan to the end of the tag; a tag ending "/>" opens and closes itself.
            juce::juce_wchar quote = 0, previous = 0;

            while (! p.isEmpty())
            {
                const auto c = *p++;

                if (quote != 0)
                    quote = c == quote ? 0 : quote;
                else if (c == '"' || c == '\'')
                    quote = c;
                else if (c == '>')
                    break;

                previous = c;
            }

            if (previous != '/' && ++depth > deepest)
                if ((deepest = depth) > limit)
                    break;
        }

        return deepest;
    }
} // namespace

class BaseProcessor::ScopedLinkHold
{
public:
    explicit ScopedLinkHold (const std::vector<ParameterLink*>& linksToHold) : links (linksToHold)
    {
        for (auto* link : links)
            wasBusy.push_back (link->busy.exchange (true));
    }

    ~ScopedLinkHold()
    {
        for (size_t i = 0; i < links.size(); ++i)
            links[i]->busy = wasBusy[i];
    }

private:
    const std::vector<ParameterLink*>& links;
    std::vector<bool> wasBusy;
};

void BaseProcessor::addProgram (const juce::String& name, const float* values, int count)
{
    auto& program = programs[static_cast<size_t> (numPrograms++)];
    program.name = name;
    std::copy (values, values + count, program.values.begin());
    program.numValues = count;
}

int BaseProcessor::getNumPrograms()
{
    // Hosts expect at least one program, even from a processor that has none.
    return juce::jmax (1, numPrograms);
}

int BaseProcessor::getCurrentProgram() { return currentProgram; }

void BaseProcessor::setCurrentProgram (int index)
{
    // Hosts select a program right after loading, which would overwrite the state they restore.
    if (ignoreNextProgramChange.exchange (false) || numPrograms == 0)
        return;

    currentProgram = clampProgramIndex (index, numPrograms);
    const auto& program = programs[static_cast<size_t> (currentProgram)];

    // A program stores both channels of a linked band; written through the links, the later
    // value would drag the earlier one away from its stored value.
    const ScopedLinkHold hold (parameterLinks);

    for (int k = 0; k < program.numValues; ++k)
        if (auto* parameter = valueTreeState.getParameter (parameterIds[static_cast<size_t> (k)]))
            parameter->setValueNotifyingHost (program.values[static_cast<size_t> (k)]);
}

const juce::String BaseProcessor::getProgramName (int index)
{
    if (numPrograms == 0)
        return {};

    return programs[static_cast<size_t> (clampProgramIndex (index, numPrograms))].name;
}

void BaseProcessor::changeProgramName (int, const juce::String&) {}

void BaseProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    if (auto xml = valueTreeState.copyState().createXml())
        copyXmlToBinary (*xml, destData);
}

void BaseProcessor::sanitiseStateValues (juce::XmlElement& state) const
{
    // A parameter the state does not mention keeps its current value.
    for (auto* parameter : getParameters())
    {
        const auto& id = dynamic_cast<juce::RangedAudioParameter&> (*parameter).getParameterID();

        if (state.getChildByAttribute ("id", id) == nullptr)
        {
            auto* child = state.createNewChildElement ("PARAM");
            child->setAttribute ("id", id);
            child->setAttribute ("value", static_cast<double> (valueTreeState.getRawParameterValue (id)->load()));
        }
    }

    for (auto* child : state.getChildIterator())
    {
        auto* parameter = valueTreeState.getParameter (child->getStringAttribute ("id"));

        if (parameter == nullptr || ! child->hasAttribute ("value"))
            continue;

        const auto number = NumberText::wholeNumber (child->getStringAttribute ("value"));

        if (! number.has_value())
        {
            child->removeAttribute ("value");
            continue;
        }

        const auto& range = parameter->getNormalisableRange();
        const auto limited = juce::jlimit (static_cast<double> (range.start), static_cast<double> (range.end), *number);

        if (limited != *number)
            child->setAttribute ("value", limited);
    }
}

std::unique_ptr<juce::XmlElement> BaseProcessor::readStateBlob (const void* data, int sizeInBytes, const juce::String& rootTag)
{
    constexpr int maximumDepth = 32;

    if (data == nullptr || sizeInBytes <= 8 || std::memcmp (data, "VC2!", 4) != 0)
        return nullptr;

    // An unsigned length; one that reaches beyond the data is cut to the data present.
    const auto declaredLength = juce::ByteOrder::littleEndianInt (static_cast<const char*> (data) + 4);

    if (declaredLength == 0)
        return nullptr;

    const auto length = static_cast<int> (juce::jmin (static_cast<juce::uint32> (sizeInBytes - 8), declaredLength));
    const auto* utf8 = static_cast<const char*> (data) + 8;

    // Text that is not valid UTF-8 is not a state; stepping through a broken multi-byte sequence
    // would also run past the end of the text.
    if (! juce::CharPointer_UTF8::isValidString (utf8, length))
        return nullptr;

    const auto text = juce::String::fromUTF8 (utf8, length);

    if (elementDepth (text, maximumDepth) > maximumDepth)
        return nullptr;

    auto xml = juce::parseXML (text);

    if (xml == nullptr || ! xml->getTagName().equalsIgnoreCase (rootTag))
        return nullptr;

    return xml;
}

void BaseProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    auto xml = readStateBlob (data, sizeInBytes, valueTreeState.state.getType().toString());

    if (xml == nullptr)
        return;

    sanitiseStateValues (*xml);

    const ScopedLinkHold hold (parameterLinks);
    valueTreeState.replaceState (juce::ValueTree::fromXml (*xml));
}

} // namespace OSK
