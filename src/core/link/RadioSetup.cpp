#include "RadioSetup.h"

#include "ChannelFile.h"
#include "KqErrors.h"
#include "SystemOption.h"

namespace kq {

ClassKQxx53 RadioSetup::Table() const {
    ClassKQxx53 dev;
    // The model's IF and reference, so --model alone encodes its own radio.
    ApplySystemOption(dev, model);
    if (!image.empty()) OpenChannelFile(dev, image);
    dev.Para_to_EEWord();
    return dev;
}

std::vector<int> RadioSetup::Words() const {
    ClassKQxx53 dev = Table();
    if (badId) dev.EEWord(0, InitialisedEepromID + 1);
    std::vector<int> words;
    for (int16_t a = 0; a < dev.TotalEEWords(); ++a) words.push_back(dev.EEWord(a));
    return words;
}

RadioBehaviour RadioSetup::Behaviour() const {
    RadioBehaviour b = radio;
    if (noiseEvery > 0) {
        // Once each, spread over the words and over the places in a reply.
        for (int w = 0; w < 64; w += noiseEvery) {
            WordFault f;
            f.word = w;
            f.kind = WordFault::Kind::Noise;
            f.ms = w % 13;
            f.text = "\x7f";
            b.faults.push_back(f);
        }
    }
    return b;
}

void RadioSetup::Save(const std::vector<int>& words) const {
    ClassKQxx53 dev = Table();
    dev = DecodeWords(dev, {words.begin(), words.begin() + dev.TotalEEWords()});
    SaveChannelFile(dev, save);
}

} // namespace kq
