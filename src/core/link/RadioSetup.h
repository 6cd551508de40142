// A radio as kqradio plays it: a model's table or a channel file's image,
// word 0 spoilt or not, its timing and faults. kqradio runs it on a
// pseudo-terminal, tests on a simulated line.
#pragma once

#include "ClassKQxx53.h"
#include "RadioModel.h"

#include <string>
#include <vector>

namespace kq {

struct RadioSetup {
    int model = 2; // the model of a new table
    std::string image, save, present;
    bool badId = false;
    int noiseEvery = 0;
    RadioBehaviour radio;

    // The table the radio starts with: the model's, or --image's (throws
    // for an image that cannot be read).
    ClassKQxx53 Table() const;
    // Its EEPROM words, word 0 spoilt by --bad-id.
    std::vector<int> Words() const;
    // The timing and faults, with --noise-every's.
    RadioBehaviour Behaviour() const;
    // Saves the words the radio holds to --save, as a channel file over
    // the starting table (throws when it cannot).
    void Save(const std::vector<int>& words) const;
};

} // namespace kq
