# The editor's images and interface font, compiled into the core library as two resource tables:
# `PluginBinaryData` (the product's own images) and `CommonBinaryData` (the framework's banner and
# settings button, and the interface font).
#
# No image is stored in the repository. The program `kelvane_artwork` (resources/artwork) draws
# every image with JUCE's Graphics at twice the editor's pixel density and writes them as PNG files
# into the build tree; JUCE's `juceaide` then turns each table's files into C++ sources in JUCE's
# binary-resource form. Changing a colour or a shape in resources/artwork rebuilds the images, the
# tables and everything that links them.

set (KELVANE_FONT_FILE "${PROJECT_SOURCE_DIR}/resources/fonts/source_sans_pro.otf")
set (KELVANE_ARTWORK_DIR "${CMAKE_CURRENT_BINARY_DIR}/artwork")

#===================================================================================================
# The artwork generator: a console program on juce_graphics alone, so it needs no display.
juce_add_console_app (kelvane_artwork PRODUCT_NAME "kelvane_artwork")

kelvane_add_sources (kelvane_artwork
    resources/artwork/AboutArtwork.cpp
    resources/artwork/BackgroundArtwork.cpp
    resources/artwork/ButtonArtwork.cpp
    resources/artwork/KnobArtwork.cpp
    resources/artwork/LogoArtwork.cpp
    resources/artwork/Main.cpp
    resources/artwork/MeterArtwork.cpp
    resources/artwork/PanelText.cpp
    resources/artwork/SwitchArtwork.cpp)

target_compile_definitions (kelvane_artwork PRIVATE
    JUCE_USE_CURL=0
    JUCE_WEB_BROWSER=0
    ${KELVANE_CODEC_DEFINITIONS})

target_link_libraries (kelvane_artwork
    PRIVATE
        juce::juce_graphics
        PkgConfig::KELVANE_CODECS
        juce::juce_recommended_config_flags)

#===================================================================================================
# The images, in the order of the resource tables (sorted by resource name).
set (KELVANE_PLUGIN_IMAGES
    About.png Background.png KnobComp.png KnobEQ.png KnobExp.png KnobLim.png
    MeterLMainOff.png MeterLMainOn.png MeterMPeakOff.png MeterMPeakOn.png
    MeterPointBal.png MeterPointCorr.png MeterPointOff.png
    MeterSGROff.png MeterSGROn.png MeterSPeakOff.png MeterSPeakOn.png MeterScale.png
    SwitchRed.png SwitchYellow.png)

set (KELVANE_COMMON_IMAGES banner.png settings.png)

list (TRANSFORM KELVANE_PLUGIN_IMAGES PREPEND "${KELVANE_ARTWORK_DIR}/")
list (TRANSFORM KELVANE_COMMON_IMAGES PREPEND "${KELVANE_ARTWORK_DIR}/")

add_custom_command (
    OUTPUT ${KELVANE_PLUGIN_IMAGES} ${KELVANE_COMMON_IMAGES}
    COMMAND kelvane_artwork "${KELVANE_FONT_FILE}" "${KELVANE_ARTWORK_DIR}"
    DEPENDS kelvane_artwork "${KELVANE_FONT_FILE}"
    COMMENT "Drawing the editor artwork"
    VERBATIM)

# One target drives the drawing, so the two tables never run the generator side by side.
add_custom_target (kelvane_artwork_images DEPENDS ${KELVANE_PLUGIN_IMAGES} ${KELVANE_COMMON_IMAGES})

#===================================================================================================
# Builds a static library holding one resource table. It runs JUCE's `juceaide binarydata`, as
# juce_add_binary_data does, but for files that are made during the build: that function wants
# its files to exist when CMake configures, and does not rebuild the table when a file changes.
function (kelvane_add_resource_table target)
    cmake_parse_arguments (ARG "" "NAMESPACE" "SOURCES" ${ARGN})

    set (folder "${CMAKE_CURRENT_BINARY_DIR}/resource_tables/${target}")
    set (header "${ARG_NAMESPACE}.h")
    set (input_list "${folder}/input_file_list")

    list (LENGTH ARG_SOURCES count)
    set (generated "${folder}/${header}")

    foreach (index RANGE 1 ${count})
        list (APPEND generated "${folder}/BinaryData${index}.cpp")
    endforeach ()

    list (JOIN ARG_SOURCES "\n" lines)
    file (MAKE_DIRECTORY "${folder}")
    file (CONFIGURE OUTPUT "${input_list}" CONTENT "${lines}\n")

    add_custom_command (
        OUTPUT ${generated}
        COMMAND juce::juceaide binarydata "${ARG_NAMESPACE}" "${header}" "${folder}" "${input_list}"
        DEPENDS "${input_list}" ${ARG_SOURCES}
        COMMENT "Writing the resource table ${ARG_NAMESPACE}"
        VERBATIM)

    add_library (${target} STATIC ${generated})
    add_dependencies (${target} kelvane_artwork_images)
    target_include_directories (${target} INTERFACE "${folder}")
    target_compile_features (${target} PRIVATE cxx_std_17)
    set_target_properties (${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction ()

kelvane_add_resource_table (PluginBinaryData
    NAMESPACE PluginBinaryData
    SOURCES ${KELVANE_PLUGIN_IMAGES})

kelvane_add_resource_table (CommonBinaryData
    NAMESPACE CommonBinaryData
    SOURCES ${KELVANE_COMMON_IMAGES} "${KELVANE_FONT_FILE}")

target_link_libraries (Kelvane PRIVATE PluginBinaryData CommonBinaryData)
