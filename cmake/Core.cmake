# The plug-in. JUCE builds its shared code as the static library target `Kelvane`; it holds the
# framework, the product and the JUCE modules, compiled once. The VST3, LV2 and Standalone
# wrappers link it, and so do the tests, the benchmarks and the command-line tools, so every
# test runs the code that ships.
juce_add_plugin (Kelvane
    COMPANY_NAME                "${KELVANE_COMPANY_NAME}"
    COMPANY_WEBSITE             "${KELVANE_COMPANY_WEBSITE}"
    COMPANY_EMAIL               "support@oskvaraudio.com"
    PRODUCT_NAME                "Kelvane"
    VERSION                     "${PROJECT_VERSION}"
    BUNDLE_ID                   com.oskvaraudio.kelvane
    PLUGIN_MANUFACTURER_CODE    ${KELVANE_MANUFACTURER_CODE}
    PLUGIN_CODE                 ${KELVANE_PLUGIN_CODE}
    FORMATS                     VST3 LV2 Standalone
    IS_SYNTH                    FALSE
    NEEDS_MIDI_INPUT            FALSE
    NEEDS_MIDI_OUTPUT           FALSE
    IS_MIDI_EFFECT              FALSE
    EDITOR_WANTS_KEYBOARD_FOCUS FALSE
    COPY_PLUGIN_AFTER_BUILD     FALSE
    VST3_CATEGORIES             Fx Mastering
    LV2URI                      "${KELVANE_LV2_URI}")

# Debian's JUCE reads the LV2 URI before the generated defines, so it has to be given here too,
# or the bundle's manifest names the plug-in by a relative URI that hosts cannot instantiate.
target_compile_definitions (Kelvane PUBLIC
    "JucePlugin_LV2URI=\"${KELVANE_LV2_URI}\""
    KELVANE_BUILD_NUMBER=${KELVANE_BUILD_NUMBER}
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_VST3_CAN_REPLACE_VST2=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_REPORT_APP_USAGE=0
    JUCE_SILENCE_XCODE_15_LINKER_WARNING=1
    ${KELVANE_CODEC_DEFINITIONS})

target_include_directories (Kelvane PUBLIC
    "${PROJECT_SOURCE_DIR}/framework"
    "${PROJECT_SOURCE_DIR}")

target_link_libraries (Kelvane
    PRIVATE
        juce::juce_audio_utils
        PkgConfig::KELVANE_CODECS
        PkgConfig::KELVANE_FFTW
    PUBLIC
        juce::juce_recommended_config_flags)

# Lets a test, benchmark or tool target use the core library: the JUCE module headers and
# configuration it was compiled with come along, so both sides see the same JUCE.
function (kelvane_use_core target)
    target_link_libraries (${target} PRIVATE Kelvane)
    target_include_directories (${target} PRIVATE $<TARGET_PROPERTY:Kelvane,INCLUDE_DIRECTORIES>)
    target_compile_definitions (${target} PRIVATE $<TARGET_PROPERTY:Kelvane,COMPILE_DEFINITIONS>)
endfunction ()
