# Debian's JUCE ships without the FLAC, Ogg/Vorbis, PNG, JPEG and zlib sources it normally
# bundles; the modules that need them are pointed at the system libraries instead.
find_package (PkgConfig REQUIRED)
pkg_check_modules (KELVANE_CODECS REQUIRED IMPORTED_TARGET flac libpng libjpeg zlib)

set (KELVANE_CODEC_DEFINITIONS
    JUCE_USE_FLAC=1
    JUCE_INCLUDE_FLAC_CODE=0
    JUCE_USE_OGGVORBIS=0
    JUCE_INCLUDE_OGGVORBIS_CODE=0
    JUCE_INCLUDE_PNGLIB_CODE=0
    JUCE_INCLUDE_JPEGLIB_CODE=0)

# FFTW, for the equaliser's fast convolution and kernel synthesis.
pkg_check_modules (KELVANE_FFTW REQUIRED IMPORTED_TARGET fftw3)
