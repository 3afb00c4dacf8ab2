#pragma once

// What a host lists, in order: the product's 56 parameters, then the three gain-reduction
// meters. Written out by hand, not taken from the registry, so that a reordering there shows up
// as a failure in both the in-process and the hosted suites.

namespace KelvaneTest
{
inline constexpr const char* expectedHostOrder[] = {
    "Power", "Thresh", "Ratio", "Attack", "Release", "ExpByp",
    "MHiShlf", "MHiShByp", "MHiBand", "MHiBdByp", "MMidBand", "MMdBdByp", "MLoBand", "MLwBdByp",
    "MLowShlf", "MLwShByp", "MGain", "MGainByp", "GainInvr", "MidByp", "MidSolo",
    "SHiShlf", "SHiShByp", "SHiBand", "SHiBdByp", "SMidBand", "SMdBdByp", "SLoBand", "SLwBdByp",
    "SLowShlf", "SLwShByp", "SGain", "SGainByp", "SideByp", "SideSolo",
    "L/R|M/S", "EQ Mode",
    "HgSlfLnk", "HgBndLnk", "MdBndLnk", "LwBndLnk", "LwSlfLnk", "GainLnk",
    "CompThr", "CompRtio", "CompGain", "CompAtt", "CompRel", "CAG", "CByp",
    "LGain", "LCeil", "LRel", "MakeUp", "LByp", "MetSwi",
    "GR Expander", "GR Compressor", "GR Limiter",
};
} // namespace KelvaneTest
