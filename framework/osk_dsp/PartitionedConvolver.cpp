#include "osk_dsp/PartitionedConvolver.h"

#include <algorithm>
#include <cstdint>

// The hot functions get an AVX2 copy next to the baseline one, picked once when the program
// loads, so the plug-in still runs on any x86-64. Neither copy fuses multiplies and adds, and the
// loops only ever combine values lane by lane, so both give the same bits.
#if defined(__GNUC__) && ! defined(__clang__) && defined(__x86_64__) && defined(__linux__)
 #define OSK_DSP_CLONES __attribute__ ((target_clones ("avx2", "default")))
#else
 #define OSK_DSP_CLONES
#endif

namespace OSK::DSP
{
namespace
{
    // The direct part updates outputs in aligned groups of this many, a whole number of vectors
    // for SSE2, AVX2 and AVX-512 alike; a block holds a whole number of groups.
    constexpr int lanes = 8;
    constexpr int minimumBlockSize = lanes;

    size_t toSize (int n) noexcept { return static_cast<size_t> (n); }
} // namespace

void PartitionedConvolver::AlignedArray::allocate (size_t size)
{
    constexpr size_t alignment = 64;
    storage.assign (size + alignment / sizeof (double), 0.0);
    const auto address = reinterpret_cast<std::uintptr_t> (storage.data());
    start = storage.data() + ((alignment - address % alignment) % alignment) / sizeof (double);
}

PartitionedConvolver::PartitionedConvolver() = default;
PartitionedConvolver::~PartitionedConvolver() = default;

int PartitionedConvolver::chooseBlockSize (int maximumKernelLength) noexcept
{
    // Per sample, the direct part costs about B / 2 multiply-adds, the spectral part about N / B
    // complex ones plus a fixed cost per block (two FFT calls) that makes blocks under 64 slow at
    // any length. bench/ConvolutionBenchmarks.cpp measures the steps: 64 is best up to about
    // 1100 taps (769 at 48 kHz), 128 up to about 4000 (1537 and 3073), 256 beyond.
    if (maximumKernelLength <= 1100)
        return 64;

    if (maximumKernelLength <= 4000)
        return 128;

    return 256;
}

void PartitionedConvolver::prepare (int maximumKernelLength, int requestedBlockSize)
{
    maximumLength = std::max (1, maximumKernelLength);
    const int wanted = requestedBlockSize > 0 ? requestedBlockSize : chooseBlockSize (maximumLength);

    blockSize = minimumBlockSize;

    while (blockSize < wanted)
        blockSize *= 2;

    maximumPartitions = (maximumLength - 1) / blockSize;

    const auto B = toSize (blockSize);
    const auto slots = toSize (maximumPartitions);

    fft = std::make_unique<RealFft> (2 * blockSize);
    kernelRe.allocate ((slots + 1) * B);
    kernelIm.allocate ((slots + 1) * B);
    pendingRe.allocate ((slots + 1) * B);
    pendingIm.allocate ((slots + 1) * B);
    pendingKernel.allocate (toSize (maximumLength));
    historyRe.allocate (slots * B);
    historyIm.allocate (slots * B);

    for (auto* array : { &blockRe, &blockIm, &newRe, &newIm, &sumRe, &sumIm, &direct, &tail })
        array->allocate (B);

    paddedTaps.allocate (2 * B);
    inputs.allocate (2 * B);
    scratch.allocate (2 * B);
    restartInputs.allocate ((slots + 1) * B);
    spectrum.assign (B + 1, {});
    slotOffsets.assign (slots, 0);

    kernelLength = 0;
    partitions = 0;
    std::fill (kernelRe.data(), kernelRe.data() + (slots + 1) * B, 0.0);
    std::fill (kernelIm.data(), kernelIm.data() + (slots + 1) * B, 0.0);
    std::fill (paddedTaps.data(), paddedTaps.data() + 2 * B, 0.0);
    reset();
}

void PartitionedConvolver::transform (const double* time, double* re, double* im, double scale) noexcept
{
    fft->forward (time, spectrum.data());

    re[0] = spectrum[0].real() * scale;
    im[0] = spectrum[toSize (blockSize)].real() * scale;

    for (int k = 1; k < blockSize; ++k)
    {
        re[k] = spectrum[toSize (k)].real() * scale;
        im[k] = spectrum[toSize (k)].imag() * scale;
    }
}

void PartitionedConvolver::setKernel (const double* kernel, int length) noexcept
{
    beginKernel (kernel, length);
    commitKernel();
}

void PartitionedConvolver::beginKernel (const double* kernel, int length) noexcept
{
    pendingLength = std::clamp (length, 0, maximumLength);
    pendingPartitions = pendingLength > blockSize ? (pendingLength - 1) / blockSize : 0;
    pendingDone = 0;
    std::copy (kernel, kernel + pendingLength, pendingKernel.data());
}

bool PartitionedConvolver::prepareKernelStep() noexcept
{
    if (pendingDone > pendingPartitions)
        return false;

    // The inverse FFT is unnormalised; folding 1 / 2B into the kernel's spectra costs nothing
    // and, being a power of two, rounds nothing.
    const int n = blockSize;
    const double scale = 1.0 / (2.0 * n);
    const int first = pendingDone * n;
    const int count = std::min (n, pendingLength - first);
    std::fill (scratch.data(), scratch.data() + 2 * n, 0.0);
    std::copy (pendingKernel.data() + first, pendingKernel.data() + first + count, scratch.data());
    transform (scratch.data(), pendingRe.data() + toSize (first), pendingIm.data() + toSize (first), scale);
    ++pendingDone;
    return true;
}

void PartitionedConvolver::commitKernel() noexcept
{
    while (prepareKernelStep())
    {
    }

    std::swap (kernelRe, pendingRe);
    std::swap (kernelIm, pendingIm);
    kernelLength = pendingLength;
    partitions = pendingPartitions;

    const int n = blockSize;
    double* taps = paddedTaps.data();

    for (int t = 0; t < n; ++t)
        taps[n + t] = t < kernelLength ? pendingKernel.data()[t] : 0.0;

    // The outputs already given stay as they were. The rest of this block must use the new taps
    // on the inputs of this block already pushed, and the new spectra on the earlier ones.
    const double* x = inputs.data();
    double* out = direct.data();
    std::fill (out + position, out + n, 0.0);

    for (int i = 0; i < position; ++i)
        for (int k = position; k < n; ++k)
            out[k] += x[i] * taps[n + k - i];

    tailIsCurrent = false;
}

OSK_DSP_CLONES void PartitionedConvolver::computeTail() noexcept
{
    tailIsCurrent = true;
    const int n = blockSize;

    if (kernelLength == 0)
    {
        std::fill (tail.data(), tail.data() + n, 0.0);
        return;
    }

    // Kernel block 0 meets the last block alone: its share of this block's outputs is what the
    // direct part leaves out. Kernel block p ≥ 1 meets blocks p and p − 1 back, whose spectrum
    // the ring holds, newest first.
    for (int p = 1; p <= partitions; ++p)
    {
        const int slot = newestSlot - (p - 1);
        slotOffsets[toSize (p - 1)] = (slot < 0 ? slot + maximumPartitions : slot) * n;
    }

    const double* __restrict hRe = kernelRe.data();
    const double* __restrict hIm = kernelIm.data();
    const double* __restrict zRe = blockRe.data();
    const double* __restrict zIm = blockIm.data();
    const double* __restrict xRe = historyRe.data();
    const double* __restrict xIm = historyIm.data();
    double* __restrict outRe = sumRe.data();
    double* __restrict outIm = sumIm.data();

    // The hot loop: every bin of one kernel block at a time, the sums staying in the L1 cache.
    for (int k = 0; k < n; ++k)
    {
        outRe[k] = zRe[k] * hRe[k] - zIm[k] * hIm[k];
        outIm[k] = zRe[k] * hIm[k] + zIm[k] * hRe[k];
    }

    for (int p = 1; p <= partitions; ++p)
    {
        const double* __restrict ar = xRe + slotOffsets[toSize (p - 1)];
        const double* __restrict ai = xIm + slotOffsets[toSize (p - 1)];
        const double* __restrict br = hRe + p * n;
        const double* __restrict bi = hIm + p * n;

        for (int k = 0; k < n; ++k)
        {
            outRe[k] += ar[k] * br[k] - ai[k] * bi[k];
            outIm[k] += ar[k] * bi[k] + ai[k] * br[k];
        }
    }

    // Bin 0 packs two real bins, which multiply separately; the loop above mixed them.
    double dc = zRe[0] * hRe[0];
    double nyquist = zIm[0] * hIm[0];

    for (int p = 1; p <= partitions; ++p)
    {
        dc += xRe[slotOffsets[toSize (p - 1)]] * hRe[p * n];
        nyquist += xIm[slotOffsets[toSize (p - 1)]] * hIm[p * n];
    }

    spectrum[0] = { dc, 0.0 };
    spectrum[toSize (n)] = { nyquist, 0.0 };

    for (int k = 1; k < n; ++k)
        spectrum[toSize (k)] = { outRe[k], outIm[k] };

    fft->inverse (spectrum.data(), scratch.data());

    // Overlap-save: the first half has wrapped around, the second half is this block's share.
    std::copy (scratch.data() + n, scratch.data() + 2 * n, tail.data());
}

OSK_DSP_CLONES void PartitionedConvolver::finishBlock() noexcept
{
    const int n = blockSize;
    position = 0;
    tailIsCurrent = false;

    // inputs holds the block and B zeros.
    transform (inputs.data(), newRe.data(), newIm.data(), 1.0);

    if (maximumPartitions > 0)
    {
        // The spectrum of the last two blocks together is the previous block's plus this one's
        // delayed by B, which in 2B bins is the factor (−1)^k: no second FFT is needed. The ring
        // keeps spectra even while the kernel in use is short, so a longer one can take over at
        // any sample.
        if (++newestSlot == maximumPartitions)
            newestSlot = 0;

        double* __restrict xRe = historyRe.data() + toSize (newestSlot * n);
        double* __restrict xIm = historyIm.data() + toSize (newestSlot * n);
        const double* __restrict oldRe = blockRe.data();
        const double* __restrict oldIm = blockIm.data();
        const double* __restrict freshRe = newRe.data();
        const double* __restrict freshIm = newIm.data();

        // Bin 0 (DC and Nyquist, k = B even) takes the plus sign like every even bin.
        for (int k = 0; k < n; k += 2)
        {
            xRe[k] = oldRe[k] + freshRe[k];
            xIm[k] = oldIm[k] + freshIm[k];
            xRe[k + 1] = oldRe[k + 1] - freshRe[k + 1];
            xIm[k + 1] = oldIm[k + 1] - freshIm[k + 1];
        }
    }

    std::copy (newRe.data(), newRe.data() + n, blockRe.data());
    std::copy (newIm.data(), newIm.data() + n, blockIm.data());
    std::fill (direct.data(), direct.data() + n, 0.0);
}

OSK_DSP_CLONES double PartitionedConvolver::process (double input) noexcept
{
    const int n = blockSize;
    const int j = position;
    inputs.data()[j] = input;

    if (! tailIsCurrent)
        computeTail();

    // This input times taps 0 .. B − 1 − j goes into outputs j .. B − 1 of this block. Starting
    // from the lane group that holds output j, with zero taps in front, keeps every load and
    // store of the sums aligned and lets each store feed the next sample's load directly.
    double* __restrict out = direct.data();
    const double* __restrict taps = paddedTaps.data() + n - j;

    for (int k = j & ~(lanes - 1); k < n; k += lanes)
        for (int l = 0; l < lanes; ++l)
            out[k + l] += input * taps[k + l];

    const double output = out[j] + tail.data()[j];

    if (++position == n)
        finishBlock();

    return output;
}

void PartitionedConvolver::reset() noexcept
{
    const auto B = toSize (blockSize);
    const auto slots = toSize (maximumPartitions);
    std::fill (historyRe.data(), historyRe.data() + slots * B, 0.0);
    std::fill (historyIm.data(), historyIm.data() + slots * B, 0.0);

    for (auto* array : { &blockRe, &blockIm, &direct, &tail })
        std::fill (array->data(), array->data() + B, 0.0);

    std::fill (inputs.data(), inputs.data() + 2 * B, 0.0);
    newestSlot = 0;
    position = 0;
    tailIsCurrent = false;
}

void PartitionedConvolver::restartFromHistory (const double* lastInputsOldestFirst, int count) noexcept
{
    // Rebuilt as if a block had just ended with the newest input given: ring slot s holds the
    // spectrum of restart blocks s and s + 1, so the newest slot holds the last two blocks.
    const int n = blockSize;
    const int span = (maximumPartitions + 1) * n;
    const int used = std::clamp (count, 0, span);
    double* restart = restartInputs.data();
    std::fill (restart, restart + span - used, 0.0);

    if (used > 0)
        std::copy (lastInputsOldestFirst + count - used, lastInputsOldestFirst + count, restart + span - used);

    for (int slot = 0; slot < maximumPartitions; ++slot)
    {
        const auto offset = toSize (slot * n);
        transform (restart + offset, historyRe.data() + offset, historyIm.data() + offset, 1.0);
    }

    newestSlot = std::max (0, maximumPartitions - 1);

    std::copy (restart + span - n, restart + span, inputs.data());
    transform (inputs.data(), blockRe.data(), blockIm.data(), 1.0);
    std::fill (inputs.data(), inputs.data() + n, 0.0);
    std::fill (direct.data(), direct.data() + n, 0.0);
    position = 0;
    tailIsCurrent = false;
}

} // namespace OSK::DSP
