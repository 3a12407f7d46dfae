#ifndef ROUNDS_H
#define ROUNDS_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

// The number of interleaved rounds, from the first argument if given; 0 with
// a usage line when it is below the minimum that makes a median meaningful.
inline int roundsFromArguments(int argc, char **argv, int defaultRounds, int minimumRounds)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : defaultRounds;
    if (rounds >= minimumRounds)
        return rounds;
    std::fprintf(stderr, "usage: %s [rounds, at least %d; default %d]\n", argv[0], minimumRounds,
                 defaultRounds);
    return 0;
}

// The median resists the odd round that another process slowed down.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

#endif
