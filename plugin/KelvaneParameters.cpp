#include "plugin/KelvaneParameters.h"

namespace OSK
{
namespace
{
    using Kind = KelvaneParameterKind;

    constexpr std::array<const char*, 3> offOn { "Off", "On", nullptr };
    constexpr std::array<const char*, 3> none { nullptr, nullptr, nullptr };

    constexpr KelvaneParameterInfo choice (const char* id, float defaultIndex, bool meta,
                                           std::array<const char*, 3> choices = offOn)
    {
        return { id, Kind::Choice, defaultIndex, 0.0f, 0.0f, "", meta, choices };
    }

    constexpr KelvaneParameterInfo linear (const char* id, float defaultValue, float lo, float hi, bool meta,
                                           const char* suffix = "")
    {
        return { id, Kind::Linear, defaultValue, lo, hi, suffix, meta, none };
    }

    constexpr KelvaneParameterInfo attack (const char* id) { return { id, Kind::Attack, 0.0f, 0.0f, 0.0f, "", false, none }; }
    constexpr KelvaneParameterInfo release (const char* id) { return { id, Kind::Release, 0.5f, 0.0f, 0.0f, "", false, none }; }
    constexpr KelvaneParameterInfo bandGain (const char* id) { return linear (id, 0.5f, -15.0f, 15.0f, true); }
    constexpr KelvaneParameterInfo channelGain (const char* id) { return linear (id, 0.5f, -30.0f, 30.0f, true); }
} // namespace

const std::array<KelvaneParameterInfo, numKelvaneParameters> kelvaneParameters { {
    choice ("Power", 1, false),
    choice ("L/R|M/S", 0, true, { "L/R", "M/S", nullptr }),
    choice ("EQ Mode", 1, true, { "IIR", "FIR", nullptr }),
    linear ("Thresh", 0.0f, -60.0f, 0.0f, false),
    linear ("Ratio", 0.0f, 1.0f, 10.0f, false, ":1"),
    attack ("Attack"),
    release ("Release"),
    choice ("ExpByp", 0, false),
    bandGain ("MHiShlf"),
    bandGain ("MHiBand"),
    bandGain ("MMidBand"),
    bandGain ("MLoBand"),
    bandGain ("MLowShlf"),
    channelGain ("MGain"),
    choice ("MHiShByp", 0, true),
    choice ("MHiBdByp", 0, true),
    choice ("MMdBdByp", 0, true),
    choice ("MLwBdByp", 0, true),
    choice ("MLwShByp", 0, true),
    choice ("MGainByp", 0, true),
    choice ("MidByp", 0, false),
    choice ("MidSolo", 0, false),
    bandGain ("SHiShlf"),
    bandGain ("SHiBand"),
    bandGain ("SMidBand"),
    bandGain ("SLoBand"),
    bandGain ("SLowShlf"),
    channelGain ("SGain"),
    choice ("SHiShByp", 0, true),
    choice ("SHiBdByp", 0, true),
    choice ("SMdBdByp", 0, true),
    choice ("SLwBdByp", 0, true),
    choice ("SLwShByp", 0, true),
    choice ("SGainByp", 0, true),
    choice ("SideByp", 0, true),
    choice ("SideSolo", 0, true),
    choice ("HgSlfLnk", 1, false),
    choice ("HgBndLnk", 1, false),
    choice ("MdBndLnk", 1, false),
    choice ("LwBndLnk", 1, false),
    choice ("LwSlfLnk", 1, false),
    choice ("GainLnk", 1, false),
    choice ("GainInvr", 0, false),
    linear ("CompThr", 1.0f, -48.0f, 0.0f, false),
    linear ("CompRtio", 0.0f, 1.0f, 10.0f, false, ":1"),
    linear ("CompGain", 0.0f, 0.0f, 48.0f, false),
    attack ("CompAtt"),
    release ("CompRel"),
    choice ("CAG", 0, false),
    choice ("CByp", 0, false),
    linear ("LGain", 0.0f, 0.0f, 48.0f, false),
    linear ("LCeil", 1.0f, -30.0f, 0.0f, false),
    release ("LRel"),
    linear ("MakeUp", 0.0f, 0.0f, 30.0f, false),
    choice ("LByp", 0, false),
    choice ("MetSwi", 0, false, { "K-20", "K-14", "K-12" }),
} };

const std::array<int, numKelvaneParameters> kelvaneRegistrationOrder { {
    Power, Thresh, Ratio, Attack, Release, ExpByp,
    MHiShlf, MHiShByp, MHiBand, MHiBdByp, MMidBand, MMdBdByp, MLoBand, MLwBdByp, MLowShlf, MLwShByp, MGain, MGainByp,
    GainInvr, MidByp, MidSolo,
    SHiShlf, SHiShByp, SHiBand, SHiBdByp, SMidBand, SMdBdByp, SLoBand, SLwBdByp, SLowShlf, SLwShByp, SGain, SGainByp,
    SideByp, SideSolo,
    LrMs, EqMode,
    HgSlfLnk, HgBndLnk, MdBndLnk, LwBndLnk, LwSlfLnk, GainLnk,
    CompThr, CompRtio, CompGain, CompAtt, CompRel, CAG, CByp, LGain, LCeil, LRel, MakeUp, LByp, MetSwi,
} };

} // namespace OSK
