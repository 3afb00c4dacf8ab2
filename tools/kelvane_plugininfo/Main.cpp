// Prints what a host sees of Kelvane's VST3 and LV2 binaries.
//
//   kelvane-plugininfo [--vst3 BUNDLE] [--lv2 FOLDER]
//
// Without arguments it looks in the user's plug-in folders (~/.vst3 and ~/.lv2).

#include "plugin_host/PluginHost.h"

#include <iostream>

namespace
{
juce::String argumentAfter (const juce::StringArray& args, const juce::String& flag, const juce::String& fallback)
{
    const auto index = args.indexOf (flag);
    return index >= 0 && index + 1 < args.size() ? args[index + 1] : fallback;
}

bool report (const juce::String& label, std::unique_ptr<juce::AudioPluginInstance> plugin, const juce::String& error)
{
    std::cout << label << "\n";

    if (plugin == nullptr)
    {
        std::cout << "  could not load: " << error << "\n";
        return false;
    }

    for (const auto& line : juce::StringArray::fromLines (KelvaneHost::describe (*plugin, 48000.0, 512)))
        std::cout << "  " << line << "\n";

    return true;
}
} // namespace

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    juce::StringArray args (argv + 1, argc - 1);

    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    const juce::File vst3 (argumentAfter (args, "--vst3", home.getChildFile (".vst3/Kelvane.vst3").getFullPathName()));
    const juce::File lv2Folder (argumentAfter (args, "--lv2", home.getChildFile (".lv2").getFullPathName()));

    KelvaneHost::PluginHost host;
    juce::String error;
    bool ok = report ("VST3 " + vst3.getFullPathName(), host.loadVst3 (vst3, 48000.0, 512, error), error);
    error.clear();
    ok = report ("LV2 " + juce::String (KELVANE_LV2_URI) + " in " + lv2Folder.getFullPathName(),
                 host.loadLv2 (lv2Folder, KELVANE_LV2_URI, 48000.0, 512, error), error)
      && ok;

    return ok ? 0 : 1;
}
