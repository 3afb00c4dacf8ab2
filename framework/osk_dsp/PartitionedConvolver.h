#pragma once

#include "osk_dsp/RealFft.h"

#include <complex>
#include <cstddef>
#include <memory>
#include <vector>

namespace OSK::DSP
{
/** One channel of FIR convolution with no latency, for long kernels.

    The output for input n is the sum of kernel[i] · x[n − i] for i = 0 .. length − 1, what
    firSample computes, up to rounding (around 1e-14 of the signal's level). It is available as
    soon as x[n] is pushed, as with the direct sum.

    The inputs are cut into blocks of B samples and the kernel into blocks of B taps. Whatever an
    output owes to inputs of earlier blocks is known before its own block starts, so once per block
    all of it is computed for the whole next block by uniformly partitioned overlap-save: the
    2B-point spectra of past inputs wait in a delay line, are multiplied bin by bin with the kernel
    blocks' spectra and summed, and one inverse FFT gives the next B outputs' share. Only the
    inputs of the current block meet the first B taps directly, as they arrive: input j of a block
    is added, times the taps, into the outputs j .. B − 1 still to come, on average B / 2
    multiply-adds per sample. A block costs one forward and one inverse 2B-point FFT and about N
    complex multiply-adds, instead of B · N multiply-adds.

    A new kernel takes effect for the very next output and acts on the whole history, old inputs
    included: the delay line holds input spectra, not partial outputs, so only the kernel blocks'
    spectra and the rest of the current block have to be recomputed.

    prepare allocates and plans; every other call runs on the audio thread without allocating,
    locking or doing I/O. Nothing depends on timing: the same inputs give the same bits, and the
    AVX2 and baseline versions of the loops round identically.
*/
class PartitionedConvolver
{
public:
    PartitionedConvolver();
    ~PartitionedConvolver();

    /** Allocates for kernels of up to maximumKernelLength taps and plans the FFTs, with blocks of
        blockSize samples (rounded up to a power of two of at least 8; 0 picks the fastest measured
        one for the length). Clears the history and installs a silent kernel. Message thread. */
    void prepare (int maximumKernelLength, int blockSize = 0);

    /** The block size that prepare picks for a maximum kernel length. Any thread. */
    [[nodiscard]] static int chooseBlockSize (int maximumKernelLength) noexcept;

    /** Copies in a kernel of length taps (clamped to 0 .. the prepared maximum; 0 is silence):
        from the next output on it applies to the whole history. Costs one 2B-point FFT per B
        taps. Audio thread, after prepare; allocation-free. */
    void setKernel (const double* kernel, int length) noexcept;

    /** The same change spread over time: beginKernel copies the kernel in, each prepareKernelStep
        computes one kernel block's spectrum (returning false once all are done) and commitKernel
        finishes any left and makes the kernel take effect from the next output, exactly as
        setKernel would have there. The kernel in use stays until then. Audio thread;
        allocation-free. */
    void beginKernel (const double* kernel, int length) noexcept;
    bool prepareKernelStep() noexcept;
    void commitKernel() noexcept;

    /** Pushes one input and returns the output for it. Audio thread, after prepare;
        allocation-free. */
    double process (double input) noexcept;

    /** Forgets every input, as if only zeros had been pushed; keeps the kernel. Audio thread. */
    void reset() noexcept;

    /** Replaces the history with the given inputs, oldest first and the newest last (anything
        before them counts as zero), so that the next output of process is the direct sum over
        them and the next input. Resumes after the convolution was paused while the caller kept
        its own history; count ≥ the kernel length − 1 gives the exact sum. Audio thread;
        allocation-free. */
    void restartFromHistory (const double* lastInputsOldestFirst, int count) noexcept;

    /** The block size B in samples. Any thread. */
    [[nodiscard]] int getBlockSize() const noexcept { return blockSize; }

    /** The length of the kernel in use. Audio thread. */
    [[nodiscard]] int getKernelLength() const noexcept { return kernelLength; }

    /** The longest kernel this was prepared for. Any thread. */
    [[nodiscard]] int getMaximumKernelLength() const noexcept { return maximumLength; }

private:
    /** Zero-filled doubles on a cache-line boundary, so vector loads never split a line. */
    struct AlignedArray
    {
        void allocate (size_t size);
        double* data() const noexcept { return start; }

        std::vector<double> storage;
        double* start = nullptr;
    };

    void computeTail() noexcept;
    void finishBlock() noexcept;
    void transform (const double* time, double* re, double* im, double scale) noexcept;

    std::unique_ptr<RealFft> fft;

    int blockSize = 0;
    int maximumLength = 0;
    int maximumPartitions = 0; // kernel blocks after the first, for the longest kernel
    int kernelLength = 0;
    int partitions = 0; // kernel blocks after the first, for the kernel in use

    // Spectra are B real and B imaginary parts: bin 0 holds the DC term as its real part and the
    // Nyquist term (bin B) as its imaginary part, both being real, so every spectrum is a power
    // of two long and the products vectorise without a remainder.
    AlignedArray kernelRe, kernelIm; // kernel block p (taps pB ..) at p · B
    AlignedArray pendingRe, pendingIm; // the same for the kernel on its way in
    AlignedArray pendingKernel;
    int pendingLength = 0;
    int pendingPartitions = 0;
    int pendingDone = 0;
    AlignedArray historyRe, historyIm; // ring of spectra of two consecutive input blocks
    AlignedArray blockRe, blockIm; // spectrum of the last complete block alone, zero-padded
    AlignedArray newRe, newIm;
    AlignedArray sumRe, sumIm;
    int newestSlot = 0;

    AlignedArray paddedTaps; // B zeros then taps 0 .. B − 1
    AlignedArray inputs; // the current block, then B zeros
    AlignedArray direct; // the current block's inputs' share of its outputs
    AlignedArray tail; // the earlier blocks' share of the current block's outputs
    AlignedArray scratch; // 2B samples
    AlignedArray restartInputs; // the inputs that the ring covers
    std::vector<std::complex<double>> spectrum; // B + 1 bins
    std::vector<int> slotOffsets; // where the input spectrum for kernel block p lies

    int position = 0; // of the next input within the current block
    bool tailIsCurrent = false;

    PartitionedConvolver (const PartitionedConvolver&) = delete;
    PartitionedConvolver& operator= (const PartitionedConvolver&) = delete;
};

} // namespace OSK::DSP
