#pragma once

#include "RenderOptions.h"

#include "plugin/KelvaneProcessor.h"

#include <memory>

namespace KelvaneRender
{
/** The chain's settings as the command line gives them: a program or a state, then the
    `--set` assignments, applied in that order to a processor exactly as a host applies them
    (each one followed by an audio block, so that the band links switch as they do in a host).
    The result is kept as the plug-in's own state blob, which every render applies.
*/
class ChainSettings
{
public:
    /** Applies the options' settings; throws RenderError for an unknown program or parameter,
        a value text that does not parse, or a state file that is missing or not a Kelvane state
        (message thread). */
    explicit ChainSettings (const RenderOptions& options);
    ~ChainSettings();

    /** Gives a processor these settings through its state (any thread, one processor each). */
    void applyTo (OSK::KelvaneProcessor& processor) const;

    /** The plug-in's state blob for these settings. */
    [[nodiscard]] const juce::MemoryBlock& getState() const noexcept { return state; }

    /** The normalised value of a parameter in these settings. */
    [[nodiscard]] float getValue (const juce::String& id) const;

    /** A parameter's value text in these settings, as the plug-in shows it. */
    [[nodiscard]] juce::String getText (const juce::String& id) const;

    /** The text a parameter shows for a normalised value. */
    [[nodiscard]] juce::String getText (const juce::String& id, float value) const;

    /** True when the chain is switched on and the given stage (ExpByp, CByp, LByp) is not bypassed. */
    [[nodiscard]] bool stageIsActive (const juce::String& bypassId) const;

    /** What the settings are made of, for the report ("program Eisbock, CompThr=-12"). */
    [[nodiscard]] juce::String describe() const { return description; }

    /** Every parameter ID with its value text, one a line. */
    [[nodiscard]] juce::String listParameters() const;

    /** The factory programs, numbered from 1, one a line. */
    [[nodiscard]] static juce::String listPrograms();

    /** The index of a factory program named or numbered (from 1) by a text; throws RenderError
        naming the programs when there is none. */
    [[nodiscard]] static int findProgram (const juce::String& nameOrNumber);

    /** Reads a state file: the plug-in's blob as a host stores it, or the same as base64 text.
        Throws RenderError when it is missing, unreadable or not a Kelvane state. */
    [[nodiscard]] static juce::MemoryBlock readStateFile (const juce::File& file);

private:
    std::unique_ptr<OSK::KelvaneProcessor> processor;
    juce::MemoryBlock state;
    juce::String description;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ChainSettings)
};

} // namespace KelvaneRender
