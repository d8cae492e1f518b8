#pragma once

#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

namespace velka::test {

// The seed of a randomised test: VELKA_TEST_SEED when set, so that a failure can be replayed,
// otherwise a fresh one. Printed either way.
inline unsigned testSeed()
{
    unsigned seed = 0;
    if (const char* given = std::getenv("VELKA_TEST_SEED"))
        seed = static_cast<unsigned>(std::stoul(given));
    else
        seed = std::random_device{}();
    std::cout << "VELKA_TEST_SEED=" << seed << std::endl;
    return seed;
}

} // namespace velka::test
