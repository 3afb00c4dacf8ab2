#pragma once

#include <array>
#include <cstddef>

namespace OSK
{
/** The product's parameter indices, shared by the processor, the engine, the editor and the programs. */
enum KelvaneParameterId : int
{
    Power = 0,
    LrMs,
    EqMode,
    Thresh,
    Ratio,
    Attack,
    Release,
    ExpByp,
    MHiShlf,
    MHiBand,
    MMidBand,
    MLoBand,
    MLowShlf,
    MGain,
    MHiShByp,
    MHiBdByp,
    MMdBdByp,
    MLwBdByp,
    MLwShByp,
    MGainByp,
    MidByp,
    MidSolo,
    SHiShlf,
    SHiBand,
    SMidBand,
    SLoBand,
    SLowShlf,
    SGain,
    SHiShByp,
    SHiBdByp,
    SMdBdByp,
    SLwBdByp,
    SLwShByp,
    SGainByp,
    SideByp,
    SideSolo,
    HgSlfLnk,
    HgBndLnk,
    MdBndLnk,
    LwBndLnk,
    LwSlfLnk,
    GainLnk,
    GainInvr,
    CompThr,
    CompRtio,
    CompGain,
    CompAtt,
    CompRel,
    CAG,
    CByp,
    LGain,
    LCeil,
    LRel,
    MakeUp,
    LByp,
    MetSwi,
    numKelvaneParameters
};

/** How a parameter shows its value. */
enum class KelvaneParameterKind
{
    Linear,  ///< float, two decimals on a linear display range
    Attack,  ///< float, 0.1 ms to 100 ms on a logarithmic scale
    Release, ///< float, 20 ms to 2 s on a logarithmic scale
    Choice   ///< a list of choices; the engine receives the index
};

/** What the registry needs to know about one parameter. */
struct KelvaneParameterInfo
{
    const char* id;
    KelvaneParameterKind kind;
    float defaultValue; ///< normalised for float parameters, the choice index for choices
    float displayMin;
    float displayMax;
    const char* suffix;
    bool meta;
    std::array<const char*, 3> choices;
};

/** Every parameter, in index order. */
extern const std::array<KelvaneParameterInfo, numKelvaneParameters> kelvaneParameters;

/** The order in which the host lists the parameters. The equaliser link switches are registered
    between "EQ Mode" and "CompThr", each right after its band's two links are created. */
extern const std::array<int, numKelvaneParameters> kelvaneRegistrationOrder;

/** One equaliser band's pair of links and the switch that enables them. */
struct KelvaneBandLink
{
    int linkSwitch;
    int firstGain, secondGain;
    int firstBypass, secondBypass;
};

inline constexpr int numKelvaneBandLinks = 6;

/** The six bands whose first- and second-channel parameters move together while their switch is on. */
inline constexpr std::array<KelvaneBandLink, numKelvaneBandLinks> kelvaneBandLinks { {
    { HgSlfLnk, MHiShlf, SHiShlf, MHiShByp, SHiShByp },
    { HgBndLnk, MHiBand, SHiBand, MHiBdByp, SHiBdByp },
    { MdBndLnk, MMidBand, SMidBand, MMdBdByp, SMdBdByp },
    { LwBndLnk, MLoBand, SLoBand, MLwBdByp, SLwBdByp },
    { LwSlfLnk, MLowShlf, SLowShlf, MLwShByp, SLwShByp },
    { GainLnk, MGain, SGain, MGainByp, SGainByp },
} };

/** The value the engine receives for a parameter at its default. */
[[nodiscard]] inline float kelvaneDefaultRawValue (int index) noexcept
{
    return kelvaneParameters[static_cast<std::size_t> (index)].defaultValue;
}

} // namespace OSK
