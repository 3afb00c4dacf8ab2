#include "osk_dsp/SlidingWindowMax.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using OSK::DSP::SlidingWindowMax;

TEST (SlidingWindowMax, EqualsTheLargestOfTheWindowScannedInFull)
{
    std::mt19937 random (7);

    for (const int length : { 1, 2, 3, 132, 576, 1152 })
    {
        SlidingWindowMax window;
        window.prepare (1152);
        window.reset (length);
        std::vector<double> history;

        // Falling runs, rising runs, repeats and noise: every way the queue can grow and shrink.
        for (int n = 0; n < 20000; ++n)
        {
            const int phase = (n / 500) % 4;
            double value = std::uniform_real_distribution<double> (0.0, 1.0) (random);

            if (phase == 1)
                value = 1.0 - (n % 500) / 500.0;
            else if (phase == 2)
                value = (n % 500) / 500.0;
            else if (phase == 3)
                value = 0.5;

            history.push_back (value);
            const auto first = history.size() > static_cast<size_t> (length) ? history.end() - length : history.begin();

            ASSERT_EQ (window.push (value), *std::max_element (first, history.end())) << "length " << length << ", sample " << n;
        }
    }
}

TEST (SlidingWindowMax, ResetForgetsTheHistory)
{
    SlidingWindowMax window;
    window.prepare (8);
    window.reset (8);
    window.push (5.0);
    window.reset (4);
    EXPECT_EQ (window.push (1.0), 1.0);
}
