// kqradio's options: the radio it plays, as its command line describes it.
// kqradio reads them, and tests build the same radio on a simulated line.
#pragma once

#include "ClassKQxx53.h"
#include "RadioModel.h"

#include <string>
#include <vector>

namespace kqradio {

struct RadioSetup {
    int model = 2; // the model of a new table
    std::string image, save, present;
    bool badId = false;
    int noiseEvery = 0;
    kq::RadioBehaviour radio;

    // The table the radio starts with: the model's, or --image's (throws
    // for an image that cannot be read).
    kq::ClassKQxx53 Table() const;
    // Its EEPROM words, word 0 spoilt by --bad-id.
    std::vector<int> Words() const;
    // The timing and faults, with --noise-every's.
    kq::RadioBehaviour Behaviour() const;
    // Saves the words the radio holds to --save, as a channel file over
    // the starting table (throws when it cannot).
    void Save(const std::vector<int>& words) const;
};

// 0: go on; otherwise the exit status (help or version shown: -1; a bad
// option, after its message: the usage status).
int ParseRadioOptions(int argc, char** argv, RadioSetup& setup);
// The same for a list of options; throws std::invalid_argument for a bad one.
RadioSetup ParseRadioOptions(const std::vector<std::string>& options);

} // namespace kqradio
